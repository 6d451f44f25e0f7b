// The Copy-to-SIM dialog: every contact of the store as a tree with its business, home and mobile
// numbers as check boxes, the SIM's used and total slots above it, and the copy of the checked
// numbers to the SIM as new entries.
#pragma once

#include <windows.h>

#include <commctrl.h>

// Check images of the tree, from bitmap 700.
#define CHK_NONE 2
#define CHK_OFF 3
#define CHK_DONE 5
#define CHK_ON 6

INT_PTR CALLBACK MenuExtDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Runs the dialog of the template modally, owned by hOwner; FALSE when it could not start.
BOOL RunCopyDialog(HWND hOwner, int iTemplate);
// The dialog while it is open, else 0.
HWND CopyDialogWindow();

BOOL InitialSIMPOOM(HWND hDlg);
void InitialLayout(HWND hDlg);
void InitialImageList();
void FillStaticContext(HWND hDlg);
void ResizeTreeView(HWND hDlg);
void FillTreeView(HWND hDlg);
void GiveBackResource();
int CheckRemainSize(HWND hDlg);
int CopyCheckedToSIM(HWND hDlg);
int GetCheckedContacts();
void SetAllCheckState(int iState);
void UpdateRelatedCheckState(HTREEITEM hItem, int iState);
void ClickOnStateIcon(HWND hDlg, int x, int y);
void SetMenuItemText(UINT uCommand, UINT uString);
BOOL ApplyOrientationLayout(HINSTANCE hModule, HWND hDlg, int iTemplate);
