#include "views/view_support.h"

#include "shell/app.h"
#include "shell/resources.h"
#include "shell/trace.h"
#include "views/main_view.h"

#include <aygshell.h>
#include <commctrl.h>

BOOL CTRL_CheckSIMOnActivate(WPARAM wParam) {
    if (LOWORD(wParam) != WA_ACTIVE || APP_IsSIMUsable()) {
        return TRUE;
    }
    SendMessageW(g_hMainDlg, WM_MAIN_EXIT, 0, 0);
    return FALSE;
}

HBITMAP CTRL_SetPicture(HWND hDlg, int iControl, UINT uBitmap) {
    HBITMAP hBitmap = LoadBitmapW(g_hResDll, MAKEINTRESOURCEW(uBitmap));
    SendDlgItemMessageW(hDlg, iControl, STM_SETIMAGE, IMAGE_BITMAP,
                        static_cast<LPARAM>(static_cast<DWORD>(hBitmap)));
    return hBitmap;
}

void CTRL_FreePicture(HBITMAP* phBitmap) {
    if (*phBitmap) {
        DeleteObject(*phBitmap);
        *phBitmap = nullptr;
    }
}

BOOL CTRL_StartFill(VIEW_FILL* pFill, LPTHREAD_START_ROUTINE pfnFill, HWND hDlg) {
    ++pFill->iRunning;
    HANDLE hThread = CreateThread(
        nullptr, 0, pfnFill,
        reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(static_cast<DWORD>(hDlg))), 0, nullptr);
    if (!hThread) {
        --pFill->iRunning;
        return FALSE;
    }
    CloseHandle(hThread);
    return TRUE;
}

// Counted out first: once the count is down the worker touches nothing of the view but this post,
// which a stop already past its wait, or a dialog already gone, lets fall.
void CTRL_EndFill(VIEW_FILL* pFill, HWND hDlg) {
    --pFill->iRunning;
    PostMessageW(hDlg, WM_NULL, 0, 0);
}

void CTRL_StopFill(VIEW_FILL* pFill) {
    pFill->bStop = true;
    while (pFill->iRunning > 0) {
        WaitMessage();
    }
}

void CTRL_EnableSoftKeys(HWND hMenuBar, int iEnable, LPCWSTR pszTrace, LPCWSTR pszMissing) {
    if (!hMenuBar) {
        DBG_Print(pszMissing, u"RD_Error");
        return;
    }
    SHEnableSoftkey(hMenuBar, 0, TRUE, iEnable);
    SHEnableSoftkey(hMenuBar, 1, TRUE, iEnable);
    DBG_Bool(iEnable, pszTrace);
}
