#include "shell/shell_ui.h"

#include <aygshell.h>

#include "shell/resources.h"
#include "shell/trace.h"

void RC_InitDialog(HWND hDlg, int iMode) {
    SHINITDLGINFO info = {};
    info.dwMask = SHIDIM_FLAGS;
    info.hDlg = hDlg;
    info.dwFlags = SHIDIF_SIZEDLG;
    if (iMode == 1) {
        info.dwFlags |= SHIDIF_CANCELBUTTON;
    }
    SHInitDialog(&info);
}

void RC_SetSIP(HWND hWnd, int iMode) {
    SHSipPreference(hWnd, iMode == 1 ? SIP_UP : SIP_FORCEDOWN);
}

HWND RC_CreateMenuBar(HWND hWnd, UINT uMenu, int iMode) {
    SHMENUBARINFO info = {};
    info.cbSize = sizeof(info);
    info.hwndParent = hWnd;
    info.dwFlags = iMode == 1 ? SHCMBF_HMENU : SHCMBF_HMENU | SHCMBF_HIDESIPBUTTON;
    info.nToolBarId = uMenu;
    info.hInstRes = g_hLangModule;
    SHCreateMenuBar(&info);
    if (!info.hwndMB) {
        DBG_Print(u"RC_CreateMenuBar: Failed!", u"RD_Error");
        return nullptr;
    }
    return info.hwndMB;
}

// The Talk key then reaches the menu bar's owner as a hot-key message instead of dialling.
void RC_OverrideTalkKey(HWND hMenuBar) {
    SendMessageW(hMenuBar, SHCMBM_OVERRIDEKEY, VK_TTALK,
                 MAKELPARAM(SHMBOF_NODEFAULT | SHMBOF_NOTIFY, SHMBOF_NODEFAULT | SHMBOF_NOTIFY));
}
