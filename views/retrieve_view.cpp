#include "views/retrieve_view.h"

#include "contacts/contacts_access.h"
#include "shell/app.h"
#include "shell/messages.h"
#include "shell/resources.h"
#include "shell/shell_ui.h"
#include "shell/trace.h"
#include "sim/save_entry.h"
#include "sim/sim_access.h"
#include "sim/usim.h"
#include "telvane_ids.h"
#include "views/main_view.h"
#include "views/tree.h"
#include "views/view_support.h"
#include "views/views.h"

#include <aygshell.h>

#include <iterator>
#include <string_view>

HWND g_hContactTree = nullptr;
std::atomic<int> g_iViewMode{VIEW_ALL};
int g_iViewCommand = ID_VIEW_ALL;

namespace {

const int kTextSize = 260;
const int kLabelSize = 10;
const int kLanguageSize = 8;
const WPARAM kScreenReset = 0x3002;
// Sent by a fill worker at its end: the status line and the menu count the whole tree, item by
// item, which costs one cross-thread send per item from the worker but nothing on the dialog
// thread that owns the tree.
const UINT WM_CONTACT_FILLED = WM_MAIN_EXIT + 1;

int g_bRetrieving = 0;
int g_bCapacityWarning = 0;
int g_bDeactivated = 0;
HBITMAP g_hBanner = nullptr;

// The contacts a retrieval takes numbers from, in tree order.
int g_aiContactIndex[TREE_CONTACT_MAX_INDEX];
// The one block every save of a retrieval goes through; only its name and number are ever set.
ENTRYFIELDS g_Fields;

// Fill workers: how many have been started and not yet left the view lock for good, and whether
// they are to give up. A worker counts from before its thread is made, so a stop never misses one
// still on its way to the lock. g_bFilling is set while a worker holds the lock and has not yet
// set the soft keys again, so that a tap in between leaves them disabled.
//
//   started (count + 1) -> waiting for the lock -> filling (g_bFilling) -> menu set -> lock left
//   -> count - 1
//
// A stop skips the filling and the menu; the count still falls only once the lock is left.
VIEW_FILL g_fill;
std::atomic<bool> g_bFilling{false};

// A contact's numbers, in the order a retrieval writes them.
struct NumberKind {
    int iField;
    UINT uLabel;
    int iViewMode; // the view that shows only this kind
    LPCWSTR (*pfnRead)(IContact* pContact);
};

const NumberKind kNumberKinds[] = {
    {FIELD_MOBILE, IDS_LABEL_MOBILE, VIEW_MOBILE, CONTACTITEM_GetMobileTel},
    {FIELD_HOME, IDS_LABEL_HOME, VIEW_HOME, CONTACTITEM_GetHomeTel},
    {FIELD_WORK, IDS_LABEL_WORK, VIEW_BUSINESS, CONTACTITEM_GetBussinessTel},
};

// A missing text reads as empty, and a longer one is cut to what the buffer holds.
void CopyText(LPWSTR pszBuffer, int cchBuffer, LPCWSTR pszText) {
    StringCchCopyW(pszBuffer, static_cast<size_t>(cchBuffer), pszText ? pszText : u"");
}

HMENU MenuPopup() {
    return HMENU(static_cast<DWORD>(SendMessageW(g_hWndMb, SHCMBM_GETSUBMENU, 0, 0)));
}

void EnableCommand(HMENU hMenu, UINT uCommand, bool bEnable) {
    EnableMenuItem(hMenu, uCommand, MF_BYCOMMAND | (bEnable ? MF_ENABLED : MF_GRAYED));
}

void SetSoftKeys(bool bRetrieve, bool bMenu) {
    SHEnableSoftkey(g_hWndMb, 0, TRUE, bRetrieve);
    SHEnableSoftkey(g_hWndMb, 1, TRUE, bMenu);
}

void PhonebookStatus(DWORD* pdwUsed, DWORD* pdwTotal) {
    *pdwUsed = 0;
    *pdwTotal = 0;
    SIM_GetPhoneBookStatus(pdwUsed, pdwTotal);
}

int CheckedNumbers() {
    return TREE_CHECKBOX_CountImgIndex(g_hContactTree, IMG_CHECKED, 1);
}

int DPIScale() {
    return RC_GetDPI() == 192 ? 2 : 1;
}

void StartFill(HWND hDlg) {
    CTRL_StartFill(&g_fill, CTRL_CONTACT_MAIN_FillThread, hDlg);
}

void LoadBanner(HWND hDlg) {
    g_hBanner =
        CTRL_SetPicture(hDlg, IDC_RETRIEVE_BANNER,
                        RC_GetDPI() == 192 ? IDB_RETRIEVE_BANNER_HIRES : IDB_RETRIEVE_BANNER);
}

// The banner is the view's, not the picture control's: it goes when the view does.
void FreeBanner(HWND hDlg) {
    SendDlgItemMessageW(hDlg, IDC_RETRIEVE_BANNER, STM_SETIMAGE, IMAGE_BITMAP, 0);
    CTRL_FreePicture(&g_hBanner);
}

void Initialise(HWND hDlg) {
    LoadBanner(hDlg);
    g_hWndMb = RC_CreateMenuBar(hDlg, IDM_RETRIEVE, 0);
    RC_InitDialog(hDlg, 1);
    g_iViewMode = VIEW_ALL;
    g_iViewCommand = ID_VIEW_ALL;
    CheckMenuItem(MenuPopup(), ID_VIEW_ALL, MF_BYCOMMAND | MF_CHECKED);
    g_hContactTree = TREE_Init(hDlg, IDC_CONTACT_TREE);
    TREE_CreateImageList(g_hContactTree);
    g_bDeactivated = 0;
    g_fill.bStop = false;
    StartFill(hDlg);
}

// Every way out of the view: no fill may go on reading contacts or driving the tree once the
// dialog has gone.
void Close(HWND hDlg) {
    g_bDeactivated = 0;
    g_bCapacityWarning = 0;
    g_bRetrieving = 0;
    CTRL_CONTACT_MAIN_StopFill();
    APP_CloseDialog(hDlg);
}

// The SIM is checked before anything else: a program about to end must not start a reload, whose
// worker would read contacts after the exit has released them.
INT_PTR OnActivate(HWND hDlg, WPARAM wParam) {
    if (LOWORD(wParam) != WA_ACTIVE) {
        g_bDeactivated = 1;
        return FALSE;
    }
    if (!APP_IsSIMUsable()) {
        CTRL_CONTACT_MAIN_StopFill();
        SendMessageW(g_hMainDlg, WM_MAIN_EXIT, 0, 0);
        return TRUE;
    }
    if (g_bDeactivated) {
        if (g_bCapacityWarning) {
            g_bCapacityWarning = 0;
        } else if (!g_bRetrieving) {
            // The boxes of a retrieval come and go while it runs; the view closes after it, so
            // their return reloads nothing.
            g_bDeactivated = 0;
            SendMessageW(hDlg, WM_MAIN_REFRESH, 0, 0);
        }
    }
    CTRL_CONTACT_MAIN_Layout(hDlg);
    return FALSE;
}

void OnRetrieveCommand(HWND hDlg) {
    if (CTRL_CONTACT_MAIN_IsOverCapacity()) {
        g_bCapacityWarning = 1;
        MSG_Warning(RC_LoadString(IDS_OVER_CAPACITY), hDlg);
        return;
    }
    g_bRetrieving = 1;
    CTRL_CONTACT_MAIN_Retrieve(hDlg);
    g_bRetrieving = 0;
    Close(hDlg);
}

void OnCheckAll(HWND hDlg, int iImage) {
    TREE_CHECKBOX_SetAll(g_hContactTree, iImage);
    CTRL_CONTACT_MAIN_UpdateMemory(hDlg);
    CTRL_CONTACT_MAIN_UpdateMenu();
}

BOOL OnCommand(HWND hDlg, WORD wCommand) {
    switch (wCommand) {
    case ID_RETRIEVE:
        OnRetrieveCommand(hDlg);
        return TRUE;
    case ID_VIEW_ALL:
    case ID_VIEW_BUSINESS:
    case ID_VIEW_HOME:
    case ID_VIEW_MOBILE:
        CTRL_CONTACT_MAIN_SetView(hDlg, wCommand);
        return TRUE;
    case ID_SELECT_ALL:
        OnCheckAll(hDlg, IMG_CHECKED);
        return TRUE;
    case ID_DESELECT_ALL:
        OnCheckAll(hDlg, IMG_UNCHECKED);
        return TRUE;
    case ID_CANCEL:
    case IDCANCEL:
        Close(hDlg);
        return TRUE;
    }
    return FALSE;
}

// While a retrieval runs, the status line shows the card as it fills.
void PaintMemoryStatus(HWND hDlg) {
    DWORD dwUsed = 0;
    DWORD dwTotal = 0;
    PhonebookStatus(&dwUsed, &dwTotal);
    int iCount = static_cast<int>(dwUsed) + (g_bRetrieving ? 0 : CheckedNumbers());
    CTRL_DrawMemoryStatus(hDlg, iCount, static_cast<int>(dwTotal));
}

INT_PTR OnColorStatic(HWND hDlg, HWND hControl) {
    switch (GetDlgCtrlID(hControl)) {
    case IDC_RETRIEVE_TITLE:
        CTRL_CONTACT_MAIN_PaintTitle(hDlg);
        break;
    case IDC_MEMORY_STATUS:
        PaintMemoryStatus(hDlg);
        break;
    }
    return FALSE;
}

bool IsChineseLanguage(std::u16string_view language) {
    return language == u"0404" || language == u"0804";
}

// The labels as the string table gives them, each cut to its buffer.
struct Labels {
    WCHAR szText[std::size(kNumberKinds)][kLabelSize];
};

void LoadLabels(Labels* pLabels) {
    for (size_t i = 0; i < std::size(kNumberKinds); ++i) {
        CopyText(pLabels->szText[i], kLabelSize, RC_LoadString(kNumberKinds[i].uLabel));
    }
}

bool IsShown(const NumberKind& kind, int iViewMode) {
    return iViewMode == VIEW_ALL || iViewMode == kind.iViewMode;
}

// One contact and the numbers the view shows of it; a contact left without any cannot be checked.
void InsertContact(IContact* pContact, int iIndex, LPCWSTR pszLanguage, const Labels& labels,
                   int iViewMode) {
    WCHAR szFirst[kTextSize];
    WCHAR szLast[kTextSize];
    CopyText(szFirst, kTextSize, CONTACTITEM_GetFirstName(pContact));
    CopyText(szLast, kTextSize, CONTACTITEM_GetLastName(pContact));
    WCHAR szName[kTextSize];
    CTRL_CONTACT_MAIN_DisplayName(pszLanguage, szFirst, szLast, szName, kTextSize);
    HTREEITEM hContact =
        TREE_InsertItem(g_hContactTree, nullptr, 1, IMG_UNCHECKED, szName, iIndex, 0);

    bool bAnyNumber = false;
    for (size_t i = 0; i < std::size(kNumberKinds); ++i) {
        const NumberKind& kind = kNumberKinds[i];
        WCHAR szNumber[kTextSize];
        CopyText(szNumber, kTextSize, kind.pfnRead(pContact));
        if (!szNumber[0] || !IsShown(kind, iViewMode)) {
            continue;
        }
        WCHAR szChild[kTextSize];
        StringCchPrintfW(szChild, kTextSize, u"%s %s", labels.szText[i], szNumber);
        TREE_InsertItem(g_hContactTree, hContact, 0, IMG_UNCHECKED, szChild, kind.iField, 0);
        bAnyNumber = true;
    }
    if (!bAnyNumber) {
        TREEITEM_SetChilds(g_hContactTree, hContact, 0);
        TREEITEM_SetImgIndex(g_hContactTree, hContact, IMG_NOCHECK);
    }
}

int ViewModeOf(int iCommand) {
    switch (iCommand) {
    case ID_VIEW_BUSINESS:
        return VIEW_BUSINESS;
    case ID_VIEW_HOME:
        return VIEW_HOME;
    case ID_VIEW_MOBILE:
        return VIEW_MOBILE;
    }
    return VIEW_ALL;
}

int SaveNumber(HWND hDlg) {
    if (USIM_IsSupported() == 1) {
        return USIM_SaveEntry(SIM_INDEX_FIRSTFREE, &g_Fields, 0, hDlg);
    }
    return SIM_SaveEntry(SIM_INDEX_FIRSTFREE, &g_Fields, 0, hDlg);
}

// Writes the contact's checked numbers, mobile first, then home, then business, all under the
// name as the saves leave it. False once a save has failed.
bool RetrieveContact(HWND hDlg, HTREEITEM hContact, bool* pbClipped) {
    CopyText(g_Fields.szName, ENTRYFIELD_SIZE,
             TREEITEM_CONTACT_GetFiled(g_hContactTree, hContact, -1));
    for (const NumberKind& kind : kNumberKinds) {
        HTREEITEM hNumber = TREEITEM_CONTACT_QueryItem(g_hContactTree, hContact, kind.iField);
        if (!hNumber || TREEITEM_GetImgIndex(g_hContactTree, hNumber) != IMG_CHECKED) {
            continue;
        }
        CopyText(g_Fields.szNumber, ENTRYFIELD_SIZE,
                 TREEITEM_CONTACT_GetFiled(g_hContactTree, hContact, kind.iField));
        int iResult = SaveNumber(hDlg);
        if (iResult == SAVE_RESULT_FAILED) {
            return false;
        }
        if (iResult == SAVE_RESULT_CLIPPED) {
            *pbClipped = true;
        }
    }
    return true;
}

} // namespace

INT_PTR CALLBACK CTRL_CONTACT_MAIN_DlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_INITDIALOG:
        Initialise(hDlg);
        return FALSE;
    case WM_MAIN_REFRESH:
        StartFill(hDlg);
        return FALSE;
    case WM_CONTACT_FILLED:
        CTRL_CONTACT_MAIN_UpdateMemory(hDlg);
        CTRL_CONTACT_MAIN_UpdateMenu();
        return FALSE;
    case WM_ACTIVATE:
        return OnActivate(hDlg, wParam);
    case WM_SIZE:
        CTRL_CONTACT_MAIN_Layout(hDlg);
        return TRUE;
    case WM_SETTINGCHANGE:
        if (wParam != kScreenReset) {
            return FALSE;
        }
        CTRL_CONTACT_MAIN_Layout(hDlg);
        return TRUE;
    case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR*>(lParam)->code != static_cast<UINT>(NM_CLICK)) {
            return FALSE;
        }
        CTRL_CONTACT_MAIN_OnTap(hDlg);
        return TRUE;
    case WM_HELP:
        RC_ShowHelp();
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return OnColorStatic(hDlg, HWND(static_cast<DWORD>(lParam)));
    case WM_COMMAND:
        return OnCommand(hDlg, LOWORD(wParam));
    case WM_DESTROY:
        FreeBanner(hDlg);
        return FALSE;
    }
    return FALSE;
}

void CTRL_CONTACT_MAIN_EnableMenu(int iEnable) {
    CTRL_EnableSoftKeys(g_hWndMb, iEnable, u"CTRL_CONTACT_MAIN_EnableMenu: Enable Menubar",
                        u"CTRL_CONTACT_MAIN_EnableMenu: g_hWndMb == NULL");
}

// Fills never overlap: each waits for the view lock. The wait cursor is up before the soft keys
// go, so whoever sees them disabled also sees the view busy.
DWORD WINAPI CTRL_CONTACT_MAIN_FillThread(LPVOID pParam) {
    HWND hDlg = HWND(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(pParam)));
    EnterCriticalSection(&g_csView);
    if (!g_fill.bStop) {
        g_bFilling = true;
        HCURSOR hWait = LoadCursorW(nullptr, IDC_WAIT);
        SetCursor(hWait);
        CTRL_CONTACT_MAIN_EnableMenu(0);
        ShowWindow(hDlg, SW_SHOW);
        UpdateWindow(hDlg);
        CTRL_CONTACT_MAIN_FillTree(hDlg);
    }
    if (!g_fill.bStop) {
        g_bFilling = false;
        SendMessageW(hDlg, WM_CONTACT_FILLED, 0, 0);
    }
    g_bFilling = false;
    SetCursor(nullptr);
    LeaveCriticalSection(&g_csView);
    CTRL_EndFill(&g_fill, hDlg);
    return 0;
}

// A stop ends the fill between two contacts; what is in the tree by then stays.
void CTRL_CONTACT_MAIN_FillTree(HWND) {
    WCHAR szLanguage[kLanguageSize];
    RC_GetLanguageCode(szLanguage, kLanguageSize);
    int iViewMode = g_iViewMode;
    TREE_DeleteAll(g_hContactTree);
    int iCount = CONTACT_GetCount();
    Labels labels;
    LoadLabels(&labels);
    for (int i = 1; i <= iCount && !g_fill.bStop; ++i) {
        IContact* pContact = nullptr;
        if (CONTACT_GetItem(i, &pContact) != CONTACT_OK) {
            continue;
        }
        InsertContact(pContact, i, szLanguage, labels, iViewMode);
        CONTACTITEM_Release(pContact);
    }
    TREE_SelectFirstItem(g_hContactTree);
}

void CTRL_CONTACT_MAIN_UpdateMemory(HWND hDlg) {
    DWORD dwUsed = 0;
    DWORD dwTotal = 0;
    PhonebookStatus(&dwUsed, &dwTotal);
    CTRL_DrawMemoryStatus(hDlg, static_cast<int>(dwUsed) + CheckedNumbers(),
                          static_cast<int>(dwTotal));
    InvalidateRect(GetDlgItem(hDlg, IDC_MEMORY_STATUS), nullptr, FALSE);
}

// The soft keys are left alone while a fill holds them disabled; the fill sets them at its end.
void CTRL_CONTACT_MAIN_UpdateMenu() {
    HMENU hMenu = MenuPopup();
    int iCheckedContacts = TREE_CHECKBOX_CountImgIndex(g_hContactTree, IMG_CHECKED, 0);
    int iCheckedNumbers = CheckedNumbers();
    int iWithoutNumbers = TREE_CHECKBOX_CountImgIndex(g_hContactTree, IMG_NOCHECK, 0);

    bool bAnyContact = CONTACT_GetCount() > 0;
    bool bAnyChecked = bAnyContact && iCheckedNumbers > 0;
    bool bAllChecked =
        bAnyChecked && iCheckedContacts + iWithoutNumbers == TREE_GetParentCount(g_hContactTree);
    for (UINT uView : {ID_VIEW_ALL, ID_VIEW_BUSINESS, ID_VIEW_HOME, ID_VIEW_MOBILE}) {
        EnableCommand(hMenu, uView, bAnyContact);
    }
    EnableCommand(hMenu, ID_DESELECT_ALL, bAnyChecked);
    EnableCommand(hMenu, ID_SELECT_ALL, bAnyContact && !bAllChecked);
    EnableCommand(hMenu, ID_CANCEL, true);
    if (!g_bFilling) {
        SetSoftKeys(bAnyChecked, true);
    }
}

// Each checked number takes a slot of its own. The retrieval can take its contacts from no more
// than the index array holds; more counts as more than the card holds.
int CTRL_CONTACT_MAIN_IsOverCapacity() {
    DWORD dwUsed = 0;
    DWORD dwTotal = 0;
    PhonebookStatus(&dwUsed, &dwTotal);
    int iContacts = TREE_CHECKBOX_CountImgIndex(g_hContactTree, IMG_CHECKED, 0) +
                    TREE_CHECKBOX_CountImgIndex(g_hContactTree, IMG_MIXED, 0);
    if (iContacts > TREE_CONTACT_MAX_INDEX) {
        return 1;
    }
    return static_cast<DWORD>(CheckedNumbers()) + dwUsed > dwTotal ? 1 : 0;
}

void CTRL_CONTACT_MAIN_SetView(HWND hDlg, int iCommand) {
    HMENU hMenu = MenuPopup();
    CheckMenuItem(hMenu, static_cast<UINT>(g_iViewCommand), MF_BYCOMMAND | MF_UNCHECKED);
    bool bChanged = iCommand != g_iViewCommand;
    g_iViewCommand = iCommand;
    CheckMenuItem(hMenu, static_cast<UINT>(iCommand), MF_BYCOMMAND | MF_CHECKED);
    g_iViewMode = ViewModeOf(iCommand);
    if (bChanged) {
        StartFill(hDlg);
    }
}

void CTRL_CONTACT_MAIN_OnTap(HWND hDlg) {
    DWORD dwPosition = GetMessagePos();
    TVHITTESTINFO hit =
        TREE_HitTest(g_hContactTree, GET_X_LPARAM(dwPosition), GET_Y_LPARAM(dwPosition));
    if (TREE_HitOnIcon(hit)) {
        TREE_CHECKBOX_Toggle(g_hContactTree, hit.hItem);
        if (TREEITEM_HasChild(g_hContactTree, hit.hItem)) {
            TREEITEM_Expand(g_hContactTree, hit.hItem);
            TREE_CHECKBOX_SetChilds(g_hContactTree, hit.hItem);
        } else {
            TREE_CHECKBOX_UpdateParent(g_hContactTree, hit.hItem);
        }
        TREEITEM_Select(g_hContactTree, hit.hItem);
        CTRL_CONTACT_MAIN_UpdateMemory(hDlg);
    }
    CTRL_CONTACT_MAIN_UpdateMenu();
}

// A failed save has shown its own message; the entries written before it stay, and the main view
// is refilled either way.
void CTRL_CONTACT_MAIN_Retrieve(HWND hDlg) {
    HCURSOR hWait = LoadCursorW(nullptr, IDC_WAIT);
    SetCursor(hWait);
    ShowWindow(hDlg, SW_SHOW);
    UpdateWindow(hDlg);
    g_bSIMTreeReady = 0;
    int iContacts =
        TREE_CONTACT_GetCheckedMemIndex(g_hContactTree, g_aiContactIndex, TREE_CONTACT_MAX_INDEX);
    bool bClipped = false;
    for (int k = 0; k < iContacts; ++k) {
        HTREEITEM hContact = TREE_FindItemByMemIndex(g_hContactTree, g_aiContactIndex[k]);
        if (hContact && !RetrieveContact(hDlg, hContact, &bClipped)) {
            SetCursor(nullptr);
            SendMessageW(g_hMainDlg, WM_MAIN_REFRESH, 0, 0);
            return;
        }
    }
    InvalidateRect(GetDlgItem(hDlg, IDC_MEMORY_STATUS), nullptr, FALSE);
    MSG_Information(RC_LoadString(bClipped ? IDS_RETRIEVE_CLIPPED : IDS_RETRIEVED), hDlg);
    SetCursor(nullptr);
    SendMessageW(g_hMainDlg, WM_MAIN_REFRESH, 0, 0);
}

// The banner's lower edge meets the title's, at the right end of the strip.
void CTRL_CONTACT_MAIN_Layout(HWND hDlg) {
    int iTitle = 22 * DPIScale();
    int iStatus = 21 * DPIScale();
    RECT rcClient;
    GetClientRect(hDlg, &rcClient);
    int iWidth = rcClient.right - rcClient.left;
    int iHeight = rcClient.bottom - rcClient.top;
    HWND hBanner = GetDlgItem(hDlg, IDC_RETRIEVE_BANNER);
    RECT rcBanner;
    GetWindowRect(hBanner, &rcBanner);
    int iBannerWidth = rcBanner.right - rcBanner.left;
    int iBannerHeight = rcBanner.bottom - rcBanner.top;
    MoveWindow(GetDlgItem(hDlg, IDC_RETRIEVE_TITLE), 0, 0, iWidth - iBannerWidth, iTitle, FALSE);
    MoveWindow(GetDlgItem(hDlg, IDC_MEMORY_STATUS), 0, iTitle, iWidth, iStatus, FALSE);
    MoveWindow(hBanner, iWidth - iBannerWidth, iTitle - iBannerHeight, iBannerWidth, iBannerHeight,
               FALSE);
    MoveWindow(GetDlgItem(hDlg, IDC_CONTACT_TREE), 0, iTitle + iStatus, iWidth,
               iHeight - iTitle - iStatus, FALSE);
}

void CTRL_CONTACT_MAIN_PaintTitle(HWND hDlg) {
    HWND hTitle = GetDlgItem(hDlg, IDC_RETRIEVE_TITLE);
    RECT rcClient;
    GetClientRect(hTitle, &rcClient);
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hTitle, &ps);
    HGDIOBJ hOldPen = SelectObject(hdc, GetStockObject(NULL_PEN));
    // A null pen leaves the right and bottom edges out; one more pixel each way covers them.
    Rectangle(hdc, rcClient.left, rcClient.top, rcClient.right + 1, rcClient.bottom + 1);
    SelectObject(hdc, hOldPen);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, RGB(0, 0, 0));
    WCHAR szTitle[kTextSize];
    StringCchPrintfW(szTitle, kTextSize, u" %s", RC_LoadString(IDS_RETRIEVE_TITLE));
    DrawTextW(hdc, szTitle, -1, &rcClient, DT_VCENTER);
    EndPaint(hTitle, &ps);
}

void CTRL_CONTACT_MAIN_StopFill() {
    CTRL_StopFill(&g_fill);
}

void CTRL_CONTACT_MAIN_DisplayName(LPCWSTR pszLanguage, LPCWSTR pszFirst, LPCWSTR pszLast,
                                   LPWSTR pszName, int cchName) {
    size_t cch = static_cast<size_t>(cchName);
    if (IsChineseLanguage(pszLanguage) || !pszFirst[0] || !pszLast[0]) {
        StringCchPrintfW(pszName, cch, u"%s%s", pszLast, pszFirst);
    } else {
        StringCchPrintfW(pszName, cch, u"%s,%s", pszLast, pszFirst);
    }
}
