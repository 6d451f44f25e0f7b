#include "views/list.h"

#include "shell/trace.h"

#include <commctrl.h>

namespace {

const int kTextSize = 260;

} // namespace

HWND LIST_Init(HWND hDlg, int iControl) {
    HWND hList = GetDlgItem(hDlg, iControl);
    if (hList) {
        SendMessageW(hList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                     LVS_EX_NOHSCROLL | LVS_EX_FULLROWSELECT);
    }
    DBG_Result(hList ? 1 : -1, u"LIST_Init");
    return hList;
}

// The title is copied first: a caller's text may live in a loader buffer that the next string
// load overwrites.
void LIST_InsertColumn(HWND hList, int iIndex, int iWidth, LPCWSTR pszTitle) {
    static thread_local WCHAR szTitle[kTextSize];
    StringCchCopyW(szTitle, kTextSize, pszTitle ? pszTitle : u"");
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = iWidth;
    column.pszText = szTitle;
    column.iSubItem = iIndex;
    SendMessageW(hList, LVM_INSERTCOLUMNW, static_cast<WPARAM>(iIndex),
                 reinterpret_cast<LPARAM>(&column));
    DBG_Printf(nullptr, u"LIST_InsertColumn: index == %d, width == %d, name == %s", iIndex, iWidth,
               szTitle);
}

void LIST_InsertItem(HWND hList, int iRow) {
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = iRow;
    item.lParam = iRow;
    SendMessageW(hList, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void LIST_SetItemText(HWND hList, int iRow, int iColumn, LPCWSTR pszText) {
    LVITEMW item = {};
    item.iSubItem = iColumn;
    item.pszText = const_cast<LPWSTR>(pszText);
    SendMessageW(hList, LVM_SETITEMTEXTW, static_cast<WPARAM>(iRow),
                 reinterpret_cast<LPARAM>(&item));
}
