#include "gdi/wait_spinner.h"

#include "gdi/rect_math.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace handset {

namespace {

constexpr int dot_count = 8;
constexpr int base_size = 32; // pixels at 96 dpi

// The dot `steps` places behind the bright one is drawn dimmer, so the ring reads as turning.
uint32_t dot_colour(int steps_behind) {
    const int level = 40 + (dot_count - 1 - steps_behind) * 30;
    const uint32_t blue = 255;
    const uint32_t green = static_cast<uint32_t>(std::min(level + 40, 255));
    const uint32_t red = static_cast<uint32_t>(std::min(level / 2, 255));
    return opaque_alpha | (red << 16) | (green << 8) | blue;
}

uint32_t mix(uint32_t under, uint32_t over, double coverage) {
    auto channel = [&](int shift) {
        const double a = (under >> shift) & 0xFF;
        const double b = (over >> shift) & 0xFF;
        return static_cast<uint32_t>(std::lround(a + (b - a) * coverage)) << shift;
    };
    return opaque_alpha | channel(16) | channel(8) | channel(0);
}

// One anti-aliased disc: each pixel takes the share of it that the disc covers, estimated from
// the distance of its centre to the disc's edge.
void draw_disc(Surface& target, double cx, double cy, double radius, uint32_t colour) {
    const RECT box = intersect_rects(RECT{static_cast<LONG>(std::floor(cx - radius - 1)),
                                          static_cast<LONG>(std::floor(cy - radius - 1)),
                                          static_cast<LONG>(std::ceil(cx + radius + 1)),
                                          static_cast<LONG>(std::ceil(cy + radius + 1))},
                                     target.bounds());
    for (LONG y = box.top; y < box.bottom; ++y) {
        for (LONG x = box.left; x < box.right; ++x) {
            const double distance = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            const double coverage = std::clamp(radius + 0.5 - distance, 0.0, 1.0);
            if (coverage > 0) {
                target.set_pixel(x, y, mix(target.pixel(x, y), colour, coverage));
            }
        }
    }
}

} // namespace

RECT wait_spinner_area(int screen_width, int screen_height, int dpi) {
    const int size = base_size * dpi / 96;
    const int left = (screen_width - size) / 2;
    const int top = (screen_height - size) / 2;
    return RECT{left, top, left + size, top + size};
}

void draw_wait_spinner(Surface& target, const RECT& area, int phase) {
    const double size = area.right - area.left;
    const double cx = area.left + size / 2;
    const double cy = area.top + size / 2;
    const double dot_radius = size * 0.11;
    const double ring_radius = size / 2 - dot_radius - 1;
    const int bright = ((phase % dot_count) + dot_count) % dot_count;
    for (int dot = 0; dot < dot_count; ++dot) {
        const double angle = 2 * std::numbers::pi * dot / dot_count - std::numbers::pi / 2;
        const int steps_behind = (bright - dot + dot_count) % dot_count;
        draw_disc(target, cx + ring_radius * std::cos(angle), cy + ring_radius * std::sin(angle),
                  dot_radius, dot_colour(steps_behind));
    }
}

} // namespace handset
