// The static control (class "Static"): text (SS_LEFT, SS_CENTER, SS_RIGHT, SS_LEFTNOWORDWRAP,
// SS_NOPREFIX, SS_CENTERIMAGE) or a picture (SS_BITMAP, SS_ICON, set with STM_SETIMAGE).
//
// While it paints it asks its parent for colours with WM_CTLCOLORSTATIC, and a parent may take
// the painting over inside that message: it paints the control itself and answers the default
// brush. So the control paints its default look first and only paints again after the message
// when the parent asked for something else (another brush or other DC colours); what the parent
// painted during the message then stays on the screen.
#pragma once

#include "commctrl/control.h"

#include <string>

namespace handset {

class StaticControl : public Control {
  public:
    StaticControl(HWND window, const CREATESTRUCTW& create);
    ~StaticControl() override;

    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) override;

  private:
    DWORD kind() const { return style() & 0x1F; }
    LRESULT set_image(WPARAM type, HANDLE image);
    void fit_to_bitmap();
    void paint();
    void paint_content(HDC dc, HBRUSH background);
    void paint_bitmap(HDC dc, const RECT& client);
    void paint_text(HDC dc, const RECT& client);

    HANDLE m_image;
    // A bitmap the control loaded itself from its template's text; it deletes it.
    HBITMAP m_owned_bitmap;
};

} // namespace handset
