#include "gdi/surface.h"

#include <algorithm>

namespace handset {

Surface::Surface(int width, int height, uint32_t fill)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)),
      m_pixels(static_cast<size_t>(m_width) * m_height, fill) {}

void Surface::fill(uint32_t value) {
    std::fill(m_pixels.begin(), m_pixels.end(), value);
}

Surface Surface::copy_of(const RECT& area) const {
    Surface copy(area.right - area.left, area.bottom - area.top);
    for (int y = 0; y < copy.height(); ++y) {
        const uint32_t* source = row(area.top + y) + area.left;
        std::copy(source, source + copy.width(), copy.row(y));
    }
    return copy;
}

} // namespace handset
