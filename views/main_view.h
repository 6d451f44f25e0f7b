// The main view: the tree of the SIM phonebook with its status line, the commands of its menu
// bar, the SIM notifications that keep the tree in step with the card, dialling, and the exit.
#pragma once

#include <windows.h>

#include <atomic>

// Private messages to the main view.
#define WM_MAIN_REFRESH 0x0D80
#define WM_MAIN_EXIT 0x0D81

extern HWND g_hMainDlg;
extern HWND g_hSIMTree;
extern HWND g_hMainWndMb;
// 1 while SIM notifications are applied to the tree; the bulk runs of the other views clear it.
extern std::atomic<int> g_bSIMTreeReady;
// Created when the main view opens; only the contacts-tree worker of the retrieve view takes it.
extern CRITICAL_SECTION g_csView;

void CTRL_EnableMainViewMenu(int iEnable);
void CTRL_MAIN_UpdateMenu();
int CTRL_MAIN_IsSIMFull(HWND hDlg);
DWORD WINAPI CTRL_MAIN_FillThread(LPVOID pParam);
void CTRL_MAIN_FillSIMTree();
void CTRL_MAIN_SIMNotify(DWORD dwCode, const void* pData, DWORD cbData, DWORD dwParam);
void CTRL_MAIN_OnTreeTap();
void CTRL_MAIN_ContextMenu(HWND hDlg, HWND hOwner, LPARAM lPosition);
void CTRL_MAIN_Dial();
void CTRL_MAIN_EditSelected(HWND hDlg);
void CTRL_MAIN_Layout(HWND hDlg);
void CTRL_DrawMemoryStatus(HWND hDlg, int iCount, int iTotal);
