// What the controls share: telling the parent, asking it for colours, and sizes that grow with
// the screen's density.
#pragma once

#include <commctrl.h>

#include <string_view>

namespace handset {

// WM_NOTIFY to the control's parent with a bare NMHDR; the parent's answer.
LRESULT notify_parent(HWND control, UINT code);
// WM_COMMAND to the control's parent: the control's id and `code`, the control in lParam.
void command_parent(HWND control, WORD code);
// Sends a WM_CTLCOLOR* message to the parent with the DC; the brush it answers, or the system
// brush of the control kind when it answers none.
HBRUSH ask_parent_colors(HWND control, UINT message, HDC dc);

// 1 at 96 dots per inch, 2 at 192: the factor for the controls' fixed pixel sizes.
int pixel_scale();

// A DC for measuring text in the font, not tied to any window.
class MeasuringDc {
  public:
    explicit MeasuringDc(HFONT font);
    ~MeasuringDc();
    MeasuringDc(const MeasuringDc&) = delete;
    MeasuringDc& operator=(const MeasuringDc&) = delete;

    HDC dc() const { return m_dc; }
    int text_width(std::u16string_view text) const;
    int line_height() const;

  private:
    HDC m_dc;
    HGDIOBJ m_previous_font;
};

} // namespace handset
