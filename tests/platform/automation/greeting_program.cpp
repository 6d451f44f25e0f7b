#include "greeting_program.h"

#include <winbase.h>

namespace handset::testing {

namespace {

INT_PTR CALLBACK greeting_procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message != WM_COMMAND) {
        return FALSE;
    }
    if (LOWORD(wparam) == greeting_open_id) {
        MessageBoxW(dialog, u"The button was pressed.", u"Greeting", MB_OK | MB_ICONASTERISK);
        return TRUE;
    }
    if (LOWORD(wparam) == IDOK) {
        EndDialog(dialog, greeting_exit_code);
        return TRUE;
    }
    return FALSE;
}

} // namespace

int WINAPI greeting_main(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    OutputDebugStringW(u"greeting: started\n");
    return static_cast<int>(
        DialogBoxParamW(instance, MAKEINTRESOURCEW(100), HWND(), greeting_procedure, 0));
}

} // namespace handset::testing
