#include "menuext/copy_dialog.h"

#include "menuext/data_access.h"
#include "menuext/quorrel.h"
#include "quorrel_ids.h"

#include <aygshell.h>
#include <oleauto.h>

#include <algorithm>
#include <iterator>
#include <string_view>

namespace {

const int kTextSize = 260;
const int kNameLength = 255;
const int kStringSize = 100;
// The tree lies below the two strips, at least this far down.
const int kTreeTop = 30;
const int kNotifyClick = -2;

// One dialog at a time: the dialog is modal on the Contacts window.
int g_iViewFilter = IDM_VIEW_ALL;
BOOL g_bSelectAll = FALSE;
HWND g_hTreeView = nullptr;
HIMAGELIST g_hImageList = nullptr;
HWND g_hMenuBar = nullptr;
HMENU g_hViewMenu = nullptr;
HWND g_hCopyDialog = nullptr;

void LoadText(UINT uID, LPWSTR pszText, int cchText) {
    if (LoadStringW(g_hInstRes, uID, pszText, cchText) == 0) {
        pszText[0] = 0;
    }
}

// A box of this dialog, brought to the foreground.
void ShowBox(HWND hDlg, LPCWSTR pszText, UINT uCaption, UINT uIcon) {
    WCHAR szCaption[kStringSize];
    LoadText(uCaption, szCaption, kStringSize);
    MessageBoxW(hDlg, pszText, szCaption, MB_OK | uIcon | MB_SETFOREGROUND);
}

void ShowStringBox(HWND hDlg, UINT uText, UINT uCaption) {
    WCHAR szText[kStringSize];
    LoadText(uText, szText, kStringSize);
    ShowBox(hDlg, szText, uCaption, MB_ICONEXCLAMATION);
}

HTREEITEM NextItem(HTREEITEM hItem, UINT uRelation) {
    return HTREEITEM(static_cast<DWORD>(
        SendMessageW(g_hTreeView, TVM_GETNEXTITEM, uRelation, static_cast<LPARAM>(hItem.value()))));
}

HTREEITEM FirstContact() {
    return NextItem(HTREEITEM(), TVGN_ROOT);
}

HTREEITEM FirstChild(HTREEITEM hItem) {
    return NextItem(hItem, TVGN_CHILD);
}

HTREEITEM NextSibling(HTREEITEM hItem) {
    return NextItem(hItem, TVGN_NEXT);
}

HTREEITEM ParentOf(HTREEITEM hItem) {
    return NextItem(hItem, TVGN_PARENT);
}

// The item's image, or -1 when the item cannot be read.
int ImageOf(HTREEITEM hItem) {
    TVITEMW item = {};
    item.mask = TVIF_HANDLE | TVIF_IMAGE;
    item.hItem = hItem;
    if (!SendMessageW(g_hTreeView, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) {
        return -1;
    }
    return item.iImage;
}

void SetImage(HTREEITEM hItem, int iImage) {
    TVITEMW item = {};
    item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = hItem;
    item.iImage = iImage;
    item.iSelectedImage = iImage;
    SendMessageW(g_hTreeView, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

// The item's text and image, FALSE when it cannot be read.
BOOL ReadItem(HTREEITEM hItem, LPWSTR pszText, int* piImage) {
    TVITEMW item = {};
    item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE;
    item.hItem = hItem;
    item.pszText = pszText;
    item.cchTextMax = kTextSize;
    pszText[0] = 0;
    if (!SendMessageW(g_hTreeView, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) {
        return FALSE;
    }
    pszText[kTextSize - 1] = 0;
    *piImage = item.iImage;
    return TRUE;
}

HTREEITEM InsertItem(HTREEITEM hParent, LPCWSTR pszText, int iImage, BOOL bChildren) {
    TVINSERTSTRUCTW insert = {};
    insert.hParent = hParent;
    insert.hInsertAfter = TVI_SORT;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    insert.item.pszText = const_cast<LPWSTR>(pszText);
    insert.item.iImage = iImage;
    insert.item.iSelectedImage = iImage;
    insert.item.cChildren = bChildren ? 1 : 0;
    return HTREEITEM(static_cast<DWORD>(
        SendMessageW(g_hTreeView, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert))));
}

void SetHasChildren(HTREEITEM hItem, BOOL bChildren) {
    TVITEMW item = {};
    item.mask = TVIF_HANDLE | TVIF_CHILDREN;
    item.hItem = hItem;
    item.cChildren = bChildren ? 1 : 0;
    SendMessageW(g_hTreeView, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void SelectItem(HTREEITEM hItem) {
    SendMessageW(g_hTreeView, TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(hItem.value()));
}

bool AnyChildWithImage(HTREEITEM hContact, int iImage) {
    for (HTREEITEM hChild = FirstChild(hContact); hChild; hChild = NextSibling(hChild)) {
        if (ImageOf(hChild) == iImage) {
            return true;
        }
    }
    return false;
}

bool AnyUncheckedNumber() {
    for (HTREEITEM hContact = FirstContact(); hContact; hContact = NextSibling(hContact)) {
        if (AnyChildWithImage(hContact, CHK_OFF)) {
            return true;
        }
    }
    return false;
}

// "Last,First"; the Chinese interfaces write the two without a comma, and a contact with one of
// them only shows that one. Cut to what a SIM name field holds.
void DisplayName(BSTR bstrFirst, BSTR bstrLast, bool bChinese, LPWSTR pszName) {
    bool bBoth = bstrFirst[0] && bstrLast[0];
    StringCchPrintfW(pszName, kTextSize, !bChinese && bBoth ? u"%s,%s" : u"%s%s", bstrLast,
                     bstrFirst);
    pszName[kNameLength] = 0;
}

bool IsChineseInterface() {
    WCHAR szLanguage[16];
    StringCchPrintfW(szLanguage, 16, u"0%x", static_cast<unsigned>(GetUserDefaultUILanguage()));
    return lstrcmpW(szLanguage, u"0404") == 0 || lstrcmpW(szLanguage, u"0804") == 0;
}

struct NumberKind {
    UINT uView;
    UINT uLabel;
};

// The order in which a contact's numbers are tried.
const NumberKind kNumberKinds[] = {
    {IDM_VIEW_BUSINESS, IDS_LABEL_WORK},
    {IDM_VIEW_HOME, IDS_LABEL_HOME},
    {IDM_VIEW_MOBILE, IDS_LABEL_MOBILE},
};

bool IsShown(UINT uView) {
    return g_iViewFilter == IDM_VIEW_ALL || g_iViewFilter == static_cast<int>(uView);
}

// Inserts one contact and the numbers the view shows; TRUE when it got a number.
BOOL InsertContact(LPCWSTR pszName, BSTR const* pNumbers, WCHAR (*pszLabels)[kStringSize]) {
    HTREEITEM hContact = InsertItem(TVI_ROOT, pszName, CHK_OFF, TRUE);
    BOOL bAny = FALSE;
    for (size_t i = 0; i < std::size(kNumberKinds); ++i) {
        if (!IsShown(kNumberKinds[i].uView) || !pNumbers[i][0]) {
            continue;
        }
        WCHAR szChild[kTextSize];
        StringCchPrintfW(szChild, kTextSize, u"%s %s", pszLabels[i], pNumbers[i]);
        InsertItem(hContact, szChild, CHK_OFF, FALSE);
        bAny = TRUE;
    }
    if (!bAny) {
        SetImage(hContact, CHK_NONE);
        SetHasChildren(hContact, FALSE);
    }
    SendMessageW(g_hTreeView, TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(hContact.value()));
    return bAny;
}

// Reads the contact at the index into the tree; FALSE when it got no number or could not be read.
BOOL FillContact(int iIndex, bool bChinese, WCHAR (*pszLabels)[kStringSize]) {
    IContact* pContact = nullptr;
    if (!GetContacts(iIndex, &pContact)) {
        return FALSE;
    }
    BSTR bstrFirst = nullptr;
    BSTR bstrMiddle = nullptr;
    BSTR bstrLast = nullptr;
    BSTR numbers[3] = {};
    GetDataFromContacts(pContact, &bstrFirst, &bstrMiddle, &bstrLast, &numbers[0], &numbers[1],
                        &numbers[2]);
    WCHAR szName[kTextSize];
    DisplayName(bstrFirst, bstrLast, bChinese, szName);
    BOOL bAny = InsertContact(szName, numbers, pszLabels);
    for (BSTR bstrText : {bstrFirst, bstrMiddle, bstrLast, numbers[0], numbers[1], numbers[2]}) {
        SysFreeString(bstrText);
    }
    return bAny;
}

// The number of a child's text: what follows its label and blank.
LPCWSTR NumberOf(LPCWSTR pszChild) {
    std::u16string_view child(pszChild);
    size_t mark = child.find(u"] ");
    if (mark != std::u16string_view::npos) {
        return pszChild + mark + 2;
    }
    size_t blank = child.find(u' ');
    return blank != std::u16string_view::npos ? pszChild + blank + 1 : pszChild;
}

void ReportSaveError(HWND hDlg, LPCWSTR pszName) {
    WCHAR szSaveError[kStringSize];
    WCHAR szFailed[kStringSize];
    LoadText(IDS_SAVE_ERROR, szSaveError, kStringSize);
    LoadText(IDS_SAVE_FAILED, szFailed, kStringSize);
    WCHAR szText[kTextSize + 2 * kStringSize];
    StringCchPrintfW(szText, std::size(szText), u"%s %s\n%s", pszName, szSaveError, szFailed);
    ShowBox(hDlg, szText, IDS_ERROR, MB_ICONHAND);
}

void RepaintStatus(HWND hDlg) {
    InvalidateRect(GetDlgItem(hDlg, IDC_SIM_STATUS), nullptr, TRUE);
    UpdateWindow(GetDlgItem(hDlg, IDC_SIM_STATUS));
}

// Copies the checked numbers of one contact; FALSE when a write failed (after its message) or the
// tree could not be read. Sets *pbChecked when a number was checked.
BOOL CopyContact(HWND hDlg, HTREEITEM hContact, LPCWSTR pszName, bool* pbChecked) {
    bool bAllDone = true;
    for (HTREEITEM hChild = FirstChild(hContact); hChild; hChild = NextSibling(hChild)) {
        WCHAR szChild[kTextSize];
        int iImage = -1;
        if (!ReadItem(hChild, szChild, &iImage)) {
            NKDbgPrintfW(u"%s: Warning : No item under this Parent can be got !\n", QUORREL_NAME);
            return FALSE;
        }
        if (iImage == CHK_OFF) {
            bAllDone = false;
        }
        if (iImage != CHK_ON) {
            continue;
        }
        *pbChecked = true;
        if (!AddDataToSIM(pszName, NumberOf(szChild))) {
            ReportSaveError(hDlg, pszName);
            return FALSE;
        }
        SetImage(hChild, CHK_DONE);
        NKDbgPrintfW(u"%s:  Child item: =>%s<= !\n", QUORREL_NAME, szChild);
    }
    if (bAllDone) {
        SetImage(hContact, CHK_DONE);
    }
    return TRUE;
}

void OnCopy(HWND hDlg) {
    if (CheckRemainSize(hDlg) != 1) {
        NKDbgPrintfW(u"%s: Warning : the size of SIM card is not enough.. \n", QUORREL_NAME);
        return;
    }
    switch (CopyCheckedToSIM(hDlg)) {
    case 0:
        NKDbgPrintfW(u"%s: Warning : Fail to copy Contacts to SIM Card \n", QUORREL_NAME);
        break;
    case 1:
        ShowStringBox(hDlg, IDS_COPIED, IDS_WARNING);
        break;
    case 2:
        ShowStringBox(hDlg, IDS_NOTHING_COPIED, IDS_WARNING);
        break;
    }
}

void OnView(HWND hDlg, UINT uView) {
    CheckMenuItem(g_hViewMenu, static_cast<UINT>(g_iViewFilter), MF_BYCOMMAND | MF_UNCHECKED);
    g_iViewFilter = static_cast<int>(uView);
    EnableMenuItem(g_hViewMenu, IDM_SELECT_ALL, MF_BYCOMMAND | MF_ENABLED);
    CheckMenuItem(g_hViewMenu, uView, MF_BYCOMMAND | MF_CHECKED);
    g_bSelectAll = FALSE;
    SetMenuItemText(IDM_SELECT_ALL, IDS_SELECT_ALL);
    FillTreeView(hDlg);
}

void OnSelectAll() {
    if (g_bSelectAll) {
        g_bSelectAll = FALSE;
        SetAllCheckState(CHK_OFF);
        SetMenuItemText(IDM_SELECT_ALL, IDS_SELECT_ALL);
    } else {
        g_bSelectAll = TRUE;
        SetAllCheckState(CHK_ON);
        SetMenuItemText(IDM_SELECT_ALL, IDS_SELECT_NONE);
    }
}

void OnCommand(HWND hDlg, WORD wCommand) {
    NKDbgPrintfW(u"%s: WM_COMMAND \n", QUORREL_NAME);
    switch (wCommand) {
    case IDOK:
        NKDbgPrintfW(u"%s: WM_COMMAND  IDOK  \n", QUORREL_NAME);
        EndDialog(hDlg, 0);
        break;
    case IDM_GO_BACK:
        EndDialog(hDlg, 0);
        break;
    case IDM_DO_COPY:
        OnCopy(hDlg);
        break;
    case IDM_VIEW_ALL:
    case IDM_VIEW_BUSINESS:
    case IDM_VIEW_HOME:
    case IDM_VIEW_MOBILE:
        OnView(hDlg, wCommand);
        break;
    case IDM_SELECT_ALL:
        OnSelectAll();
        break;
    }
}

void CreateMenuBar(HWND hDlg) {
    SHMENUBARINFO info = {};
    info.cbSize = sizeof(info);
    info.hwndParent = hDlg;
    info.dwFlags = SHCMBF_HMENU | SHCMBF_HIDESIPBUTTON;
    info.nToolBarId = IDM_COPY_MENUBAR;
    info.hInstRes = g_hInstRes;
    if (!SHCreateMenuBar(&info) || !info.hwndMB) {
        NKDbgPrintfW(u"%s: Error: Fail to create menu bar !\n", QUORREL_NAME);
        g_hMenuBar = nullptr;
        g_hViewMenu = nullptr;
        return;
    }
    NKDbgPrintfW(u"%s: Success to create menu bar \n", QUORREL_NAME);
    g_hMenuBar = info.hwndMB;
    g_hViewMenu = HMENU(static_cast<DWORD>(SendMessageW(g_hMenuBar, SHCMBM_GETSUBMENU, 0, 0)));
}

void OnInitDialog(HWND hDlg) {
    g_hCopyDialog = hDlg;
    g_bSelectAll = FALSE;
    g_hTreeView = nullptr;
    g_hImageList = nullptr;
    InitCommonControls();
    DebugTrace(u"+WM_INITDIALOG", nullptr);
    SHINITDLGINFO init = {};
    init.dwMask = SHIDIM_FLAGS;
    init.hDlg = hDlg;
    init.dwFlags = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN;
    SHInitDialog(&init);
    CreateMenuBar(hDlg);
    if (!InitialSIMPOOM(hDlg)) {
        NKDbgPrintfW(u"%s: Error: Failed to initial SIM card and POOM !\n", QUORREL_NAME);
        g_hTreeView = GetDlgItem(hDlg, IDC_CONTACTS);
        return;
    }
    g_iViewFilter = IDM_VIEW_ALL;
    InitialLayout(hDlg);
    DebugTrace(u"-WM_INITDIALOG", nullptr);
}

void OnTap(HWND hDlg) {
    DWORD dwPosition = GetMessagePos();
    POINT point = {static_cast<LONG>(LOWORD(dwPosition)), static_cast<LONG>(HIWORD(dwPosition))};
    ScreenToClient(g_hTreeView, &point);
    ClickOnStateIcon(hDlg, point.x, point.y);
}

void OnRotation(HWND hDlg) {
    bool bPortrait = GetSystemMetrics(SM_CYSCREEN) > GetSystemMetrics(SM_CXSCREEN);
    ApplyOrientationLayout(g_hInstRes, hDlg, bPortrait ? IDD_COPY_PORTRAIT : IDD_COPY_LANDSCAPE);
    ResizeTreeView(hDlg);
}

void OnDestroy() {
    NKDbgPrintfW(u"%s: WM_DESTROY \n", QUORREL_NAME);
    if (g_hMenuBar) {
        DestroyWindow(g_hMenuBar);
        g_hMenuBar = nullptr;
        g_hViewMenu = nullptr;
    }
    GiveBackResource();
    g_hTreeView = nullptr;
    g_hCopyDialog = nullptr;
}

// The strips keep their template height but span the screen, since a template's width in dialog
// units can be wider than the screen in pixels; their text is centred on what is seen.
void FitStrip(HWND hDlg, int iControl, int iWidth) {
    HWND hStrip = GetDlgItem(hDlg, iControl);
    RECT rc;
    GetWindowRect(hStrip, &rc);
    MapWindowPoints(HWND(), hDlg, reinterpret_cast<POINT*>(&rc), 2);
    MoveWindow(hStrip, rc.left, rc.top, iWidth - rc.left, rc.bottom - rc.top, FALSE);
}

} // namespace

INT_PTR CALLBACK MenuExtDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_INITDIALOG:
        OnInitDialog(hDlg);
        break;
    case WM_COMMAND:
        OnCommand(hDlg, LOWORD(wParam));
        break;
    case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(kNotifyClick) &&
            g_hTreeView) {
            OnTap(hDlg);
        }
        break;
    case WM_SETTINGCHANGE:
        OnRotation(hDlg);
        break;
    case WM_CTLCOLORSTATIC:
        NKDbgPrintfW(u"%s: WM_CTLCOLORSTATIC \n", QUORREL_NAME);
        if (GetDlgCtrlID(HWND(static_cast<DWORD>(lParam))) == IDC_SIM_STATUS) {
            FillStaticContext(hDlg);
        }
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    }
    return 0;
}

BOOL RunCopyDialog(HWND hOwner, int iTemplate) {
    HRSRC hResource = FindResourceW(g_hInstRes, MAKEINTRESOURCEW(iTemplate), RT_DIALOG);
    HGLOBAL hTemplate = hResource ? LoadResource(g_hInstRes, hResource) : nullptr;
    const void* pTemplate = hTemplate ? LockResource(hTemplate) : nullptr;
    if (!pTemplate) {
        return FALSE;
    }
    return DialogBoxIndirectParamW(g_hInstRes, static_cast<LPCDLGTEMPLATEW>(pTemplate), hOwner,
                                   MenuExtDlgProc, 0) != -1;
}

HWND CopyDialogWindow() {
    return g_hCopyDialog;
}

BOOL InitialSIMPOOM(HWND hDlg) {
    DebugTrace(u"+InitialSIMPOOM", nullptr);
    if (!SimInitial(nullptr, 0)) {
        NKDbgPrintfW(u"%s: Error: Failed to run SimInitial function !\n", QUORREL_NAME);
    }
    GetSIMStatus();
    if (!InitPoom(hDlg)) {
        NKDbgPrintfW(u"%s: Error: Failed to run InitPoom function !\n", QUORREL_NAME);
        return FALSE;
    }
    DebugTrace(u"-InitialSIMPOOM", nullptr);
    return TRUE;
}

void InitialLayout(HWND hDlg) {
    DebugTrace(u"+InitialLayout!", nullptr);
    DebugTrace(u"Get Tree View Widnow", nullptr);
    g_hTreeView = GetDlgItem(hDlg, IDC_CONTACTS);
    InitialImageList();
    FillStaticContext(hDlg);
    ResizeTreeView(hDlg);
    FillTreeView(hDlg);
    DebugTrace(u"-InitialLayout!", nullptr);
}

void InitialImageList() {
    DebugTrace(u"+InitialImageList", nullptr);
    DebugTrace(u"InitialImageList->Create Image List", nullptr);
    g_hImageList = ImageList_Create(15, 15, ILC_COLOR32, 8, 10);
    DebugTrace(u"InitialImageList->Load Bitmap", nullptr);
    HBITMAP hBitmap = LoadBitmapW(g_hInstRes, MAKEINTRESOURCEW(IDB_CHECKS));
    DebugTrace(u"InitialImageList->Add BitMap to Image List", nullptr);
    ImageList_Add(g_hImageList, hBitmap, nullptr);
    DeleteObject(hBitmap);
    DebugTrace(u"InitialImageList->TreeView_SetImageList", nullptr);
    SendMessageW(g_hTreeView, TVM_SETIMAGELIST, TVSIL_NORMAL,
                 static_cast<LPARAM>(static_cast<DWORD>(g_hImageList)));
    DebugTrace(u"-InitialImageList", nullptr);
}

// Paints the status strip itself, through a device context of its own, while the strip asks for
// its colours.
void FillStaticContext(HWND hDlg) {
    DebugTrace(u"+FillStaticContext", nullptr);
    DebugTrace(u"+FillStaticContext->GetSIMStatus", nullptr);
    GetSIMStatus();
    DebugTrace(u"-FillStaticContext->GetSIMStatus", nullptr);
    HWND hStatus = GetDlgItem(hDlg, IDC_SIM_STATUS);
    RECT rcStrip;
    GetClientRect(hStatus, &rcStrip);
    HDC hdc = GetDC(hStatus);
    FillRect(hdc, &rcStrip, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetTextColor(hdc, RGB(255, 255, 255));
    SetBkMode(hdc, TRANSPARENT);
    WCHAR szLabel[kStringSize];
    LoadText(IDS_SIM_STATUS, szLabel, kStringSize);
    WCHAR szStatus[kTextSize];
    StringCchPrintfW(szStatus, kTextSize, u"%s: %3d/%3d", szLabel, static_cast<int>(g_dwUsed),
                     static_cast<int>(g_dwTotal));
    DrawTextW(hdc, szStatus, -1, &rcStrip, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ReleaseDC(hStatus, hdc);
    DebugTrace(u"-FillStaticContext", nullptr);
}

// Below the strips, and never over them when their text needs more than 30 pixels.
void ResizeTreeView(HWND hDlg) {
    RECT rcClient;
    GetClientRect(hDlg, &rcClient);
    FitStrip(hDlg, IDC_TITLE, rcClient.right);
    FitStrip(hDlg, IDC_SIM_STATUS, rcClient.right);
    RECT rcStatus;
    GetWindowRect(GetDlgItem(hDlg, IDC_SIM_STATUS), &rcStatus);
    MapWindowPoints(HWND(), hDlg, reinterpret_cast<POINT*>(&rcStatus), 2);
    int iTop = std::max<int>(kTreeTop, rcStatus.bottom);
    MoveWindow(g_hTreeView, 0, iTop, rcClient.right, rcClient.bottom - iTop, FALSE);
}

void FillTreeView(HWND) {
    DebugTrace(u"+FillTreeView", nullptr);
    bool bChinese = IsChineseInterface();
    WCHAR szLabels[3][kStringSize];
    for (size_t i = 0; i < std::size(kNumberKinds); ++i) {
        LoadText(kNumberKinds[i].uLabel, szLabels[i], kStringSize);
    }
    SendMessageW(g_hTreeView, TVM_DELETEITEM, 0, static_cast<LPARAM>(TVI_ROOT.value()));
    int iCount = IsPoomHeld() ? GetTotalNumberOfContacts() : 0;
    NKDbgPrintfW(u"%s: the count of Contact is %2d !\n", QUORREL_NAME, iCount);
    BOOL bAnyNumber = FALSE;
    for (int i = 1; i <= iCount; ++i) {
        bAnyNumber |= FillContact(i, bChinese, szLabels);
    }
    if (!bAnyNumber) {
        EnableMenuItem(g_hViewMenu, IDM_SELECT_ALL, MF_BYCOMMAND | MF_GRAYED);
    }
    SelectItem(FirstContact());
    DebugTrace(u"-FillTreeView", nullptr);
}

void GiveBackResource() {
    DebugTrace(u"+GiveBackResource", nullptr);
    DebugTrace(u"GiveBackResource->ImageList_Destroy", nullptr);
    if (g_hImageList) {
        ImageList_Destroy(g_hImageList);
        g_hImageList = nullptr;
    }
    DebugTrace(u"GiveBackResource->ReleaseSIM()", nullptr);
    ReleaseSIM();
    DebugTrace(u"GiveBackResource->ReleasePOOM()", nullptr);
    ReleasePOOM();
    DebugTrace(u"GiveBackResource->ReleaseMUI()", nullptr);
    ReleaseMUI();
    DebugTrace(u"-GiveBackResource", nullptr);
}

// A card that reports more used slots than it has has no room at all.
int CheckRemainSize(HWND hDlg) {
    DWORD dwRemaining = g_dwTotal > g_dwUsed ? g_dwTotal - g_dwUsed : 0;
    NKDbgPrintfW(u"%s: The remain Size in SIM Card is : %3d  !\n", QUORREL_NAME,
                 static_cast<int>(dwRemaining));
    DWORD dwCount = static_cast<DWORD>(GetCheckedContacts());
    if (dwRemaining >= dwCount) {
        return 1;
    }
    WCHAR szNeeded[kStringSize];
    WCHAR szItem[kStringSize];
    WCHAR szRemaining[kStringSize];
    LoadText(IDS_SPACE_NEEDED, szNeeded, kStringSize);
    LoadText(IDS_ITEM, szItem, kStringSize);
    LoadText(IDS_REMAINING_SPACE, szRemaining, kStringSize);
    WCHAR szText[kTextSize + 2 * kStringSize];
    StringCchPrintfW(szText, std::size(szText), u"%s: %3d %s\n%s: %3d %s", szNeeded,
                     static_cast<int>(dwCount), szItem, szRemaining, static_cast<int>(dwRemaining),
                     szItem);
    ShowBox(hDlg, szText, IDS_WARNING, MB_ICONEXCLAMATION);
    return 0;
}

int CopyCheckedToSIM(HWND hDlg) {
    HTREEITEM hContact = FirstContact();
    if (!hContact) {
        return 0;
    }
    bool bChecked = false;
    for (; hContact; hContact = NextSibling(hContact)) {
        WCHAR szName[kTextSize];
        int iImage = -1;
        if (!ReadItem(hContact, szName, &iImage)) {
            NKDbgPrintfW(u"%s: Warning : No Parent item can be got !\n", QUORREL_NAME);
            RepaintStatus(hDlg);
            return 0;
        }
        NKDbgPrintfW(u"%s: Parent item: %s\n", QUORREL_NAME, szName);
        if (FirstChild(hContact) && !CopyContact(hDlg, hContact, szName, &bChecked)) {
            RepaintStatus(hDlg);
            return 0;
        }
    }
    RepaintStatus(hDlg);
    return bChecked ? 1 : 2;
}

int GetCheckedContacts() {
    int iChecked = 0;
    for (HTREEITEM hContact = FirstContact(); hContact; hContact = NextSibling(hContact)) {
        for (HTREEITEM hChild = FirstChild(hContact); hChild; hChild = NextSibling(hChild)) {
            int iImage = ImageOf(hChild);
            if (iImage == -1) {
                NKDbgPrintfW(u"%s: Warning : No item under this Parent can be got !\n",
                             QUORREL_NAME);
                break;
            }
            iChecked += iImage == CHK_ON ? 1 : 0;
        }
    }
    NKDbgPrintfW(u"%s: iCheckedContacts =[%3d] !\n", QUORREL_NAME, iChecked);
    return iChecked;
}

void SetAllCheckState(int iState) {
    for (HTREEITEM hContact = FirstContact(); hContact; hContact = NextSibling(hContact)) {
        HTREEITEM hChild = FirstChild(hContact);
        if (!hChild) {
            continue;
        }
        bool bChanged = false;
        for (; hChild; hChild = NextSibling(hChild)) {
            int iImage = ImageOf(hChild);
            if (iImage == CHK_OFF || iImage == CHK_ON) {
                SetImage(hChild, iState);
                bChanged = true;
            }
        }
        SetImage(hContact, bChanged ? iState : CHK_DONE);
    }
}

void UpdateRelatedCheckState(HTREEITEM hItem, int iState) {
    if (HTREEITEM hParent = ParentOf(hItem)) {
        bool bUnchecked = iState == CHK_OFF || AnyChildWithImage(hParent, CHK_OFF);
        SetImage(hParent, bUnchecked ? CHK_OFF : CHK_ON);
        return;
    }
    for (HTREEITEM hChild = FirstChild(hItem); hChild; hChild = NextSibling(hChild)) {
        int iImage = ImageOf(hChild);
        if (iImage == CHK_OFF || iImage == CHK_ON) {
            SetImage(hChild, iState);
        }
    }
}

void ClickOnStateIcon(HWND, int x, int y) {
    TVHITTESTINFO hit = {};
    hit.pt = POINT{x, y};
    SendMessageW(g_hTreeView, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (!hit.hItem || !(hit.flags & TVHT_ONITEMICON)) {
        return;
    }
    NKDbgPrintfW(u"%s: Click on state icon of item !\n", QUORREL_NAME);
    switch (ImageOf(hit.hItem)) {
    case CHK_ON:
        SetImage(hit.hItem, CHK_OFF);
        UpdateRelatedCheckState(hit.hItem, CHK_OFF);
        g_bSelectAll = FALSE;
        SetMenuItemText(IDM_SELECT_ALL, IDS_SELECT_ALL);
        break;
    case CHK_OFF:
        SetImage(hit.hItem, CHK_ON);
        UpdateRelatedCheckState(hit.hItem, CHK_ON);
        if (!AnyUncheckedNumber()) {
            g_bSelectAll = TRUE;
            SetMenuItemText(IDM_SELECT_ALL, IDS_SELECT_NONE);
        }
        break;
    case -1:
        NKDbgPrintfW(u"%s: Warning : No this item !\n", QUORREL_NAME);
        break;
    }
    SelectItem(hit.hItem);
}

void SetMenuItemText(UINT uCommand, UINT uString) {
    WCHAR szText[kStringSize];
    LoadText(uString, szText, kStringSize);
    ModifyMenuW(g_hViewMenu, uCommand, MF_BYCOMMAND | MF_STRING, uCommand, szText);
}
