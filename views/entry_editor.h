// The entry editor: one form, as dialog 501 for the entry selected in the main view and as
// dialog 502 for a new entry, with the card's length limits while typing and a scroll bar while
// the input panel covers part of the form.
#pragma once

#include "sim/save_entry.h"

#include <windows.h>

void CTRL_EDIT_FillFields(HWND hDlg);
void CTRL_EDIT_SetLimits(HWND hDlg);
void CTRL_EDIT_ReadFields(HWND hDlg, ENTRYFIELDS* pFields);
void CTRL_EDIT_OnDone(HWND hDlg);
void CTRL_NEW_OnDone(HWND hDlg);
void CTRL_EDIT_Layout(HWND hDlg);
int CTRL_EDIT_GetOverflow();
void CTRL_EDIT_SetupScroll(HWND hDlg);
void CTRL_EDIT_OnVScroll(HWND hDlg, WPARAM wParam);
