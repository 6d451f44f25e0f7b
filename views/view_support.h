// What several views do alike: the silent re-check of the SIM when a view comes to the front,
// and the pictures of the resource library in their static controls.
#pragma once

#include <windows.h>

// On an activation (low word 1) of a view, ends the program through the main view when the phone
// or the SIM is no longer usable. FALSE when it did.
BOOL CTRL_CheckSIMOnActivate(WPARAM wParam);

// Sets bitmap uBitmap of the resource library as the picture of the static control, which takes
// the bitmap's size. The bitmap stays the caller's: free it with CTRL_FreePicture.
HBITMAP CTRL_SetPicture(HWND hDlg, int iControl, UINT uBitmap);
void CTRL_FreePicture(HBITMAP* phBitmap);
