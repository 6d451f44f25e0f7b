#include "gdi/painter.h"

#include "gdi/rect_math.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace handset {

namespace {

constexpr int dash_on = 6;
constexpr int dash_period = 8;

uint32_t blend_channel(uint32_t over, uint32_t under, uint32_t alpha, int shift) {
    const uint32_t a = (over >> shift) & 0xFF;
    const uint32_t b = (under >> shift) & 0xFF;
    return ((a * alpha + b * (255 - alpha) + 127) / 255) << shift;
}

uint32_t blend(uint32_t over, uint32_t under, uint32_t alpha) {
    return opaque_alpha | blend_channel(over, under, alpha, 16) |
           blend_channel(over, under, alpha, 8) | blend_channel(over, under, alpha, 0);
}

uint32_t scale_channel(uint32_t pixel, uint32_t factor, int shift) {
    return ((((pixel >> shift) & 0xFF) * factor + 127) / 255) << shift;
}

// AlphaBlend's rule: the source (premultiplied, or made so by the constant alpha) goes over the
// destination, which keeps the share the source's alpha leaves.
uint32_t alpha_blend(uint32_t source, uint32_t dest, const BlitMode& mode) {
    const uint32_t constant = mode.constant_alpha;
    if (!mode.source_alpha) {
        return blend(source, dest, constant);
    }
    const uint32_t alpha = (((source >> 24) & 0xFF) * constant + 127) / 255;
    // Most pixels of an icon are opaque, and at full constant alpha they replace the destination;
    // the general rule below gives the same, only slower.
    if (constant == 255 && alpha == 255) {
        return opaque_alpha | (source & 0x00FFFFFFu);
    }
    if (constant == 255 && source == 0) {
        return opaque_alpha | (dest & 0x00FFFFFFu);
    }
    uint32_t out = opaque_alpha;
    for (int shift : {16, 8, 0}) {
        const uint32_t over = (scale_channel(source, constant, shift) >> shift) & 0xFF;
        const uint32_t under = (dest >> shift) & 0xFF;
        out |= std::min<uint32_t>(255, over + (under * (255 - alpha) + 127) / 255) << shift;
    }
    return out;
}

uint32_t combine(uint32_t source, uint32_t dest, const BlitMode& mode) {
    switch (mode.kind) {
    case BlitMode::Kind::raster:
        return mode.rop == 0xCC ? source : apply_rop3(mode.rop, mode.pattern, source, dest);
    case BlitMode::Kind::transparent_key:
        return (source & 0x00FFFFFFu) == (mode.key & 0x00FFFFFFu) ? dest : source;
    case BlitMode::Kind::alpha_blend:
        return alpha_blend(source, dest, mode);
    }
    return source;
}

// For each column of the destination, the source column it shows (nearest pixel).
std::vector<LONG> column_map(const RECT& source_area, const RECT& dest_area) {
    const int64_t dest_width = dest_area.right - dest_area.left;
    const int64_t source_width = source_area.right - source_area.left;
    std::vector<LONG> map(static_cast<size_t>(dest_width));
    for (int64_t x = 0; x < dest_width; ++x) {
        map[static_cast<size_t>(x)] =
            source_area.left + static_cast<LONG>(x * source_width / dest_width);
    }
    return map;
}

} // namespace

uint32_t apply_rop3(uint8_t rop, uint32_t pattern, uint32_t source, uint32_t dest) {
    // Bit i of the operation's index is the result for pattern, source and destination bits
    // (i >> 2, i >> 1, i) & 1; build the result from the minterms that are set.
    uint32_t out = 0;
    for (int i = 0; i < 8; ++i) {
        if ((rop >> i) & 1) {
            out |= ((i & 4) ? pattern : ~pattern) & ((i & 2) ? source : ~source) &
                   ((i & 1) ? dest : ~dest);
        }
    }
    return opaque_alpha | (out & 0x00FFFFFFu);
}

bool rop_reads_source(uint8_t rop) {
    return ((rop >> 2) ^ rop) & 0x33;
}

bool rop_reads_pattern(uint8_t rop) {
    return ((rop >> 4) ^ rop) & 0x0F;
}

Painter::Painter(Surface& target, ClipRegion clip) : m_target(target), m_clip(std::move(clip)) {
    m_clip.intersect(target.bounds());
}

void Painter::note_drawn(const RECT& area) {
    m_drawn = union_rects(m_drawn, area);
}

void Painter::fill(const RECT& area, uint32_t pixel) {
    for (const RECT& clip : m_clip.rects()) {
        const RECT part = intersect_rects(area, clip);
        for (LONG y = part.top; y < part.bottom; ++y) {
            uint32_t* row = m_target.row(y);
            std::fill(row + part.left, row + part.right, pixel);
        }
        note_drawn(part);
    }
}

void Painter::raster(const RECT& area, uint8_t rop, uint32_t pattern) {
    for (const RECT& clip : m_clip.rects()) {
        const RECT part = intersect_rects(area, clip);
        for (LONG y = part.top; y < part.bottom; ++y) {
            uint32_t* row = m_target.row(y);
            for (LONG x = part.left; x < part.right; ++x) {
                row[x] = apply_rop3(rop, pattern, 0, row[x]);
            }
        }
        note_drawn(part);
    }
}

void Painter::invert_dotted_frame(const RECT& area) {
    auto invert = [&](LONG x, LONG y) {
        if (m_clip.contains(x, y)) {
            m_target.set_pixel(x, y, m_target.pixel(x, y) ^ 0x00FFFFFFu);
        }
    };
    for (LONG x = area.left; x < area.right; x += 2) {
        invert(x, area.top);
        invert(x, area.bottom - 1);
    }
    for (LONG y = area.top + 2; y < area.bottom - 1; y += 2) {
        invert(area.left, y);
        invert(area.right - 1, y);
    }
    note_drawn(intersect_rects(area, m_clip.bounds()));
}

void Painter::set_pixel(LONG x, LONG y, uint32_t pixel) {
    if (m_clip.contains(x, y)) {
        m_target.set_pixel(x, y, pixel);
        note_drawn(RECT{x, y, x + 1, y + 1});
    }
}

void Painter::stamp(LONG x, LONG y, int width, uint32_t pixel) {
    if (width == 1) {
        set_pixel(x, y, pixel);
        return;
    }
    const LONG left = x - (width - 1) / 2;
    const LONG top = y - (width - 1) / 2;
    fill(RECT{left, top, left + width, top + width}, pixel);
}

void Painter::line(POINT from, POINT to, const PenData& pen) {
    if (pen.style == PS_NULL) {
        return;
    }
    const uint32_t pixel = pixel_from_colorref(pen.color);
    const LONG dx = std::abs(to.x - from.x);
    const LONG dy = -std::abs(to.y - from.y);
    const LONG step_x = from.x < to.x ? 1 : -1;
    const LONG step_y = from.y < to.y ? 1 : -1;
    LONG error = dx + dy;
    LONG x = from.x;
    LONG y = from.y;
    for (int count = 0; x != to.x || y != to.y; ++count) {
        if (pen.style != PS_DASH || count % dash_period < dash_on) {
            stamp(x, y, pen.width, pixel);
        }
        const LONG doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            x += step_x;
        }
        if (doubled <= dx) {
            error += dx;
            y += step_y;
        }
    }
}

void Painter::blend_mask(LONG x, LONG y, const uint8_t* mask, int width, int rows, int pitch,
                         uint32_t colour) {
    const RECT area{x, y, x + width, y + rows};
    for (const RECT& clip : m_clip.rects()) {
        const RECT part = intersect_rects(area, clip);
        for (LONG row_y = part.top; row_y < part.bottom; ++row_y) {
            uint32_t* row = m_target.row(row_y);
            const uint8_t* coverage = mask + static_cast<ptrdiff_t>(row_y - y) * pitch - x;
            for (LONG column = part.left; column < part.right; ++column) {
                const uint32_t alpha = coverage[column];
                if (alpha == 255) {
                    row[column] = colour;
                } else if (alpha != 0) {
                    row[column] = blend(colour, row[column], alpha);
                }
            }
        }
        note_drawn(part);
    }
}

void Painter::blit(const Surface& source, const RECT& source_area, const RECT& dest_area,
                   const BlitMode& mode) {
    if (rect_is_empty(source_area) || rect_is_empty(dest_area)) {
        return;
    }
    if (&source == &m_target) {
        // Overlapping copies within one surface read from a snapshot of the source part.
        const RECT part = intersect_rects(source_area, source.bounds());
        if (rect_is_empty(part)) {
            return;
        }
        const Surface snapshot = source.copy_of(part);
        blit(snapshot, offset_rect(source_area, -part.left, -part.top), dest_area, mode);
        return;
    }
    const std::vector<LONG> columns = column_map(source_area, dest_area);
    const int64_t dest_height = dest_area.bottom - dest_area.top;
    const int64_t source_height = source_area.bottom - source_area.top;
    for (const RECT& clip : m_clip.rects()) {
        const RECT part = intersect_rects(dest_area, clip);
        for (LONG y = part.top; y < part.bottom; ++y) {
            const LONG source_y = source_area.top + static_cast<LONG>((y - dest_area.top) *
                                                                      source_height / dest_height);
            if (source_y < 0 || source_y >= source.height()) {
                continue;
            }
            const uint32_t* source_row = source.row(source_y);
            uint32_t* dest_row = m_target.row(y);
            for (LONG x = part.left; x < part.right; ++x) {
                const LONG source_x = columns[static_cast<size_t>(x - dest_area.left)];
                if (source_x >= 0 && source_x < source.width()) {
                    dest_row[x] = combine(source_row[source_x], dest_row[x], mode);
                }
            }
        }
        note_drawn(part);
    }
}

} // namespace handset
