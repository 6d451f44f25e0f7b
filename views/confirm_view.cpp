#include "views/confirm_view.h"

#include "contacts/contacts_access.h"
#include "shell/app.h"
#include "shell/messages.h"
#include "shell/resources.h"
#include "shell/shell_ui.h"
#include "shell/trace.h"
#include "sim/sim_access.h"
#include "sim/usim.h"
#include "telvane_ids.h"
#include "views/list.h"
#include "views/main_view.h"
#include "views/tree.h"
#include "views/view_support.h"
#include "views/views.h"

#include <aygshell.h>

#include <array>
#include <atomic>

namespace {

const int kTextSize = 260;
const WPARAM kScreenReset = 0x3002;
// Asks the dialog's thread to find a checked entry and copy its texts in one step, so that a
// deletion applied to the tree meanwhile never leaves the fill reading an item that is gone.
const UINT WM_CONFIRM_READENTRY = 0x0D90;

// One confirmation list is open at a time; its fill worker reads these.
HWND g_hConfirmDlg = nullptr;
HWND g_hConfirmList = nullptr;
HBITMAP g_hBanner = nullptr;
// The list's fill worker. Closing the dialog stops it and waits for it, so it never drives a
// closed dialog, its list or the next dialog's menu bar.
VIEW_FILL g_fill;

struct EntryTexts {
    BOOL bFound;
    WCHAR szName[kTextSize];
    WCHAR szNumber[kTextSize];
};

using IndexArray = std::array<int, TREE_SIM_MAX_INDEX>;

// The checked entries' memory indices in tree order; the array is zeroed first.
int CollectChecked(IndexArray* pIndices) {
    pIndices->fill(0);
    return TREE_SIM_GetCheckedMemIndex(g_hSIMTree, pIndices->data(),
                                       static_cast<int>(pIndices->size()));
}

// On the dialog's thread: the name and number of the item that carries the index, if one still
// does.
void ReadEntry(int iIndex, EntryTexts* pTexts) {
    HTREEITEM hItem = TREE_FindItemByMemIndex(g_hSIMTree, iIndex);
    pTexts->bFound = hItem ? TRUE : FALSE;
    if (!hItem) {
        return;
    }
    StringCchCopyW(pTexts->szName, kTextSize, TREEITEM_GetSIMCardFiled(g_hSIMTree, hItem, -1));
    StringCchCopyW(pTexts->szNumber, kTextSize,
                   TREEITEM_GetSIMCardFiled(g_hSIMTree, hItem, FIELD_TEL));
}

void ShowBusy(HWND hDlg, HCURSOR hWait) {
    CTRL_CONFIRM_EnableMenu(0);
    SetCursor(hWait);
    ShowWindow(hDlg, SW_SHOW);
    UpdateWindow(hDlg);
}

void ShowDone() {
    CTRL_CONFIRM_EnableMenu(1);
    SetCursor(nullptr);
}

void Close(HWND hDlg) {
    CTRL_StopFill(&g_fill);
    APP_CloseDialog(hDlg);
}

void Initialise(HWND hDlg, LPARAM lMode) {
    bool bDelete = lMode == CONFIRM_MODE_DELETE;
    bool bDoubled = RC_GetDPI() == 192;
    UINT uBanner = bDelete ? (bDoubled ? IDB_DELETE_BANNER_HIRES : IDB_DELETE_BANNER)
                           : (bDoubled ? IDB_COPY_BANNER_HIRES : IDB_COPY_BANNER);
    UINT uMenu = bDelete ? IDM_CONFIRM_DELETE : IDM_CONFIRM_COPY;
    g_hConfirmDlg = hDlg;
    g_hBanner = CTRL_SetPicture(hDlg, IDC_CONFIRM_BANNER, uBanner);
    g_hWndMb = RC_CreateMenuBar(hDlg, uMenu, 0);
    RC_InitDialog(hDlg, 1);
    SetDlgItemTextW(hDlg, IDC_QUESTION, RC_LoadString(uMenu + 407));
    g_hConfirmList = LIST_Init(hDlg, IDC_ENTRY_LIST);
    g_fill.bStop = false;
    CTRL_StartFill(&g_fill, CTRL_CONFIRM_FillThread, hDlg);
}

void OnDestroy() {
    CTRL_StopFill(&g_fill);
    CTRL_FreePicture(&g_hBanner);
    g_hConfirmDlg = nullptr;
    g_hConfirmList = nullptr;
}

INT_PTR OnCommand(HWND hDlg, WORD wCommand) {
    switch (wCommand) {
    case ID_DELETE:
        CTRL_CONFIRM_DeleteEntries(hDlg);
        Close(hDlg);
        return TRUE;
    case ID_COPY:
        CTRL_CONFIRM_CopyToContacts(hDlg);
        Close(hDlg);
        return TRUE;
    case ID_CANCEL:
    case IDCANCEL:
        Close(hDlg);
        return TRUE;
    }
    return FALSE;
}

// Copies one entry into a new contact; the contacts layer's result of the step that failed, or
// of the save.
int CopyEntry(HTREEITEM hEntry) {
    IContact* pContact = nullptr;
    int iResult = CONTACTITEM_Create(&pContact);
    if (iResult != CONTACT_OK) {
        return iResult;
    }
    WCHAR szField[kTextSize];
    StringCchCopyW(szField, kTextSize, TREEITEM_GetSIMCardFiled(g_hSIMTree, hEntry, -1));
    CONTACTITEM_SetFirstName(pContact, szField);
    StringCchCopyW(szField, kTextSize, TREEITEM_GetSIMCardFiled(g_hSIMTree, hEntry, FIELD_TEL));
    CONTACTITEM_SetMobileTel(pContact, szField);
    if (USIM_IsNickNameSupported()) {
        StringCchCopyW(szField, kTextSize,
                       TREEITEM_GetSIMCardFiled(g_hSIMTree, hEntry, FIELD_NICKNAME));
        CONTACTITEM_SetNickName(pContact, szField);
    }
    if (USIM_IsPhone2Supported()) {
        StringCchCopyW(szField, kTextSize,
                       TREEITEM_GetSIMCardFiled(g_hSIMTree, hEntry, FIELD_TEL2));
        CONTACTITEM_SetBussinessTel(pContact, szField);
    }
    if (USIM_IsEmailSupported()) {
        StringCchCopyW(szField, kTextSize,
                       TREEITEM_GetSIMCardFiled(g_hSIMTree, hEntry, FIELD_EMAIL));
        CONTACTITEM_SetEmail1(pContact, szField);
    }
    iResult = CONTACTITEM_Save(pContact);
    CONTACTITEM_Release(pContact);
    return iResult;
}

// A full store is a warning; anything else that is not a success stops the copy as an error.
void ReportCopyFailure(HWND hDlg, int iResult) {
    if (iResult == CONTACT_STORAGE_FULL) {
        MSG_Warning(RC_LoadString(IDS_STORAGE_FULL), hDlg);
    } else {
        MSG_Error(RC_LoadString(IDS_COPY_FAILED), hDlg);
    }
}

} // namespace

INT_PTR CALLBACK CTRL_CONFIRM_DlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_INITDIALOG:
        Initialise(hDlg, lParam);
        return FALSE;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_ACTIVE) {
            return FALSE;
        }
        if (!CTRL_CheckSIMOnActivate(wParam)) {
            return TRUE;
        }
        CTRL_CONFIRM_Layout(hDlg);
        return FALSE;
    case WM_SIZE:
        CTRL_CONFIRM_Layout(hDlg);
        return TRUE;
    case WM_SETTINGCHANGE:
        if (wParam != kScreenReset) {
            return FALSE;
        }
        CTRL_CONFIRM_Layout(hDlg);
        return TRUE;
    case WM_HELP:
        RC_ShowHelp();
        return TRUE;
    case WM_COMMAND:
        return OnCommand(hDlg, LOWORD(wParam));
    case WM_CONFIRM_READENTRY:
        ReadEntry(static_cast<int>(wParam), reinterpret_cast<EntryTexts*>(lParam));
        return TRUE;
    case WM_DESTROY:
        OnDestroy();
        return FALSE;
    }
    return FALSE;
}

void CTRL_CONFIRM_EnableMenu(int iEnable) {
    CTRL_EnableSoftKeys(g_hWndMb, iEnable, u"CTRL_CONFIRM_EnableMenu: Enable Menubar",
                        u"CTRL_CONFIRM_EnableMenu: g_hWndMb == NULL");
}

// Every step first checks that the dialog is still open: once it closes, the worker leaves the
// list and the menu bar alone, and only takes its wait cursor back.
DWORD WINAPI CTRL_CONFIRM_FillThread(LPVOID pParam) {
    HWND hDlg = HWND(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(pParam)));
    HCURSOR hWait = LoadCursorW(nullptr, IDC_WAIT);
    RECT rcClient;
    GetClientRect(hDlg, &rcClient);
    int iWidth = (rcClient.right - rcClient.left) / 2;
    if (!g_fill.bStop) {
        LIST_InsertColumn(g_hConfirmList, 0, iWidth, RC_LoadString(IDS_COLUMN_NAME));
        LIST_InsertColumn(g_hConfirmList, 1, iWidth, RC_LoadString(IDS_COLUMN_NUMBER));
        ShowBusy(hDlg, hWait);
        CTRL_CONFIRM_FillList();
    }
    if (!g_fill.bStop) {
        CTRL_CONFIRM_EnableMenu(1);
    }
    SetCursor(nullptr);
    CTRL_EndFill(&g_fill, hDlg);
    return 0;
}

void CTRL_CONFIRM_FillList() {
    IndexArray indices;
    int iCount = CollectChecked(&indices);
    int iRow = 0;
    for (int k = 0; k < iCount && !g_fill.bStop; ++k) {
        EntryTexts texts = {};
        SendMessageW(g_hConfirmDlg, WM_CONFIRM_READENTRY, static_cast<WPARAM>(indices[k]),
                     reinterpret_cast<LPARAM>(&texts));
        if (!texts.bFound) {
            continue;
        }
        LIST_InsertItem(g_hConfirmList, iRow);
        LIST_SetItemText(g_hConfirmList, iRow, 0, texts.szName);
        LIST_SetItemText(g_hConfirmList, iRow, 1, texts.szNumber);
        ++iRow;
    }
}

// The deletions' notifications are not applied one by one; the main view refills from the card
// afterwards, whether the run completed or stopped at a failing delete.
void CTRL_CONFIRM_DeleteEntries(HWND hDlg) {
    IndexArray indices;
    indices.fill(0);
    ShowBusy(hDlg, LoadCursorW(nullptr, IDC_WAIT));
    g_bSIMTreeReady = 0;
    int iCount = CollectChecked(&indices);
    bool bFailed = false;
    for (int k = 0; k < iCount && !bFailed; ++k) {
        if (TREE_FindItemByMemIndex(g_hSIMTree, indices[k])) {
            bFailed = SIM_DeletePBEntry(indices[k]) == -1;
        }
    }
    if (!bFailed) {
        MSG_Information(RC_LoadString(IDS_DELETED), hDlg);
    }
    ShowDone();
    SendMessageW(g_hMainDlg, WM_MAIN_REFRESH, 0, 0);
}

// Stops at the first contact that cannot be created or saved, with its message; the contacts
// copied before it stay.
void CTRL_CONFIRM_CopyToContacts(HWND hDlg) {
    IndexArray indices;
    indices.fill(0);
    ShowBusy(hDlg, LoadCursorW(nullptr, IDC_WAIT));
    int iCount = CollectChecked(&indices);
    for (int k = 0; k < iCount; ++k) {
        HTREEITEM hEntry = TREE_FindItemByMemIndex(g_hSIMTree, indices[k]);
        if (!hEntry) {
            continue;
        }
        int iResult = CopyEntry(hEntry);
        if (iResult != CONTACT_OK) {
            ReportCopyFailure(hDlg, iResult);
            ShowDone();
            return;
        }
    }
    MSG_Information(RC_LoadString(IDS_COPIED), hDlg);
    ShowDone();
}

void CTRL_CONFIRM_Layout(HWND hDlg) {
    int iScale = RC_GetDPI() == 192 ? 2 : 1;
    int iMargin = 5 * iScale;
    int iQuestion = 54 * iScale;
    RECT rcClient;
    GetClientRect(hDlg, &rcClient);
    int iWidth = rcClient.right - rcClient.left;
    int iHeight = rcClient.bottom - rcClient.top;
    HWND hBanner = GetDlgItem(hDlg, IDC_CONFIRM_BANNER);
    RECT rcBanner;
    GetWindowRect(hBanner, &rcBanner);
    int iBannerWidth = rcBanner.right - rcBanner.left;
    int iBannerHeight = rcBanner.bottom - rcBanner.top;
    int iListTop = iQuestion + iMargin + iBannerHeight;
    MoveWindow(GetDlgItem(hDlg, IDC_QUESTION), iMargin, iMargin, iWidth - 2 * iMargin, iQuestion,
               FALSE);
    MoveWindow(hBanner, iWidth - iBannerWidth, iQuestion + iMargin, iBannerWidth, iBannerHeight,
               FALSE);
    MoveWindow(GetDlgItem(hDlg, IDC_ENTRY_LIST), 0, iListTop, iWidth, iHeight + 1 - iListTop,
               FALSE);
}
