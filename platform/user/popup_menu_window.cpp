#include "user/popup_menu_window.h"

#include "user/popup_menu.h"

namespace handset {

LRESULT CALLBACK popup_menu_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* menu = reinterpret_cast<PopupMenu*>(GetWindowLongPtrW(window, 0));
    if (menu == nullptr) {
        return DefWindowProcW(window, message, wparam, lparam);
    }
    return menu->handle(window, message, wparam, lparam);
}

} // namespace handset
