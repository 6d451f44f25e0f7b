#include "shell/app.h"

#include "shell/messages.h"
#include "shell/resources.h"
#include "shell/shell_ui.h"
#include "shell/trace.h"
#include "sim/sim_access.h"
#include "telvane_ids.h"
#include "views/views.h"

#include <atomic>

std::atomic<HWND> g_hWndMb{nullptr};

namespace {

const int kTitleSize = 260;

HINSTANCE g_hInstance = nullptr;
HWND g_hMainWnd = nullptr;
int g_iDPI = 96;
// Changed by the dialog thread; other threads may ask which view is open.
std::atomic<int> g_iCurrentDialog{0};

struct DialogRow {
    int iDialog;
    int iPrevious;
    DLGPROC pfnProc;
};

DialogRow g_Dialogs[] = {
    {IDD_MAIN, 0, MainDlgProc},   {IDD_EDIT, 0, EditDlgProc},
    {IDD_NEW, 0, NewDlgProc},     {IDD_CONFIRM, 0, CTRL_CONFIRM_DlgProc},
    {IDD_ABOUT, 0, AboutDlgProc}, {IDD_RETRIEVE, 0, CTRL_CONTACT_MAIN_DlgProc},
};

typedef void (*MessageBoxFunc)(LPCWSTR pszText, HWND hOwner);

// Refuses the start: marks the main window so that a second instance closes this one, and tells
// the user why.
int Refuse(UINT uMessage, MessageBoxFunc pfnBox) {
    SetWindowLongW(g_hMainWnd, GWL_USERDATA, APP_STATE_STARTERROR);
    pfnBox(RC_LoadString(uMessage), g_hMainWnd);
    return 0;
}

// One step of the SIM gate: the check, the answer that refuses, and what the user is told.
struct SIMGateStep {
    int (*pfnCheck)();
    bool bRefusesWhenTrue;
    UINT uMessage;
    MessageBoxFunc pfnBox;
};

const SIMGateStep kSIMGate[] = {
    {SIM_IsPUKLock, true, IDS_PUK_LOCK, MSG_Warning},
    {SIM_IsPINLock, true, IDS_PIN_LOCK, MSG_Warning},
    {SIM_IsReady, false, IDS_SIM_NOT_READY, MSG_Error},
    {SIM_IsFDNEnable, true, IDS_FDN_ENABLED, MSG_Warning},
    {SIM_IsPhoneBookReady, false, IDS_SIM_NOT_READY, MSG_Error},
};

// The single-instance test. Returns true when this start must end because a running instance
// was brought forward instead.
bool HandOverToRunningInstance(LPCWSTR pszClass, LPCWSTR pszTitle) {
    HWND hRunning = FindWindowW(pszClass, pszTitle);
    if (!hRunning) {
        return false;
    }
    if (GetWindowLongW(hRunning, GWL_USERDATA) == APP_STATE_RUNNING) {
        // The lowest bit asks for the window's last active owned window: the open dialog.
        SetForegroundWindow(HWND(static_cast<DWORD>(hRunning) | 1u));
        return true;
    }
    SendMessageW(hRunning, WM_CLOSE, 0, 0);
    return false;
}

void RunDialog(const DialogRow& row, HWND hParent, LPARAM lParam) {
    HRSRC hResource = FindResourceW(g_hLangModule, MAKEINTRESOURCEW(row.iDialog), RT_DIALOG);
    HGLOBAL hTemplate = hResource ? LoadResource(g_hLangModule, hResource) : nullptr;
    const void* pTemplate = hTemplate ? LockResource(hTemplate) : nullptr;
    if (!pTemplate) {
        DBG_Printf(u"RD_Error", u"APP_OpenDialog: Dialog %d not found", row.iDialog);
        return;
    }
    DialogBoxIndirectParamW(g_hLangModule, static_cast<LPCDLGTEMPLATEW>(pTemplate), hParent,
                            row.pfnProc, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int nCmdShow) {
    MSG msg = {};
    if (!APP_InitInstance(hInstance, nCmdShow)) {
        return 0;
    }
    while (GetMessageW(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

BOOL APP_InitInstance(HINSTANCE hInstance, int) {
    g_hInstance = hInstance;
    if (RC_LoadResDll() != 1) {
        MSG_Warning(u"No pictures could be loaded!", nullptr);
    }
    RC_LoadMUI(hInstance);

    WCHAR szTitle[kTitleSize];
    WCHAR szClass[kTitleSize];
    LoadStringW(g_hLangModule, IDS_APP_TITLE, szTitle, kTitleSize);
    LoadStringW(g_hLangModule, IDS_APP_CLASS, szClass, kTitleSize);
    if (HandOverToRunningInstance(szClass, szTitle)) {
        return FALSE;
    }
    if (!APP_RegisterClass(hInstance, szClass)) {
        return FALSE;
    }
    g_hMainWnd =
        CreateWindowExW(0, szClass, szTitle, 0, 0, 0, 1, 1, nullptr, nullptr, hInstance, nullptr);
    if (!g_hMainWnd) {
        return FALSE;
    }
    if (!APP_CheckPhoneStatus() || !APP_CheckSIMStatus()) {
        return FALSE;
    }
    SetWindowLongW(g_hMainWnd, GWL_USERDATA, APP_STATE_RUNNING);
    ShowWindow(g_hMainWnd, SW_SHOW);
    UpdateWindow(g_hMainWnd);
    RC_ReadDPI(g_hMainWnd);
    APP_OpenDialog(IDD_MAIN, g_hMainWnd, 0);
    return TRUE;
}

ATOM APP_RegisterClass(HINSTANCE hInstance, LPCWSTR pszClassName) {
    WNDCLASSW wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = APP_WndProc;
    wc.hInstance = hInstance;
    wc.hIcon = LoadIconW(hInstance, MAKEINTRESOURCEW(IDI_TELVANE));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = pszClassName;
    return RegisterClassW(&wc);
}

LRESULT CALLBACK APP_WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_CREATE:
        RC_CreateMenuBar(hWnd, IDM_MAIN_WINDOW, 0);
        return 0;
    case WM_DESTROY:
    case WM_APP_QUIT:
        PostQuitMessage(0);
        return 0;
    case WM_CLOSE:
        RC_FreeResDll();
        RC_FreeMUI();
        DestroyWindow(hWnd);
        return 0;
    }
    return DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

int APP_CheckPhoneStatus() {
    switch (PHONE_GetStatus()) {
    case PHONE_STATUS_UNKNOWN:
        return Refuse(IDS_SIM_ERROR_UNKNOWN, MSG_Error);
    case PHONE_STATUS_INVALID:
        return Refuse(IDS_SIM_INVALID, MSG_Warning);
    case PHONE_STATUS_REMOVED:
        return Refuse(IDS_SIM_REMOVED, MSG_Warning);
    case PHONE_STATUS_RADIO_OFF:
        return Refuse(IDS_RADIO_OFF, MSG_Warning);
    }
    DBG_Print(u"Check Phone Status OK!", nullptr);
    return 1;
}

int APP_CheckSIMStatus() {
    for (const SIMGateStep& step : kSIMGate) {
        bool bIsTrue = step.pfnCheck() != 0;
        if (bIsTrue == step.bRefusesWhenTrue) {
            return Refuse(step.uMessage, step.pfnBox);
        }
    }
    DBG_Print(u"Check SIM Status OK!", nullptr);
    return 1;
}

// Readiness first, unlike the start-up gate; the first failure stops the checks.
int APP_IsSIMUsable() {
    return SIM_IsReady() && !SIM_IsPINLock() && !SIM_IsPUKLock() && !SIM_IsFDNEnable() &&
           SIM_IsPhoneBookReady();
}

void APP_OpenDialog(int iDialog, HWND hParent, LPARAM lParam) {
    for (DialogRow& row : g_Dialogs) {
        if (row.iDialog == iDialog) {
            row.iPrevious = g_iCurrentDialog;
            g_iCurrentDialog = iDialog;
            RunDialog(row, hParent, lParam);
            return;
        }
    }
}

void APP_CloseDialog(HWND hDlg) {
    for (const DialogRow& row : g_Dialogs) {
        if (row.iDialog == g_iCurrentDialog) {
            g_iCurrentDialog = row.iPrevious;
            break;
        }
    }
    // Forgetting the destroyed bar keeps a later close from destroying whatever window comes to
    // carry the same handle.
    if (HWND hMenuBar = g_hWndMb.exchange(nullptr)) {
        DestroyWindow(hMenuBar);
    }
    EndDialog(hDlg, 0);
}

HINSTANCE APP_GetInstance() {
    return g_hInstance;
}

HWND APP_GetMainWindow() {
    return g_hMainWnd;
}

int APP_GetCurrentDialog() {
    return g_iCurrentDialog;
}

void RC_ReadDPI(HWND hWnd) {
    HDC hdc = GetDC(hWnd);
    g_iDPI = GetDeviceCaps(hdc, LOGPIXELSX);
    ReleaseDC(hWnd, hdc);
}

int RC_GetDPI() {
    return g_iDPI;
}
