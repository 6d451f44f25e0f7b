// Painting in the look the shell's bars share: a dark blue band with white bold labels, grey for
// what cannot be used now.
#pragma once

#include <wingdi.h>
#include <winuser.h>

#include <string_view>

namespace handset {

// A solid fill of the colour.
void fill_area(HDC dc, const RECT& area, COLORREF color);

class BarPainter {
  public:
    // Paints into `dc` (a window's paint DC); selects the bars' font for as long as it lives.
    explicit BarPainter(HDC dc);
    ~BarPainter();
    BarPainter(const BarPainter&) = delete;
    BarPainter& operator=(const BarPainter&) = delete;

    void fill_band(const RECT& area) const;
    // A key or button being held down.
    void fill_pressed(const RECT& area) const;
    // A thin vertical line between two keys.
    void divider(LONG x, LONG top, LONG bottom) const;
    // One line of text in the area, with `format`'s alignment, cut with an ellipsis if too long.
    void label(const RECT& area, std::u16string_view text, bool enabled, UINT format) const;

    HDC dc() const { return m_dc; }
    // 1 at 96 dots per inch, 2 at 192.
    static int scale();

  private:
    HDC m_dc;
    HFONT m_font;
    HGDIOBJ m_previous_font;
};

} // namespace handset
