// What several views do alike: the silent re-check of the SIM when a view comes to the front,
// and the pictures of the resource library in their static controls.
#pragma once

#include <windows.h>

#include <atomic>

// On an activation (low word 1) of a view, ends the program through the main view when the phone
// or the SIM is no longer usable. FALSE when it did.
BOOL CTRL_CheckSIMOnActivate(WPARAM wParam);

// Sets bitmap uBitmap of the resource library as the picture of the static control, which takes
// the bitmap's size. The bitmap stays the caller's: free it with CTRL_FreePicture.
HBITMAP CTRL_SetPicture(HWND hDlg, int iControl, UINT uBitmap);
void CTRL_FreePicture(HBITMAP* phBitmap);

// The fill workers of one view, counted from before their thread is made until their last step,
// so that closing the view can stop them and wait for every one still on its way. A view clears
// bStop when it opens.
struct VIEW_FILL {
    std::atomic<int> iRunning{0};
    std::atomic<bool> bStop{false};
};

// Starts pfnFill(hDlg) on a new thread; FALSE when none could be made.
BOOL CTRL_StartFill(VIEW_FILL* pFill, LPTHREAD_START_ROUTINE pfnFill, HWND hDlg);
// A worker's last step: it counts itself out and wakes a stop that waits for it.
void CTRL_EndFill(VIEW_FILL* pFill, HWND hDlg);
// On the dialog thread: asks the workers to give up and waits until the last has ended. The
// workers send to this thread, so the wait carries out their sends as they come.
void CTRL_StopFill(VIEW_FILL* pFill);

// Enables or disables both soft keys of the menu bar, with the truth trace of pszTrace; without a
// menu bar only the trace pszMissing.
void CTRL_EnableSoftKeys(HWND hMenuBar, int iEnable, LPCWSTR pszTrace, LPCWSTR pszMissing);
