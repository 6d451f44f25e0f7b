// The menu bar (class "menu_worker"): a band across the bottom of the screen, owned by the window
// that made it, with the left and right soft keys and, unless hidden, the input panel's button
// between them. It never takes the activation from its owner.
//
// A soft key acts when it is tapped or its hardware key is pressed: a command key sends its
// command to the owner as WM_COMMAND (posted, so that the owner may destroy the bar in answer); a
// popup key opens its popup above the key and sends the command chosen from it the same way.
#pragma once

#include "aygshell/soft_keys.h"
#include "commctrl/control.h"

#include <aygshell.h>

namespace handset {

inline constexpr const WCHAR* menu_bar_class_name = u"menu_worker";

// Messages of the menu bar beyond the SHCMBM_* that programs send.
// wParam: the key's command, or its position; lParam: menu_bar_enable_* flags. Answers 1, or 0
// when there is no such key.
inline constexpr UINT menu_bar_enable_key = WM_USER + 500;
inline constexpr LPARAM menu_bar_by_position = 0x1;
inline constexpr LPARAM menu_bar_enable = 0x2;
// wParam: the position of the soft key whose hardware key was pressed.
inline constexpr UINT menu_bar_press_key = WM_USER + 501;

struct MenuBarRequest {
    HWND owner;
    HMENU menu; // the bar destroys it with itself
    bool panel_button = true;
    bool hidden = false;
};

// 0 (with a debug line) when the window cannot be made.
HWND create_menu_bar(const MenuBarRequest& request);

class MenuBar : public Control {
  public:
    MenuBar(HWND window, const CREATESTRUCTW& creation);

    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) override;

  private:
    // Where a tap landed.
    enum class Target { none, left_key, right_key, panel_button };

    struct Layout {
        RECT keys[soft_key_count];
        RECT panel_button;
    };

    Layout layout() const;
    Target target_at(POINT point) const;
    void paint();
    void paint_panel_button(const class BarPainter& painter, const RECT& area) const;
    void press(Target target);
    void activate_key(int position);
    LRESULT enable_key(WPARAM key, LPARAM flags);
    HMENU popup_of(LPARAM id) const;

    HWND m_owner;
    HMENU m_menu;
    SoftKeys m_keys;
    bool m_panel_button;
    Target m_pressed = Target::none;
    // While a key's popup is open, the keys do nothing more.
    bool m_tracking = false;
};

} // namespace handset
