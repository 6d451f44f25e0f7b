// The input panel's window (class "SipWndClass"): the keyboard drawn in the band above the menu
// bar while the panel is up. A tap on a key types into the window that has the focus, the way the
// device's panel does: a character arrives as WM_CHAR, backspace as the key's WM_KEYDOWN and
// WM_KEYUP (the message loop's TranslateMessage makes its WM_CHAR). Shift holds for the next
// character. The panel never takes the activation or the focus from the field it types into.
#pragma once

#include "aygshell/keyboard_layout.h"
#include "commctrl/control.h"

namespace handset {

inline constexpr const WCHAR* input_panel_class_name = u"SipWndClass";

// Hidden until the panel is raised.
HWND create_input_panel();

class InputPanelWindow : public Control {
  public:
    InputPanelWindow(HWND window, const CREATESTRUCTW& creation);

    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) override;

  private:
    KeyboardLayout layout() const;
    void paint();
    void paint_key(HDC dc, const PanelKey& key) const;
    void tap(const PanelKey& key);

    bool m_shift = false;
    // The key under the stylus, while it is down.
    RECT m_pressed{};
};

} // namespace handset
