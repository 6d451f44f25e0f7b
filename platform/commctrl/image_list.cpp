#include "commctrl/image_list.h"

#include <algorithm>

namespace handset {

namespace {

uint32_t premultiplied(uint32_t pixel) {
    const uint32_t alpha = pixel >> 24;
    const auto channel = [&](int shift) {
        return (((pixel >> shift) & 0xFFu) * alpha / 255u) << shift;
    };
    return (alpha << 24) | channel(16) | channel(8) | channel(0);
}

bool is_transparent_in_mask(const BitmapPixels& mask, int x, int y) {
    if (x >= mask.image.width() || y >= mask.image.height()) {
        return false;
    }
    return (mask.image.pixel(x, y) & 0x00FFFFFFu) != 0;
}

} // namespace

ImageList::ImageList(int width, int height, UINT flags, int initial, int grow)
    : m_width(width), m_height(height), m_flags(flags), m_grow(std::max(grow, 1)) {
    m_images.reserve(static_cast<size_t>(std::max(initial, 0)));
}

ImageList::~ImageList() {
    if (m_strip) {
        DeleteObject(m_strip);
    }
}

int ImageList::count() const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_images.size());
}

int ImageList::add(const BitmapPixels& strip, const std::optional<BitmapPixels>& mask) {
    const int added = strip.image.width() / m_width;
    if (added <= 0) {
        return -1;
    }
    std::lock_guard lock(m_mutex);
    const int first = static_cast<int>(m_images.size());
    if (m_images.capacity() < m_images.size() + static_cast<size_t>(added)) {
        const size_t steps = (static_cast<size_t>(added) + m_grow - 1) / m_grow;
        m_images.reserve(m_images.size() + steps * static_cast<size_t>(m_grow));
    }
    for (int i = 0; i < added; ++i) {
        m_images.push_back(cut(strip, mask, i));
    }
    if (m_strip) {
        DeleteObject(m_strip);
        m_strip = HBITMAP();
    }
    return first;
}

ImageList::Image ImageList::cut(const BitmapPixels& strip, const std::optional<BitmapPixels>& mask,
                                int index) const {
    const bool masked = (m_flags & ILC_MASK) != 0 && mask.has_value();
    const bool keeps_alpha = (m_flags & 0xFE) == ILC_COLOR32 && strip.has_alpha;
    Image image{Surface(m_width, m_height, 0), masked || keeps_alpha};
    const int rows = std::min(m_height, strip.image.height());
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < m_width; ++x) {
            const int source_x = index * m_width + x;
            uint32_t pixel = strip.image.pixel(source_x, y);
            if (!keeps_alpha) {
                pixel |= opaque_alpha;
            }
            if (masked && is_transparent_in_mask(*mask, source_x, y)) {
                pixel = 0;
            }
            image.pixels.set_pixel(x, y, pixel);
        }
    }
    return image;
}

HBITMAP ImageList::drawing_strip() {
    if (m_strip) {
        return m_strip;
    }
    Surface pixels(m_width * static_cast<int>(m_images.size()), m_height, 0);
    for (size_t i = 0; i < m_images.size(); ++i) {
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                pixels.set_pixel(static_cast<int>(i) * m_width + x, y,
                                 premultiplied(m_images[i].pixels.pixel(x, y)));
            }
        }
    }
    m_strip = create_bitmap(BitmapPixels{std::move(pixels), true});
    return m_strip;
}

bool ImageList::draw(int index, HDC dc, int x, int y) {
    std::lock_guard lock(m_mutex);
    if (index < 0 || index >= static_cast<int>(m_images.size())) {
        return false;
    }
    const bool blend = m_images[static_cast<size_t>(index)].has_alpha;
    const HBITMAP strip = drawing_strip();
    const HDC source = CreateCompatibleDC(dc);
    const HGDIOBJ previous = SelectObject(source, strip);
    const int source_x = index * m_width;
    BOOL drawn;
    if (blend) {
        const BLENDFUNCTION function{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        drawn = AlphaBlend(dc, x, y, m_width, m_height, source, source_x, 0, m_width, m_height,
                           function);
    } else {
        drawn = BitBlt(dc, x, y, m_width, m_height, source, source_x, 0, SRCCOPY);
    }
    SelectObject(source, previous);
    DeleteDC(source);
    return drawn != FALSE;
}

} // namespace handset
