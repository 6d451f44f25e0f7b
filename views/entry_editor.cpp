#include "views/entry_editor.h"

#include "shell/app.h"
#include "shell/resources.h"
#include "shell/shell_ui.h"
#include "sim/sim_access.h"
#include "sim/usim.h"
#include "telvane_ids.h"
#include "views/main_view.h"
#include "views/tree.h"
#include "views/view_support.h"
#include "views/views.h"

#include <aygshell.h>
#include <sipapi.h>

#include <climits>
#include <cstring>

namespace {

// Only one editor is open at a time, so the form's state is the module's.
SHACTIVATEINFO g_sai;
int g_iScrollPos = 0;
// The entry that dialog 501 opened with. A stored notification may move the main view's
// selection while the editor is open; the save still goes to this entry.
int g_iEditIndex = 0;

const WPARAM kScreenReset = 0x3002;
const WPARAM kInputPanelChanged = SPI_SETSIPINFO;

// Pixel sizes of the form, doubled on a 192 dpi screen.
int Unit() {
    return RC_GetDPI() == 192 ? 2 : 1;
}

int Gap() {
    return 5 * Unit();
}
int LabelHeight() {
    return 18 * Unit();
}
int FieldHeight() {
    return 23 * Unit();
}
int ScrollBarWidth() {
    return 13 * Unit();
}

bool IsSecondNumberShown() {
    return USIM_IsPhone2Supported() == 1;
}

bool IsEmailShown() {
    return USIM_IsEmailSupported() == 1;
}

int ShownOptionalRows() {
    return (IsSecondNumberShown() ? 1 : 0) + (IsEmailShown() ? 1 : 0);
}

void ShowControl(HWND hDlg, int iControl, bool bShow) {
    ShowWindow(GetDlgItem(hDlg, iControl), bShow ? SW_SHOW : SW_HIDE);
}

// Places a label and its field below y, and answers the y below the field.
int PlaceRow(HWND hDlg, int iLabel, int iField, int y) {
    int x = Gap();
    int iWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN) - 2 * Gap() - ScrollBarWidth();
    MoveWindow(GetDlgItem(hDlg, iLabel), x, y, iWidth, LabelHeight(), FALSE);
    y += LabelHeight() + Gap();
    MoveWindow(GetDlgItem(hDlg, iField), x, y, iWidth, FieldHeight(), FALSE);
    return y + FieldHeight() + Gap();
}

void PlaceOptionalRow(HWND hDlg, int iLabel, int iField, bool bShown, int* py) {
    ShowControl(hDlg, iLabel, bShown);
    ShowControl(hDlg, iField, bShown);
    if (bShown) {
        *py = PlaceRow(hDlg, iLabel, iField, *py);
    }
}

void SetField(HWND hDlg, int iControl, HTREEITEM hEntry, int iField) {
    SetDlgItemTextW(hDlg, iControl, TREEITEM_GetSIMCardFiled(g_hSIMTree, hEntry, iField));
}

void ReadField(HWND hDlg, int iControl, LPWSTR pszField) {
    GetDlgItemTextW(hDlg, iControl, pszField, ENTRYFIELD_SIZE);
}

void LimitField(HWND hDlg, int iControl, int iLimit) {
    SendDlgItemMessageW(hDlg, iControl, EM_LIMITTEXT, static_cast<WPARAM>(iLimit), 0);
}

// The entry selected in the main view; a selected field child stands for its entry.
HTREEITEM SelectedEntry() {
    HTREEITEM hSelected = TREE_GetSelectItem(g_hSIMTree);
    if (!hSelected) {
        return nullptr;
    }
    HTREEITEM hParent = TREEITEM_GetParent(g_hSIMTree, hSelected);
    return hParent ? hParent : hSelected;
}

// The visible scroll bar shows what the dialog's own vertical scroll information holds.
void SetFormScrollInfo(HWND hDlg, const SCROLLINFO& info) {
    SetScrollInfo(hDlg, SB_VERT, &info, TRUE);
    SetScrollInfo(GetDlgItem(hDlg, IDC_FORM_SCROLL), SB_CTL, &info, TRUE);
}

void SetFormScrollPos(HWND hDlg, int iPos) {
    SetScrollPos(hDlg, SB_VERT, iPos, TRUE);
    SetScrollPos(GetDlgItem(hDlg, IDC_FORM_SCROLL), SB_CTL, iPos, TRUE);
}

// Moves the form's rows by dy; the scroll bar at the right edge stays where it is.
void ScrollRows(HWND hDlg, int dy) {
    SIPINFO si = {};
    si.cbSize = sizeof(si);
    SipGetInfo(&si);
    RECT rcRows = {INT_MIN / 2, INT_MIN / 2,
                   si.rcVisibleDesktop.right - si.rcVisibleDesktop.left - ScrollBarWidth(),
                   INT_MAX / 2};
    ScrollWindowEx(hDlg, 0, dy, &rcRows, nullptr, nullptr, nullptr,
                   SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
}

void Initialise(HWND hDlg, bool bEdit) {
    g_hWndMb = RC_CreateMenuBar(hDlg, IDM_EDITOR, 1);
    RC_InitDialog(hDlg, 1);
    g_sai = SHACTIVATEINFO{};
    g_sai.cbSize = sizeof(g_sai);
    g_iScrollPos = 0;
    RC_SetSIP(hDlg, 1);
    CTRL_EDIT_SetupScroll(hDlg);
    CTRL_EDIT_Layout(hDlg);
    if (bEdit) {
        CTRL_EDIT_FillFields(hDlg);
    }
    CTRL_EDIT_SetLimits(hDlg);
    SetFocus(GetDlgItem(hDlg, IDC_NAME));
}

void OnActivate(HWND hDlg, WPARAM wParam, LPARAM lParam, DWORD dwInputDialog) {
    SHHandleWMActivate(hDlg, wParam, lParam, &g_sai, dwInputDialog);
    CTRL_CheckSIMOnActivate(wParam);
}

void OnSettingChange(HWND hDlg, WPARAM wParam, LPARAM lParam) {
    SHHandleWMSettingChange(hDlg, wParam, lParam, &g_sai);
    if (wParam == kScreenReset) {
        CTRL_EDIT_Layout(hDlg);
    } else if (wParam == kInputPanelChanged) {
        CTRL_EDIT_SetupScroll(hDlg);
        CTRL_EDIT_Layout(hDlg);
    }
}

// The message table both dialogs share; they differ in the activation flag and in Done.
INT_PTR EditorDialog(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam, bool bEdit) {
    switch (uMsg) {
    case WM_INITDIALOG:
        Initialise(hDlg, bEdit);
        return FALSE;
    case WM_ACTIVATE:
        OnActivate(hDlg, wParam, lParam, bEdit ? SHA_INPUTDIALOG : 0);
        return FALSE;
    case WM_SETTINGCHANGE:
        OnSettingChange(hDlg, wParam, lParam);
        return FALSE;
    case WM_SIZE:
        CTRL_EDIT_Layout(hDlg);
        return FALSE;
    case WM_HELP:
        RC_ShowHelp();
        return FALSE;
    case WM_VSCROLL:
        CTRL_EDIT_OnVScroll(hDlg, wParam);
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case ID_DONE:
            if (bEdit) {
                CTRL_EDIT_OnDone(hDlg);
            } else {
                CTRL_NEW_OnDone(hDlg);
            }
            return TRUE;
        case ID_CANCEL:
        case IDCANCEL:
            APP_CloseDialog(hDlg);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

// Saves the form at the index; only a save that kept everything as typed closes the editor.
void SaveForm(HWND hDlg, int iIndex) {
    ENTRYFIELDS fields;
    memset(&fields, 0, sizeof(fields));
    CTRL_EDIT_ReadFields(hDlg, &fields);
    int iResult = USIM_IsSupported() == 1 ? USIM_SaveEntry(iIndex, &fields, 1, hDlg)
                                          : SIM_SaveEntry(iIndex, &fields, 1, hDlg);
    if (iResult == SAVE_RESULT_SAVED) {
        APP_CloseDialog(hDlg);
    }
}

} // namespace

INT_PTR CALLBACK EditDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return EditorDialog(hDlg, uMsg, wParam, lParam, true);
}

INT_PTR CALLBACK NewDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return EditorDialog(hDlg, uMsg, wParam, lParam, false);
}

void CTRL_EDIT_FillFields(HWND hDlg) {
    HTREEITEM hEntry = SelectedEntry();
    g_iEditIndex = hEntry ? TREEITEM_SIM_GetMemIndex(g_hSIMTree, hEntry) : 0;
    SetField(hDlg, IDC_NAME, hEntry, -1);
    SetField(hDlg, IDC_NUMBER, hEntry, FIELD_TEL);
    if (IsSecondNumberShown()) {
        SetField(hDlg, IDC_NUMBER2, hEntry, FIELD_TEL2);
    }
    if (IsEmailShown()) {
        SetField(hDlg, IDC_EMAIL, hEntry, FIELD_EMAIL);
    }
}

void CTRL_EDIT_SetLimits(HWND hDlg) {
    LimitField(hDlg, IDC_NAME, SIM_MAX_NameLength());
    LimitField(hDlg, IDC_NUMBER, SIM_MAX_PhoneLength());
    if (IsSecondNumberShown()) {
        LimitField(hDlg, IDC_NUMBER2, USIM_MAX_Phone2Length());
    }
    if (IsEmailShown()) {
        LimitField(hDlg, IDC_EMAIL, USIM_MAX_EmailLength());
    }
}

void CTRL_EDIT_ReadFields(HWND hDlg, ENTRYFIELDS* pFields) {
    ReadField(hDlg, IDC_NAME, pFields->szName);
    ReadField(hDlg, IDC_NUMBER, pFields->szNumber);
    if (IsSecondNumberShown()) {
        ReadField(hDlg, IDC_NUMBER2, pFields->szNumber2);
    }
    if (IsEmailShown()) {
        ReadField(hDlg, IDC_EMAIL, pFields->szEmail);
    }
}

void CTRL_EDIT_OnDone(HWND hDlg) {
    SaveForm(hDlg, g_iEditIndex);
}

void CTRL_NEW_OnDone(HWND hDlg) {
    SaveForm(hDlg, SIM_INDEX_FIRSTFREE);
}

// Rows follow each other from the top of the form, less what it is scrolled by, so a layout
// while the form is scrolled keeps the rows where the scroll bar says they are.
void CTRL_EDIT_Layout(HWND hDlg) {
    int y = Gap() - g_iScrollPos;
    y = PlaceRow(hDlg, IDC_NAME_LABEL, IDC_NAME, y);
    ShowControl(hDlg, IDC_NICKNAME_LABEL, false);
    ShowControl(hDlg, IDC_NICKNAME, false);
    y = PlaceRow(hDlg, IDC_NUMBER_LABEL, IDC_NUMBER, y);
    PlaceOptionalRow(hDlg, IDC_NUMBER2_LABEL, IDC_NUMBER2, IsSecondNumberShown(), &y);
    PlaceOptionalRow(hDlg, IDC_EMAIL_LABEL, IDC_EMAIL, IsEmailShown(), &y);
}

int CTRL_EDIT_GetOverflow() {
    int g = Gap();
    int E = FieldHeight();
    int L = LabelHeight();
    int iForm = 6 * g + 3 * E + 2 * L + ShownOptionalRows() * (2 * g + E + L);
    SIPINFO si = {};
    si.cbSize = sizeof(si);
    SipGetInfo(&si);
    int iBottom = si.rcVisibleDesktop.bottom;
    return iForm > iBottom ? iForm + E - iBottom : 0;
}

void CTRL_EDIT_SetupScroll(HWND hDlg) {
    SIPINFO si = {};
    si.cbSize = sizeof(si);
    SipGetInfo(&si);
    int iWidth = si.rcVisibleDesktop.right - si.rcVisibleDesktop.left;
    int iHeight = si.rcVisibleDesktop.bottom - si.rcVisibleDesktop.top;
    int s = ScrollBarWidth();
    HWND hScroll = GetDlgItem(hDlg, IDC_FORM_SCROLL);
    int iOverflow = CTRL_EDIT_GetOverflow();
    if ((si.fdwFlags & SIPF_ON) && iOverflow > 0) {
        MoveWindow(hScroll, iWidth - s, 0, s, iHeight, FALSE);
        ShowWindow(hScroll, SW_SHOW);
        SetWindowPos(hDlg, nullptr, 0, 0, iWidth, iHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_SHOWWINDOW);
        SCROLLINFO info = {};
        info.cbSize = sizeof(info);
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
        info.nMin = 0;
        info.nMax = iOverflow;
        info.nPage = static_cast<UINT>(20 * Unit());
        info.nPos = 0;
        g_iScrollPos = 0;
        SetFormScrollInfo(hDlg, info);
        return;
    }
    g_iScrollPos = 0;
    ShowWindow(hScroll, SW_HIDE);
    SetWindowPos(hDlg, nullptr, 0, 0, iWidth + s, iHeight, SWP_NOMOVE | SWP_NOZORDER);
}

void CTRL_EDIT_OnVScroll(HWND hDlg, WPARAM wParam) {
    int iMin = 0;
    int iMax = 0;
    GetScrollRange(hDlg, SB_VERT, &iMin, &iMax);
    int iOld = g_iScrollPos;
    int iNew = iOld;
    int iStep = 10 * Unit();
    switch (LOWORD(wParam)) {
    case SB_LINEUP:
    case SB_PAGEUP:
        iNew -= iStep;
        break;
    case SB_LINEDOWN:
    case SB_PAGEDOWN:
        iNew += iStep;
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        iNew = HIWORD(wParam);
        break;
    }
    if (iNew > iMax - 1) {
        iNew = iMax - 1;
    }
    if (iNew < iMin) {
        iNew = iMin;
    }
    if (iNew == iOld) {
        return;
    }
    g_iScrollPos = iNew;
    SetFormScrollPos(hDlg, iNew);
    ScrollRows(hDlg, iOld - iNew);
}
