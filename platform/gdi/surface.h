// A rectangle of pixels: the screen's framebuffer or a bitmap's image. A pixel is a 32-bit word
// 0xAARRGGBB, which in memory is the byte order of a 32-bit DIB (blue first). Drawing writes
// opaque pixels (alpha 0xFF); a loaded 32-bit bitmap keeps the alpha it came with, which
// AlphaBlend uses.
#pragma once

#include <windef.h>

#include <cstdint>
#include <vector>

namespace handset {

constexpr uint32_t opaque_alpha = 0xFF000000u;

inline uint32_t pixel_from_colorref(COLORREF color) {
    return opaque_alpha | ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
}

inline COLORREF colorref_from_pixel(uint32_t pixel) {
    return ((pixel >> 16) & 0xFFu) | (pixel & 0xFF00u) | ((pixel & 0xFFu) << 16);
}

class Surface {
  public:
    Surface(int width, int height, uint32_t fill = opaque_alpha);

    int width() const { return m_width; }
    int height() const { return m_height; }
    RECT bounds() const { return RECT{0, 0, m_width, m_height}; }

    uint32_t* row(int y) { return m_pixels.data() + static_cast<size_t>(y) * m_width; }
    const uint32_t* row(int y) const { return m_pixels.data() + static_cast<size_t>(y) * m_width; }
    // Both expect a point inside the surface.
    uint32_t pixel(int x, int y) const { return row(y)[x]; }
    void set_pixel(int x, int y, uint32_t value) { row(y)[x] = value; }

    void fill(uint32_t value);
    // A copy of the part of this surface inside `area` (which must lie inside it).
    Surface copy_of(const RECT& area) const;

  private:
    int m_width;
    int m_height;
    std::vector<uint32_t> m_pixels;
};

} // namespace handset
