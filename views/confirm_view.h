// The confirmation list of the main view's two bulk actions: the checked SIM entries under a
// question, deleted from the card or copied into the contacts store when the person agrees.
#pragma once

#include <windows.h>

// The dialog's parameter.
#define CONFIRM_MODE_DELETE 1
#define CONFIRM_MODE_COPY 2

void CTRL_CONFIRM_EnableMenu(int iEnable);
DWORD WINAPI CTRL_CONFIRM_FillThread(LPVOID pParam);
void CTRL_CONFIRM_FillList();
void CTRL_CONFIRM_DeleteEntries(HWND hDlg);
void CTRL_CONFIRM_CopyToContacts(HWND hDlg);
void CTRL_CONFIRM_Layout(HWND hDlg);
