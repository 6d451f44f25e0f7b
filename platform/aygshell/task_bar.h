// The task bar (class "HHTaskBar"): the band across the top of the screen. It shows the caption
// of the full-screen dialog in front and, at its right end, that dialog's Done ("ok") or cancel
// ("×") button, which sends the dialog IDOK or IDCANCEL as a button would. It never takes the
// activation.
#pragma once

#include "commctrl/control.h"

namespace handset {

inline constexpr const WCHAR* task_bar_class_name = u"HHTaskBar";

// Messages of the task bar.
// The title bar's button, pressed from the keyboard (Esc in the desktop window).
inline constexpr UINT task_bar_press_button = WM_USER + 1;
// The person asked to rotate the screen: the shell turns it and fits itself and its dialogs.
inline constexpr UINT task_bar_rotate_screen = WM_USER + 2;

HWND create_task_bar();

class TaskBar : public Control {
  public:
    TaskBar(HWND window, const CREATESTRUCTW& creation);

    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) override;

    // The command of the front dialog's button: IDOK, IDCANCEL, or 0 when it has none.
    static UINT button_command(DWORD flags);

  private:
    RECT button_area() const;
    void paint();
    void press_button();

    bool m_pressed = false;
};

} // namespace handset
