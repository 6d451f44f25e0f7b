// The window procedure of the popup menu class: it hands each message to the PopupMenu that
// owns the window.
#pragma once

#include <winuser.h>

namespace handset {

// Class-private messages of the popup menu window.
inline constexpr UINT popup_menu_item_rect_message =
    WM_USER + 0x100;                                             // wparam position, lparam RECT*
inline constexpr UINT popup_menu_menu_message = WM_USER + 0x101; // answers the HMENU

LRESULT CALLBACK popup_menu_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

} // namespace handset
