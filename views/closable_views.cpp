// The views that are not built yet open as empty full-screen dialogs that offer nothing but
// closing: the title bar's cancel button ends them and nothing is changed.
#include "shell/app.h"
#include "shell/shell_ui.h"
#include "telvane_ids.h"
#include "views/views.h"

namespace {

INT_PTR ClosableDialog(HWND hDlg, UINT uMsg, WPARAM wParam) {
    switch (uMsg) {
    case WM_INITDIALOG:
        RC_InitDialog(hDlg, 1);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == ID_CANCEL ||
            LOWORD(wParam) == ID_DONE) {
            APP_CloseDialog(hDlg);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

} // namespace

INT_PTR CALLBACK CTRL_CONFIRM_DlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM) {
    return ClosableDialog(hDlg, uMsg, wParam);
}

INT_PTR CALLBACK AboutDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM) {
    return ClosableDialog(hDlg, uMsg, wParam);
}
