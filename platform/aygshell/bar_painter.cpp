#include "aygshell/bar_painter.h"

#include "gdi/font_sizes.h"
#include "gdi/screen.h"

namespace handset {

namespace {

constexpr COLORREF band_color = RGB(16, 52, 120);
constexpr COLORREF pressed_color = RGB(60, 110, 200);
constexpr COLORREF divider_color = RGB(90, 120, 180);
constexpr COLORREF label_color = RGB(255, 255, 255);
constexpr COLORREF disabled_label_color = RGB(120, 140, 175);
constexpr int label_points = 9;

HFONT create_bar_font() {
    LOGFONTW font{};
    font.lfHeight = font_height_for_points(label_points, Screen::instance().profile().dpi);
    font.lfWeight = FW_BOLD;
    font.lfQuality = ANTIALIASED_QUALITY;
    return CreateFontIndirectW(&font);
}

} // namespace

void fill_area(HDC dc, const RECT& area, COLORREF color) {
    const HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}

BarPainter::BarPainter(HDC dc)
    : m_dc(dc), m_font(create_bar_font()), m_previous_font(SelectObject(dc, m_font)) {
    SetBkMode(dc, TRANSPARENT);
}

BarPainter::~BarPainter() {
    SelectObject(m_dc, m_previous_font);
    DeleteObject(m_font);
}

void BarPainter::fill_band(const RECT& area) const {
    fill_area(m_dc, area, band_color);
}

void BarPainter::fill_pressed(const RECT& area) const {
    fill_area(m_dc, area, pressed_color);
}

void BarPainter::divider(LONG x, LONG top, LONG bottom) const {
    fill_area(m_dc, RECT{x, top, x + scale(), bottom}, divider_color);
}

void BarPainter::label(const RECT& area, std::u16string_view text, bool enabled,
                       UINT format) const {
    SetTextColor(m_dc, enabled ? label_color : disabled_label_color);
    RECT box = area;
    DrawTextW(m_dc, text.data(), static_cast<int>(text.size()), &box,
              format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

int BarPainter::scale() {
    return Screen::instance().profile().dpi >= 192 ? 2 : 1;
}

} // namespace handset
