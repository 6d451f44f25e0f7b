// TrackPopupMenuEx: opens a popup menu as a window of its own over everything else and waits for
// the user's choice. With TPM_RETURNCMD the command chosen (0 for none) is the answer; otherwise
// the owner gets it as WM_COMMAND, posted, and the answer is TRUE.
#include "user/errors.h"
#include "user/menu.h"
#include "user/message_sender.h"
#include "user/popup_menu.h"

using namespace handset;

BOOL WINAPI TrackPopupMenuEx(HMENU hMenu, UINT uFlags, int x, int y, HWND hwnd, LPTPMPARAMS) {
    if (!IsMenu(hMenu)) {
        fail(ERROR_INVALID_MENU_HANDLE, "TrackPopupMenuEx", "not a menu");
        return FALSE;
    }
    if (!IsWindow(hwnd)) {
        fail_bad_window("TrackPopupMenuEx", hwnd);
        return FALSE;
    }
    if ((uFlags & TPM_NONOTIFY) == 0) {
        send_message(hwnd, WM_INITMENUPOPUP, static_cast<WPARAM>(hMenu.value()),
                     MAKELPARAM(0, FALSE));
    }
    PopupMenu menu(hMenu, hwnd, nullptr);
    const UINT chosen = menu.run(uFlags, POINT{x, y});
    if ((uFlags & TPM_RETURNCMD) != 0) {
        return static_cast<BOOL>(chosen);
    }
    if (chosen != 0) {
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
    }
    return TRUE;
}
