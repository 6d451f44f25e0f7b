// The program's spine: start-up, the phone and SIM gates, the hidden main window, the table of
// dialogs through which every view is opened and closed, and the screen resolution.
#pragma once

#include <windows.h>

#include <atomic>

// The state marker kept in the main window's user data, read by a second instance.
#define APP_STATE_STARTERROR 1024
#define APP_STATE_RUNNING 2048

// A request to the main window to end the message loop.
#define WM_APP_QUIT 0x03FF

// The menu bar of the secondary dialog that initialised last; APP_CloseDialog destroys it. A
// view's fill worker enables its soft keys while the dialog thread may close the view.
extern std::atomic<HWND> g_hWndMb;

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR pszCmdLine, int nCmdShow);

BOOL APP_InitInstance(HINSTANCE hInstance, int nCmdShow);
ATOM APP_RegisterClass(HINSTANCE hInstance, LPCWSTR pszClassName);
LRESULT CALLBACK APP_WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
int APP_CheckPhoneStatus();
int APP_CheckSIMStatus();
int APP_IsSIMUsable();
void APP_OpenDialog(int iDialog, HWND hParent, LPARAM lParam);
void APP_CloseDialog(HWND hDlg);

HINSTANCE APP_GetInstance();
HWND APP_GetMainWindow();
int APP_GetCurrentDialog();

void RC_ReadDPI(HWND hWnd);
int RC_GetDPI();
