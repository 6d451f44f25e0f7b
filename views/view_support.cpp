#include "views/view_support.h"

#include "shell/app.h"
#include "shell/resources.h"
#include "views/main_view.h"

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
