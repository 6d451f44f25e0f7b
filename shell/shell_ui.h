// Shell services for the views: full-screen dialogs, the input panel, menu bars and the Talk key.
#pragma once

#include <windows.h>

void RC_InitDialog(HWND hDlg, int iMode);
void RC_SetSIP(HWND hWnd, int iMode);
HWND RC_CreateMenuBar(HWND hWnd, UINT uMenu, int iMode);
void RC_OverrideTalkKey(HWND hMenuBar);
