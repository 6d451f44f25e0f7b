#include "views/main_view.h"

#include "contacts/contacts_access.h"
#include "shell/app.h"
#include "shell/messages.h"
#include "shell/resources.h"
#include "shell/shell_ui.h"
#include "shell/trace.h"
#include "sim/sim_access.h"
#include "sim/usim.h"
#include "telvane_ids.h"
#include "views/tree.h"
#include "views/view_support.h"
#include "views/views.h"

#include <aygshell.h>

#include <cstring>
#include <mutex>
#include <vector>

HWND g_hMainDlg = nullptr;
HWND g_hSIMTree = nullptr;
HWND g_hMainWndMb = nullptr;
std::atomic<int> g_bSIMTreeReady{1};
CRITICAL_SECTION g_csView;

namespace {

const int kTextSize = 260;
const WORD kTalkKey = 0x72;
const WPARAM kScreenReset = 0x3002;

// The Menu popup of the right soft key, fetched from the menu bar once for the run. The fill
// worker and the dialog thread both bring it up to date.
std::once_flag g_menuFetched;
HMENU g_hMenuPopup = nullptr;

HMENU MenuPopup() {
    std::call_once(g_menuFetched, [] {
        g_hMenuPopup =
            HMENU(static_cast<DWORD>(SendMessageW(g_hMainWndMb, SHCMBM_GETSUBMENU, 0, 0)));
    });
    return g_hMenuPopup;
}

void StartFillThread(HWND hDlg) {
    HANDLE hThread = CreateThread(
        nullptr, 0, CTRL_MAIN_FillThread,
        reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(static_cast<DWORD>(hDlg))), 0, nullptr);
    CloseHandle(hThread);
}

void PhonebookStatus(DWORD* pdwUsed, DWORD* pdwTotal) {
    *pdwUsed = 0;
    *pdwTotal = 0;
    SIM_GetPhoneBookStatus(pdwUsed, pdwTotal);
}

HTREEITEM InsertEntry(LPCWSTR pszName, LPCWSTR pszNumber, int iIndex) {
    HTREEITEM hEntry = TREE_InsertItem(g_hSIMTree, nullptr, 1, IMG_UNCHECKED, pszName, iIndex, 0);
    TREE_InsertItem(g_hSIMTree, hEntry, 0, IMG_TEL, pszNumber, FIELD_TEL, 1);
    return hEntry;
}

// The second number and the e-mail of an extended entry, or null where the entry has none.
LPCWSTR SecondNumberOf(const USIM_PBENTRY* pEntry) {
    if (pEntry->dwAdditionalNumberCount == 0 || !pEntry->lpAdditionalNumbers) {
        return nullptr;
    }
    return pEntry->lpAdditionalNumbers[0].lpszAddress;
}

LPCWSTR EmailOf(const USIM_PBENTRY* pEntry) {
    if (pEntry->dwEmailCount == 0 || !pEntry->lpEmailAddresses) {
        return nullptr;
    }
    return pEntry->lpEmailAddresses[0].lpszAddress;
}

void AppendExtendedFields(HTREEITEM hEntry, const USIM_PBENTRY* pEntry) {
    LPCWSTR pszNumber2 = SecondNumberOf(pEntry);
    if (USIM_IsPhone2Supported() && pszNumber2) {
        TREE_InsertItem(g_hSIMTree, hEntry, 0, IMG_TEL2, pszNumber2, FIELD_TEL2, 1);
    }
    LPCWSTR pszEmail = EmailOf(pEntry);
    if (USIM_IsEmailSupported() && pszEmail) {
        TREE_InsertItem(g_hSIMTree, hEntry, 0, IMG_EMAIL, pszEmail, FIELD_EMAIL, 1);
    }
}

int ReadPlainEntry(int iIndex, SIM_PBENTRY* pEntry) {
    memset(pEntry, 0, sizeof(*pEntry));
    pEntry->cbSize = sizeof(*pEntry);
    return SIM_ReadPBEntry(iIndex, pEntry);
}

// Each read starts from a clean head, so a slot without sub-records never shows those of the
// slot read before it.
int ReadExtendedEntry(int iIndex, USIM_PBENTRY* pEntry) {
    memset(pEntry, 0, sizeof(*pEntry));
    return USIM_ReadPBEntry(iIndex, pEntry);
}

// Sets a field child's text, appending the child when the entry lacks it, or removes the child
// when the entry no longer carries the field.
void UpdateField(HTREEITEM hEntry, int iField, int iImage, LPCWSTR pszValue) {
    if (!pszValue) {
        TREEITEM_SetSIMCardFiled(g_hSIMTree, hEntry, iField, nullptr);
        return;
    }
    if (!TREEITEM_SetSIMCardFiled(g_hSIMTree, hEntry, iField, pszValue)) {
        TREE_InsertItem(g_hSIMTree, hEntry, 0, iImage, pszValue, iField, 1);
    }
}

// A fill and the notification thread both put entries into the tree. A stored notification may
// arrive for a slot that a running fill has not read yet; the fill must then update the item the
// notification added instead of adding the entry again. Finding and inserting happen under this
// lock, and the slots that notifications added during a fill are remembered for it.
std::mutex g_placeLock;
bool g_bFilling = false;
std::vector<bool> g_placedDuringFill(TREE_SIM_MAX_INDEX + 1);

// One entry as the tree shows it: its name, number and, on an extended card, its other fields.
struct EntryView {
    LPCWSTR pszName;
    LPCWSTR pszNumber;
    const USIM_PBENTRY* pExtended;
};

void AddFields(HTREEITEM hEntry, const EntryView& view) {
    if (view.pExtended) {
        AppendExtendedFields(hEntry, view.pExtended);
    }
}

void UpdateEntry(HTREEITEM hEntry, const EntryView& view) {
    TREEITEM_SetSIMCardFiled(g_hSIMTree, hEntry, -1, view.pszName);
    TREEITEM_SetSIMCardFiled(g_hSIMTree, hEntry, FIELD_TEL, view.pszNumber);
    if (!view.pExtended) {
        return;
    }
    if (USIM_IsPhone2Supported()) {
        UpdateField(hEntry, FIELD_TEL2, IMG_TEL2, SecondNumberOf(view.pExtended));
    }
    if (USIM_IsEmailSupported()) {
        UpdateField(hEntry, FIELD_EMAIL, IMG_EMAIL, EmailOf(view.pExtended));
    }
}

// The item that carries the index brought up to date, or a new one; null when it was updated.
HTREEITEM PlaceEntry(int iIndex, const EntryView& view) {
    if (HTREEITEM hEntry = TREE_FindItemByMemIndex(g_hSIMTree, iIndex)) {
        UpdateEntry(hEntry, view);
        return nullptr;
    }
    HTREEITEM hEntry = InsertEntry(view.pszName, view.pszNumber, iIndex);
    AddFields(hEntry, view);
    return hEntry;
}

void FillEntry(int iIndex, const EntryView& view) {
    std::lock_guard<std::mutex> lock(g_placeLock);
    if (g_placedDuringFill[static_cast<size_t>(iIndex)]) {
        PlaceEntry(iIndex, view);
        return;
    }
    AddFields(InsertEntry(view.pszName, view.pszNumber, iIndex), view);
}

// A new entry is selected; one the tree had already is only brought up to date.
void NotifyEntry(int iIndex, const EntryView& view) {
    std::lock_guard<std::mutex> lock(g_placeLock);
    HTREEITEM hNew = PlaceEntry(iIndex, view);
    if (!hNew) {
        return;
    }
    TREEITEM_Select(g_hSIMTree, hNew);
    if (g_bFilling && iIndex >= 0 && iIndex <= TREE_SIM_MAX_INDEX) {
        g_placedDuringFill[static_cast<size_t>(iIndex)] = true;
    }
}

void SetFilling(bool bFilling) {
    std::lock_guard<std::mutex> lock(g_placeLock);
    g_bFilling = bFilling;
    g_placedDuringFill.assign(g_placedDuringFill.size(), false);
}

void FillPlainTree(DWORD dwTotal) {
    SIM_PBENTRY entry;
    for (DWORD i = 1; i <= dwTotal; ++i) {
        if (ReadPlainEntry(static_cast<int>(i), &entry) == 1) {
            FillEntry(static_cast<int>(i), EntryView{entry.lpszText, entry.lpszAddress, nullptr});
        }
    }
}

void FillExtendedTree(DWORD dwTotal) {
    USIM_PBENTRY* pEntry = nullptr;
    if (!USIM_AllocEntry(&pEntry)) {
        return;
    }
    for (DWORD i = 1; i <= dwTotal; ++i) {
        if (ReadExtendedEntry(static_cast<int>(i), pEntry) == 1) {
            FillEntry(static_cast<int>(i),
                      EntryView{pEntry->lpszText, pEntry->lpszAddress, pEntry});
        }
    }
    USIM_FreeBlock(pEntry);
}

// A slot that cannot be read (damaged, or emptied again before the read) leaves the tree alone.
void OnPlainEntryStored(int iIndex) {
    SIM_PBENTRY entry;
    if (ReadPlainEntry(iIndex, &entry) == 1) {
        NotifyEntry(iIndex, EntryView{entry.lpszText, entry.lpszAddress, nullptr});
    }
}

void OnExtendedEntryStored(int iIndex) {
    USIM_PBENTRY* pEntry = nullptr;
    if (!USIM_AllocEntry(&pEntry)) {
        return;
    }
    if (ReadExtendedEntry(iIndex, pEntry) == 1) {
        NotifyEntry(iIndex, EntryView{pEntry->lpszText, pEntry->lpszAddress, pEntry});
    }
    USIM_FreeBlock(pEntry);
}

// The status line reads the card's counts whenever it paints.
void RepaintStatusLine() {
    InvalidateRect(GetDlgItem(g_hMainDlg, IDC_MEMORY_STATUS), nullptr, TRUE);
}

const SIMPBECHANGE* PhonebookChange(const void* pData) {
    const SIMPBECHANGE* pChange = static_cast<const SIMPBECHANGE*>(pData);
    if (!pChange || pChange->dwStorage != SIM_STORAGE_SIM) {
        return nullptr;
    }
    return pChange;
}

void EnableCommand(HMENU hMenu, UINT uCommand, bool bEnable) {
    EnableMenuItem(hMenu, uCommand, MF_BYCOMMAND | (bEnable ? MF_ENABLED : MF_GRAYED));
}

// The name and number of an entry, copied out of the tree's shared buffers.
struct EntryText {
    WCHAR szName[kTextSize];
    WCHAR szNumber[kTextSize];
};

void ReadEntryText(HTREEITEM hEntry, EntryText* pText) {
    StringCchCopyW(pText->szName, kTextSize, TREEITEM_GetSIMCardFiled(g_hSIMTree, hEntry, -1));
    StringCchCopyW(pText->szNumber, kTextSize,
                   TREEITEM_GetSIMCardFiled(g_hSIMTree, hEntry, FIELD_TEL));
}

// A field child stands for its entry.
HTREEITEM EntryOf(HTREEITEM hItem) {
    HTREEITEM hParent = TREEITEM_GetParent(g_hSIMTree, hItem);
    return hParent ? hParent : hItem;
}

void DialEntry(HTREEITEM hEntry) {
    EntryText text;
    ReadEntryText(hEntry, &text);
    PHONE_MakeCall(text.szNumber, text.szName);
}

void Initialise(HWND hDlg) {
    SIM_SetCallBackFunc(CTRL_MAIN_SIMNotify);
    CONTACT_Init(hDlg);
    InitializeCriticalSection(&g_csView);
    g_hMainDlg = hDlg;
    g_hMainWndMb = RC_CreateMenuBar(hDlg, IDM_MAIN, 0);
    RC_InitDialog(hDlg, 0);
    g_hSIMTree = TREE_Init(hDlg, IDC_SIM_TREE);
    TREE_CreateImageList(g_hSIMTree);
    StartFillThread(hDlg);
    RC_OverrideTalkKey(g_hMainWndMb);
}

void Exit(HWND hDlg) {
    SIM_Release();
    CONTACT_Release();
    DeleteCriticalSection(&g_csView);
    DestroyWindow(g_hMainWndMb);
    APP_CloseDialog(hDlg);
    SendMessageW(GetParent(hDlg), WM_CLOSE, 0, 0);
}

void OnActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_ACTIVE && CTRL_CheckSIMOnActivate(wParam)) {
        CTRL_MAIN_Layout(g_hMainDlg);
    }
}

BOOL OnCommand(HWND hDlg, WORD wCommand) {
    switch (wCommand) {
    case ID_NEW:
        if (!CTRL_MAIN_IsSIMFull(hDlg)) {
            APP_OpenDialog(IDD_NEW, hDlg, 0);
            CTRL_MAIN_UpdateMenu();
        }
        return TRUE;
    case ID_EDIT:
        CTRL_MAIN_EditSelected(hDlg);
        return TRUE;
    case ID_DELETE:
        APP_OpenDialog(IDD_CONFIRM, hDlg, 1);
        return TRUE;
    case ID_SELECT_ALL:
        TREE_CHECKBOX_SetAll(g_hSIMTree, IMG_CHECKED);
        CTRL_MAIN_UpdateMenu();
        return TRUE;
    case ID_DESELECT_ALL:
        TREE_CHECKBOX_SetAll(g_hSIMTree, IMG_UNCHECKED);
        CTRL_MAIN_UpdateMenu();
        return TRUE;
    case ID_COPY_TO_CONTACTS:
        APP_OpenDialog(IDD_CONFIRM, hDlg, 2);
        return TRUE;
    case ID_RETRIEVE_FROM_CONTACTS:
        if (!CTRL_MAIN_IsSIMFull(hDlg)) {
            APP_OpenDialog(IDD_RETRIEVE, hDlg, 0);
        }
        return TRUE;
    case ID_ABOUT:
        APP_OpenDialog(IDD_ABOUT, hDlg, 0);
        return TRUE;
    case ID_EXIT:
        SendMessageW(hDlg, WM_MAIN_EXIT, 0, 0);
        return TRUE;
    }
    return FALSE;
}

} // namespace

INT_PTR CALLBACK MainDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_INITDIALOG:
        Initialise(hDlg);
        return FALSE;
    case WM_ACTIVATE:
        OnActivate(wParam);
        return FALSE;
    case WM_SIZE:
        CTRL_MAIN_Layout(hDlg);
        return FALSE;
    case WM_SETTINGCHANGE:
        if (wParam == kScreenReset) {
            CTRL_MAIN_Layout(hDlg);
        }
        return FALSE;
    case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(NM_CLICK)) {
            CTRL_MAIN_OnTreeTap();
        }
        return FALSE;
    case WM_CONTEXTMENU:
        CTRL_MAIN_ContextMenu(hDlg, HWND(static_cast<DWORD>(wParam)), lParam);
        return FALSE;
    case WM_HELP:
        RC_ShowHelp();
        return FALSE;
    case WM_CTLCOLORSTATIC:
        if (GetDlgCtrlID(HWND(static_cast<DWORD>(lParam))) == IDC_MEMORY_STATUS) {
            DWORD dwUsed = 0;
            DWORD dwTotal = 0;
            PhonebookStatus(&dwUsed, &dwTotal);
            CTRL_DrawMemoryStatus(hDlg, static_cast<int>(dwUsed), static_cast<int>(dwTotal));
        }
        return FALSE;
    case WM_HOTKEY:
        if (HIWORD(lParam) == kTalkKey) {
            CTRL_MAIN_Dial();
        }
        return FALSE;
    case WM_COMMAND:
        return OnCommand(hDlg, LOWORD(wParam));
    case WM_MAIN_REFRESH:
        StartFillThread(hDlg);
        return FALSE;
    case WM_MAIN_EXIT:
        Exit(hDlg);
        return FALSE;
    }
    return FALSE;
}

void CTRL_EnableMainViewMenu(int iEnable) {
    CTRL_EnableSoftKeys(g_hMainWndMb, iEnable, u"CTRL_MAIN_EnableMenu: Enable Menubar",
                        u"CTRL_EnableMainViewMenu: g_hMainWndMb == NULL");
}

void CTRL_MAIN_UpdateMenu() {
    HMENU hMenu = MenuPopup();
    int iChecked = TREE_CHECKBOX_CountImgIndex(g_hSIMTree, IMG_CHECKED, 0);
    DWORD dwUsed = 0;
    DWORD dwTotal = 0;
    PhonebookStatus(&dwUsed, &dwTotal);

    bool bAny = dwUsed > 0;
    bool bSomeChecked = bAny && iChecked > 0;
    bool bAllChecked = bSomeChecked && iChecked == TREE_GetParentCount(g_hSIMTree);
    EnableCommand(hMenu, ID_EDIT, bAny);
    EnableCommand(hMenu, ID_DELETE, bSomeChecked);
    EnableCommand(hMenu, ID_SELECT_ALL, bAny && !bAllChecked);
    EnableCommand(hMenu, ID_DESELECT_ALL, bSomeChecked);
    EnableCommand(hMenu, ID_COPY_TO_CONTACTS, bSomeChecked);
    EnableCommand(hMenu, ID_RETRIEVE_FROM_CONTACTS, true);
}

int CTRL_MAIN_IsSIMFull(HWND hDlg) {
    DWORD dwUsed = 0;
    DWORD dwTotal = 0;
    PhonebookStatus(&dwUsed, &dwTotal);
    if (dwUsed != dwTotal) {
        return 0;
    }
    MSG_Warning(RC_LoadString(IDS_SIM_FULL), hDlg);
    return 1;
}

DWORD WINAPI CTRL_MAIN_FillThread(LPVOID pParam) {
    HWND hDlg = HWND(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(pParam)));
    HCURSOR hWait = LoadCursorW(nullptr, IDC_WAIT);
    CTRL_EnableMainViewMenu(0);
    SetCursor(hWait);
    ShowWindow(hDlg, SW_SHOW);
    UpdateWindow(hDlg);
    CTRL_MAIN_FillSIMTree();
    g_bSIMTreeReady = 1;
    CTRL_EnableMainViewMenu(1);
    CTRL_MAIN_UpdateMenu();
    SetCursor(nullptr);
    return 0;
}

// Every slot up to the total is read; a slot that fails to read, an empty one, is left out.
void CTRL_MAIN_FillSIMTree() {
    SetFilling(true);
    TREE_DeleteAll(g_hSIMTree);
    DWORD dwUsed = 0;
    DWORD dwTotal = 0;
    PhonebookStatus(&dwUsed, &dwTotal);
    if (USIM_IsSupported()) {
        FillExtendedTree(dwTotal);
    } else {
        FillPlainTree(dwTotal);
    }
    SetFilling(false);
    TREE_SelectFirstItem(g_hSIMTree);
    RepaintStatusLine();
}

// Runs on the SIM library's thread. It changes the tree only, through the tree's messages, and
// keeps an updated item's check mark, place and the selection.
void CTRL_MAIN_SIMNotify(DWORD dwCode, const void* pData, DWORD, DWORD) {
    if (!g_bSIMTreeReady) {
        return;
    }
    switch (dwCode) {
    case SIM_NOTIFY_PBE_STORED:
        if (const SIMPBECHANGE* pChange = PhonebookChange(pData)) {
            int iIndex = static_cast<int>(pChange->dwEntry);
            if (USIM_IsSupported()) {
                OnExtendedEntryStored(iIndex);
            } else {
                OnPlainEntryStored(iIndex);
            }
            RepaintStatusLine();
        }
        break;
    case SIM_NOTIFY_PBE_DELETED:
        if (const SIMPBECHANGE* pChange = PhonebookChange(pData)) {
            HTREEITEM hEntry =
                TREE_FindItemByMemIndex(g_hSIMTree, static_cast<int>(pChange->dwEntry));
            if (hEntry) {
                TREEITEM_Delete(g_hSIMTree, hEntry);
            }
            RepaintStatusLine();
        }
        break;
    case SIM_NOTIFY_RADIOOFF:
        SendMessageW(APP_GetMainWindow(), WM_CLOSE, 0, 0);
        break;
    }
}

void CTRL_MAIN_OnTreeTap() {
    DWORD dwPosition = GetMessagePos();
    TVHITTESTINFO hit =
        TREE_HitTest(g_hSIMTree, GET_X_LPARAM(dwPosition), GET_Y_LPARAM(dwPosition));
    if (TREE_HitOnIcon(hit)) {
        TREEITEM_Select(g_hSIMTree, hit.hItem);
        TREE_CHECKBOX_Toggle(g_hSIMTree, hit.hItem);
        if (TREEITEM_HasChild(g_hSIMTree, hit.hItem)) {
            TREE_CHECKBOX_SetChilds(g_hSIMTree, hit.hItem);
        }
    }
    CTRL_MAIN_UpdateMenu();
}

void CTRL_MAIN_ContextMenu(HWND hDlg, HWND hOwner, LPARAM lPosition) {
    HMENU hMenu = LoadMenuW(g_hLangModule, MAKEINTRESOURCEW(IDM_ENTRY_CONTEXT));
    HMENU hPopup = GetSubMenu(hMenu, 0);
    DWORD dwPosition = GetMessagePos();
    TVHITTESTINFO hit =
        TREE_HitTest(g_hSIMTree, GET_X_LPARAM(dwPosition), GET_Y_LPARAM(dwPosition));
    if (!TREE_HitOnItem(hit)) {
        DestroyMenu(hMenu);
        return;
    }
    HTREEITEM hEntry = EntryOf(hit.hItem);
    TREEITEM_Select(g_hSIMTree, hEntry);
    UINT uCommand = static_cast<UINT>(TrackPopupMenuEx(
        hPopup, TPM_RETURNCMD, GET_X_LPARAM(lPosition), GET_Y_LPARAM(lPosition), hOwner, nullptr));
    DestroyMenu(hMenu);
    if (uCommand == ID_DIAL) {
        DialEntry(hEntry);
    } else if (uCommand == ID_EDIT) {
        APP_OpenDialog(IDD_EDIT, hDlg, 0);
    }
}

// The number goes to the phone exactly as the tree shows it; an entry without a number child
// dials the empty string.
void CTRL_MAIN_Dial() {
    HTREEITEM hSelected = TREE_GetSelectItem(g_hSIMTree);
    if (!hSelected) {
        return;
    }
    HTREEITEM hEntry = EntryOf(hSelected);
    TREEITEM_Select(g_hSIMTree, hEntry);
    DialEntry(hEntry);
}

void CTRL_MAIN_EditSelected(HWND hDlg) {
    HTREEITEM hSelected = TREE_GetSelectItem(g_hSIMTree);
    if (hSelected && TREEITEM_GetParent(g_hSIMTree, hSelected)) {
        TREEITEM_Select(g_hSIMTree, EntryOf(hSelected));
    }
    APP_OpenDialog(IDD_EDIT, hDlg, 0);
}

void CTRL_MAIN_Layout(HWND hDlg) {
    int iHeight = RC_GetDPI() == 192 ? 36 : 18;
    RECT rcClient;
    GetClientRect(hDlg, &rcClient);
    int iWidth = rcClient.right - rcClient.left;
    int iClientHeight = rcClient.bottom - rcClient.top;
    MoveWindow(GetDlgItem(hDlg, IDC_MEMORY_STATUS), 0, 0, iWidth, iHeight, FALSE);
    MoveWindow(GetDlgItem(hDlg, IDC_SIM_TREE), 0, iHeight, iWidth, iClientHeight - iHeight, FALSE);
}

void CTRL_DrawMemoryStatus(HWND hDlg, int iCount, int iTotal) {
    HWND hStatus = GetDlgItem(hDlg, IDC_MEMORY_STATUS);
    RECT rcClient;
    GetClientRect(hStatus, &rcClient);
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hStatus, &ps);

    HBRUSH hGrey = CreateSolidBrush(RGB(172, 172, 172));
    HGDIOBJ hOldBrush = SelectObject(hdc, hGrey);
    HGDIOBJ hOldPen = SelectObject(hdc, GetStockObject(NULL_PEN));
    // A null pen leaves the right and bottom edges out; one more pixel each way covers them.
    Rectangle(hdc, rcClient.left, rcClient.top, rcClient.right + 1, rcClient.bottom + 1);
    SelectObject(hdc, hOldPen);
    SelectObject(hdc, hOldBrush);
    DeleteObject(hGrey);

    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, RGB(0, 0, 0));
    WCHAR szStatus[kTextSize];
    StringCchPrintfW(szStatus, kTextSize, u" %s: %3d/%3d", RC_LoadString(IDS_SIM_MEMORY), iCount,
                     iTotal);
    DrawTextW(hdc, szStatus, -1, &rcClient, DT_VCENTER);
    EndPaint(hStatus, &ps);
}
