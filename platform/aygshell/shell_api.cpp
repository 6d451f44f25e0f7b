// The shell's functions as programs call them: menu bars, full-screen dialogs and the input panel.
#include "aygshell/input_panel.h"
#include "aygshell/menu_bar.h"
#include "aygshell/menu_bar_directory.h"
#include "aygshell/shell_dialogs.h"
#include "aygshell/shell_windows.h"
#include "user/errors.h"

#include <aygshell.h>

using namespace handset;

namespace {

HMENU load_bar_menu(const SHMENUBARINFO& request) {
    if ((request.dwFlags & SHCMBF_HMENU) != 0) {
        return LoadMenuW(request.hInstRes, MAKEINTRESOURCEW(request.nToolBarId));
    }
    return CreateMenu();
}

bool valid_activation_record(const SHACTIVATEINFO* record, const char* function) {
    if (record == nullptr || record->cbSize != sizeof(SHACTIVATEINFO)) {
        fail(ERROR_INVALID_PARAMETER, function, "the record is missing or its size is not 12");
        return false;
    }
    return true;
}

} // namespace

BOOL WINAPI SHCreateMenuBar(SHMENUBARINFO* pmbi) {
    if (pmbi == nullptr || pmbi->cbSize != sizeof(SHMENUBARINFO)) {
        fail(ERROR_INVALID_PARAMETER, "SHCreateMenuBar",
             "the record is missing or its size is not 36");
        return FALSE;
    }
    pmbi->hwndMB = HWND();
    if (!IsWindow(pmbi->hwndParent)) {
        fail_bad_window("SHCreateMenuBar", pmbi->hwndParent);
        return FALSE;
    }
    if ((pmbi->dwFlags & (SHCMBF_HMENU | SHCMBF_EMPTYBAR)) == 0) {
        fail(ERROR_INVALID_PARAMETER, "SHCreateMenuBar",
             "only menu bars built from a menu (SHCMBF_HMENU) or empty ones are available");
        return FALSE;
    }
    const HMENU menu = load_bar_menu(*pmbi);
    if (!menu) {
        fail(ERROR_RESOURCE_NAME_NOT_FOUND, "SHCreateMenuBar", "the menu could not be loaded");
        return FALSE;
    }
    ShellWindows::instance().start();
    MenuBarRequest request;
    request.owner = pmbi->hwndParent;
    request.menu = menu;
    request.panel_button = (pmbi->dwFlags & SHCMBF_HIDESIPBUTTON) == 0;
    request.hidden = (pmbi->dwFlags & SHCMBF_HIDDEN) != 0;
    pmbi->hwndMB = create_menu_bar(request);
    if (!pmbi->hwndMB) {
        DestroyMenu(menu);
        return FALSE;
    }
    return TRUE;
}

HRESULT WINAPI SHEnableSoftkey(HWND hwndMenuBar, UINT uid, BOOL bByIndex, BOOL bEnable) {
    if (!MenuBarDirectory::instance().contains(hwndMenuBar)) {
        fail(ERROR_INVALID_WINDOW_HANDLE, "SHEnableSoftkey", "the window is not a menu bar");
        return E_FAIL;
    }
    const LPARAM flags = (bByIndex ? menu_bar_by_position : 0) | (bEnable ? menu_bar_enable : 0);
    // Sent, so that the bar's own thread changes it, whichever thread asks.
    return SendMessageW(hwndMenuBar, menu_bar_enable_key, uid, flags) != 0 ? S_OK : E_FAIL;
}

BOOL WINAPI SHInitDialog(PSHINITDLGINFO pshidi) {
    if (pshidi == nullptr || (pshidi->dwMask & SHIDIM_FLAGS) == 0) {
        fail(ERROR_INVALID_PARAMETER, "SHInitDialog", "the record is missing or has no flags");
        return FALSE;
    }
    if (!IsWindow(pshidi->hDlg)) {
        fail_bad_window("SHInitDialog", pshidi->hDlg);
        return FALSE;
    }
    ShellWindows::instance().start();
    if ((pshidi->dwFlags & SHIDIF_SIPDOWN) != 0) {
        InputPanel::instance().set_up(false);
    }
    ShellDialogs::instance().make_full_screen(pshidi->hDlg, pshidi->dwFlags);
    return TRUE;
}

BOOL WINAPI SHSipPreference(HWND hwnd, SIPSTATE st) {
    if (!IsWindow(hwnd)) {
        fail_bad_window("SHSipPreference", hwnd);
        return FALSE;
    }
    ShellWindows::instance().start();
    switch (st) {
    case SIP_UP:
        InputPanel::instance().raise_for(hwnd);
        return TRUE;
    case SIP_DOWN:
    case SIP_FORCEDOWN:
        InputPanel::instance().set_up(false);
        return TRUE;
    case SIP_UNCHANGED:
    case SIP_INPUTDIALOG:
        return TRUE;
    }
    fail(ERROR_INVALID_PARAMETER, "SHSipPreference", "no such request");
    return FALSE;
}

BOOL WINAPI SHHandleWMActivate(HWND hwnd, WPARAM wParam, LPARAM, SHACTIVATEINFO* psai, DWORD) {
    if (!valid_activation_record(psai, "SHHandleWMActivate")) {
        return FALSE;
    }
    InputPanel& panel = InputPanel::instance();
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        psai->fActive = 0;
        psai->fSipOnDeactivation = panel.is_up() ? 1 : 0;
        psai->hwndLastFocus = focus && (focus == hwnd || IsChild(hwnd, focus)) ? focus : hwnd;
        return TRUE;
    }
    // A record that has seen a deactivation brings the panel back as it was then; on the first
    // activation the panel stays as the dialog's set-up left it.
    if (psai->hwndLastFocus && psai->fSipOnDeactivation) {
        panel.raise_for(hwnd);
    } else if (psai->hwndLastFocus) {
        panel.set_up(false);
    }
    psai->fActive = 1;
    psai->fSipUp = panel.is_up() ? 1 : 0;
    return TRUE;
}

BOOL WINAPI SHHandleWMSettingChange(HWND hwnd, WPARAM wParam, LPARAM, SHACTIVATEINFO* psai) {
    if (!valid_activation_record(psai, "SHHandleWMSettingChange")) {
        return FALSE;
    }
    if (wParam != SPI_SETSIPINFO && wParam != SETTINGCHANGE_RESET) {
        return TRUE;
    }
    if (wParam == SPI_SETSIPINFO && psai->fActive) {
        psai->fSipUp = InputPanel::instance().is_up() ? 1 : 0;
    }
    if (const std::optional<DWORD> flags = ShellDialogs::instance().flags_of(hwnd)) {
        ShellDialogs::fit(FullScreenDialog{hwnd, *flags});
    }
    return TRUE;
}

BOOL WINAPI SipGetInfo(SIPINFO* pSipInfo) {
    if (pSipInfo == nullptr || pSipInfo->cbSize != sizeof(SIPINFO)) {
        fail(ERROR_INVALID_PARAMETER, "SipGetInfo", "the record is missing or its size is wrong");
        return FALSE;
    }
    InputPanel::instance().describe(*pSipInfo);
    return TRUE;
}
