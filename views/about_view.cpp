#include "views/about_view.h"

#include "shell/app.h"
#include "shell/registry.h"
#include "shell/resources.h"
#include "shell/shell_ui.h"
#include "telvane_ids.h"
#include "views/view_support.h"
#include "views/views.h"

namespace {

const WPARAM kScreenReset = 0x3002;
const WCHAR kDefaultVersion[] = u"1.0.0.0";

HBITMAP g_hLogo = nullptr;

void ShowVersion(HWND hDlg) {
    HKEY hKey = nullptr;
    REG_Open(&hKey, HKEY_LOCAL_MACHINE, u"Software\\Nemora\\Telvane\\");
    LPCWSTR pszVersion = REG_QueryString(hKey, u"Version");
    SetDlgItemTextW(hDlg, IDC_ABOUT_VERSION, pszVersion ? pszVersion : kDefaultVersion);
    if (hKey) {
        REG_Close(hKey);
    }
}

// A device maker may ship the program without our company line and logo.
bool IsMakerHidden() {
    HKEY hKey = nullptr;
    REG_Open(&hKey, HKEY_LOCAL_MACHINE, u"SOFTWARE\\Nemora");
    int iValue = REG_QueryDWORD(hKey, u"ODM_AP");
    if (hKey) {
        REG_Close(hKey);
    }
    return iValue == 1;
}

void Initialise(HWND hDlg) {
    g_hLogo = CTRL_SetPicture(hDlg, IDC_ABOUT_LOGO, IDB_LOGO);
    g_hWndMb = RC_CreateMenuBar(hDlg, IDM_ABOUT, 0);
    RC_InitDialog(hDlg, 1);
    ShowVersion(hDlg);
}

void Place(HWND hDlg, int iControl, int x, int y, int iWidth, int iHeight) {
    MoveWindow(GetDlgItem(hDlg, iControl), x, y, iWidth, iHeight, FALSE);
}

} // namespace

INT_PTR CALLBACK AboutDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM) {
    switch (uMsg) {
    case WM_INITDIALOG:
        Initialise(hDlg);
        return FALSE;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_ACTIVE && CTRL_CheckSIMOnActivate(wParam)) {
            CTRL_ABOUT_Layout(hDlg);
        }
        return FALSE;
    case WM_SETTINGCHANGE:
        if (wParam == kScreenReset) {
            CTRL_ABOUT_Layout(hDlg);
        }
        return FALSE;
    case WM_SIZE:
        CTRL_ABOUT_Layout(hDlg);
        return FALSE;
    case WM_HELP:
        RC_ShowHelp();
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == ID_DONE || LOWORD(wParam) == IDCANCEL) {
            APP_CloseDialog(hDlg);
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        CTRL_FreePicture(&g_hLogo);
        return FALSE;
    }
    return FALSE;
}

// Seven rows share the height that the caption, the menu bar, the borders, the logo and 20
// pixels leave.
void CTRL_ABOUT_Layout(HWND hDlg) {
    int iScreenWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int iScreenHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    int iCaption = GetSystemMetrics(SM_CYCAPTION);
    int iMenu = GetSystemMetrics(SM_CYMENU);
    int iBorderY = GetSystemMetrics(SM_CYBORDER);
    int iBorderX = GetSystemMetrics(SM_CXBORDER);
    HWND hLogo = GetDlgItem(hDlg, IDC_ABOUT_LOGO);
    RECT rcLogo;
    GetWindowRect(hLogo, &rcLogo);
    int iLogoWidth = rcLogo.right - rcLogo.left;
    int iLogoHeight = rcLogo.bottom - rcLogo.top;
    bool bHidden = IsMakerHidden();

    int R = (iScreenHeight - 2 * iBorderY - iMenu - iCaption - iLogoHeight - 20) / 7;
    int A = iScreenWidth - 2 * iBorderX;
    int T = A - 20;
    Place(hDlg, IDC_ABOUT_TITLE, 10, 10, T, R);
    Place(hDlg, IDC_ABOUT_VERSION_LABEL, 10, R + 10, T / 2, R);
    Place(hDlg, IDC_ABOUT_VERSION, A / 2, R + 10, T / 2, R);
    Place(hDlg, IDC_ABOUT_NOTICE, 10, 2 * R + 10, T, R);
    ShowWindow(GetDlgItem(hDlg, IDC_ABOUT_COMPANY), bHidden ? SW_HIDE : SW_SHOW);
    ShowWindow(hLogo, bHidden ? SW_HIDE : SW_SHOW);
    if (!bHidden) {
        Place(hDlg, IDC_ABOUT_COMPANY, 10, 3 * R + 10, T, R);
        Place(hDlg, IDC_ABOUT_LOGO, A - iLogoWidth - 10, 6 * R + 10, iLogoWidth, iLogoHeight);
    }
}
