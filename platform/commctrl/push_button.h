// The push button (class "Button"): a raised face with its text that sinks while the stylus
// holds it, and tells its parent WM_COMMAND with BN_CLICKED when the stylus lifts over it, or
// when the space bar is pressed and released. Every button style is drawn as a push button.
#pragma once

#include "commctrl/control.h"

namespace handset {

class PushButton : public Control {
  public:
    PushButton(HWND window, const CREATESTRUCTW& create);

    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) override;

  private:
    bool inside(LPARAM lparam) const;
    void set_pushed(bool pushed);
    void click();
    void paint();

    bool m_pushed = false;
    bool m_tracking = false;
    bool m_focused = false;
};

} // namespace handset
