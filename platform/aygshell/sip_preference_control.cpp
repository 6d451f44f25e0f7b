#include "aygshell/sip_preference_control.h"

#include <aygshell.h>

namespace handset {

void register_sip_preference_class() {
    WNDCLASSW window_class{};
    window_class.style = CS_GLOBALCLASS;
    window_class.lpfnWndProc = sip_preference_procedure;
    window_class.lpszClassName = WC_SIPPREF;
    RegisterClassW(&window_class);
}

LRESULT CALLBACK sip_preference_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_CREATE:
        SetWindowLongW(window, GWL_STYLE, GetWindowLongW(window, GWL_STYLE) & ~WS_TABSTOP);
        MoveWindow(window, 0, 0, 0, 0, FALSE);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    default:
        return DefWindowProcW(window, message, wparam, lparam);
    }
}

} // namespace handset
