// The report-style list of the confirmation view: two columns of text, one row per entry.
#pragma once

#include <windows.h>

HWND LIST_Init(HWND hDlg, int iControl);
void LIST_InsertColumn(HWND hList, int iIndex, int iWidth, LPCWSTR pszTitle);
void LIST_InsertItem(HWND hList, int iRow);
void LIST_SetItemText(HWND hList, int iRow, int iColumn, LPCWSTR pszText);
