#include "views/tree.h"

#include "shell/app.h"
#include "shell/resources.h"
#include "shell/trace.h"
#include "telvane_ids.h"

namespace {

const int kTextSize = 260;
const int kImageCount = 13;
const int kImageGrowth = 13;
const int kFieldBase = 1000;
const int kContactFieldBase = 4999;

// Tree messages carry item handles in their parameters.
LPARAM ItemParam(HTREEITEM hItem) {
    return static_cast<LPARAM>(static_cast<DWORD>(hItem));
}

HTREEITEM NextItem(HWND hTree, HTREEITEM hItem, UINT uRelation) {
    return HTREEITEM(
        static_cast<DWORD>(SendMessageW(hTree, TVM_GETNEXTITEM, uRelation, ItemParam(hItem))));
}

HTREEITEM FirstTopItem(HWND hTree) {
    return NextItem(hTree, nullptr, TVGN_ROOT);
}

HTREEITEM FirstChild(HWND hTree, HTREEITEM hItem) {
    return NextItem(hTree, hItem, TVGN_CHILD);
}

HTREEITEM NextSibling(HWND hTree, HTREEITEM hItem) {
    return NextItem(hTree, hItem, TVGN_NEXT);
}

bool GetItem(HWND hTree, TVITEMW* pItem) {
    return SendMessageW(hTree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(pItem)) != 0;
}

bool SetItem(HWND hTree, TVITEMW* pItem) {
    return SendMessageW(hTree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(pItem)) != 0;
}

bool ItemData(HWND hTree, HTREEITEM hItem, LPARAM* plData) {
    TVITEMW item = {};
    item.mask = TVIF_HANDLE | TVIF_PARAM;
    item.hItem = hItem;
    if (!GetItem(hTree, &item)) {
        return false;
    }
    *plData = item.lParam;
    return true;
}

HTREEITEM FindChildByField(HWND hTree, HTREEITEM hItem, int iField) {
    for (HTREEITEM hChild = FirstChild(hTree, hItem); hChild; hChild = NextSibling(hTree, hChild)) {
        LPARAM lData = 0;
        if (ItemData(hTree, hChild, &lData) && lData == iField) {
            return hChild;
        }
    }
    return nullptr;
}

bool IsCheckBox(int iImage) {
    return iImage == IMG_MIXED || iImage == IMG_UNCHECKED || iImage == IMG_CHECKED;
}

void CopyText(LPWSTR pszBuffer, LPCWSTR pszText) {
    StringCchCopyW(pszBuffer, kTextSize, pszText ? pszText : u"");
}

// The label a SIM field carries in trace lines; null for a field without one.
LPCWSTR SIMFieldLabel(int iField) {
    switch (iField) {
    case FIELD_TEL:
        return u"Tel";
    case FIELD_NICKNAME:
        return u"Nickname";
    case FIELD_EMAIL:
        return u"Email";
    case FIELD_TEL2:
        return u"Tel2";
    }
    return nullptr;
}

LPCWSTR ContactFieldLabel(int iField) {
    switch (iField) {
    case FIELD_MOBILE:
        return u"Mobile";
    case FIELD_WORK:
        return u"Work";
    case FIELD_HOME:
        return u"Home";
    }
    return nullptr;
}

int MemIndex(HWND hTree, HTREEITEM hItem, int iMaximum, LPCWSTR pszFail, LPCWSTR pszRange) {
    LPARAM lData = 0;
    if (!ItemData(hTree, hItem, &lData)) {
        DBG_Print(pszFail, u"RD_Error");
        return 0;
    }
    int iIndex = static_cast<int>(lData);
    if (iIndex < 0 || iIndex > iMaximum) {
        DBG_Print(pszRange, u"RD_Error");
    }
    return iIndex;
}

// Walks the top-level items in tree order and writes the memory index of each whose image the
// predicate accepts, never past the caller's array.
int CollectCheckedIndices(HWND hTree, int* piIndices, int iCapacity, bool (*pfnAccept)(int),
                          LPCWSTR pszFormat) {
    HTREEITEM hItem = FirstTopItem(hTree);
    if (!hItem) {
        return 0;
    }
    int iCount = 0;
    for (; hItem && iCount < iCapacity; hItem = NextSibling(hTree, hItem)) {
        LPARAM lData = 0;
        if (pfnAccept(TREEITEM_GetImgIndex(hTree, hItem)) && ItemData(hTree, hItem, &lData)) {
            piIndices[iCount++] = static_cast<int>(lData);
        }
    }
    DBG_Printf(nullptr, pszFormat, iCount);
    return iCount;
}

} // namespace

HWND TREE_Init(HWND hDlg, int iControl) {
    HWND hTree = GetDlgItem(hDlg, iControl);
    if (hTree) {
        SetWindowLongW(hTree, GWL_STYLE, GetWindowLongW(hTree, GWL_STYLE) | TVS_SHOWSELALWAYS);
    }
    DBG_Result(hTree ? 1 : -1, u"TREE_Init");
    return hTree;
}

void TREE_CreateImageList(HWND hTree) {
    bool bDoubled = RC_GetDPI() == 192;
    int iSize = bDoubled ? 50 : 25;
    HIMAGELIST hImages = ImageList_Create(iSize, iSize, ILC_COLOR32, kImageCount, kImageGrowth);
    HBITMAP hBitmap = LoadBitmapW(
        g_hResDll, MAKEINTRESOURCEW(bDoubled ? IDB_TREE_IMAGES_HIRES : IDB_TREE_IMAGES));
    int iAdded = ImageList_Add(hImages, hBitmap, nullptr);
    DBG_Result(iAdded == -1 ? -1 : 1, u"TREE_CreateImageList: ImageList_Add");
    DeleteObject(hBitmap);
    SendMessageW(hTree, TVM_SETIMAGELIST, TVSIL_NORMAL,
                 static_cast<LPARAM>(static_cast<DWORD>(hImages)));
}

HTREEITEM TREE_InsertItem(HWND hTree, HTREEITEM hParent, int iChildren, int iImage, LPCWSTR pszText,
                          LPARAM lData, int iAppend) {
    TVINSERTSTRUCTW insert = {};
    insert.hParent = hParent ? hParent : TVI_ROOT;
    insert.hInsertAfter = iAppend ? TVI_LAST : TVI_SORT;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM;
    insert.item.pszText = const_cast<LPWSTR>(pszText);
    insert.item.iImage = iImage;
    insert.item.iSelectedImage = iImage;
    insert.item.cChildren = iChildren;
    insert.item.lParam = lData;
    return HTREEITEM(static_cast<DWORD>(
        SendMessageW(hTree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert))));
}

void TREE_DeleteAll(HWND hTree) {
    SendMessageW(hTree, TVM_DELETEITEM, 0, ItemParam(TVI_ROOT));
}

void TREEITEM_Delete(HWND hTree, HTREEITEM hItem) {
    SendMessageW(hTree, TVM_DELETEITEM, 0, ItemParam(hItem));
}

void TREE_SelectFirstItem(HWND hTree) {
    HTREEITEM hFirst = FirstTopItem(hTree);
    if (hFirst) {
        TREEITEM_Select(hTree, hFirst);
    }
}

void TREEITEM_Select(HWND hTree, HTREEITEM hItem) {
    SendMessageW(hTree, TVM_SELECTITEM, TVGN_CARET, ItemParam(hItem));
}

HTREEITEM TREE_GetSelectItem(HWND hTree) {
    HTREEITEM hSelected = NextItem(hTree, nullptr, TVGN_CARET);
    if (!hSelected) {
        DBG_Print(u"TREE_GetSelectItem: hSelect == NULL", u"RD_Error");
    }
    return hSelected;
}

HTREEITEM TREEITEM_GetParent(HWND hTree, HTREEITEM hItem) {
    return NextItem(hTree, hItem, TVGN_PARENT);
}

int TREEITEM_HasChild(HWND hTree, HTREEITEM hItem) {
    return FirstChild(hTree, hItem) ? 1 : 0;
}

int TREEITEM_IsParent(HWND hTree, HTREEITEM hItem) {
    return TREEITEM_GetParent(hTree, hItem) ? 0 : 1;
}

void TREEITEM_Expand(HWND hTree, HTREEITEM hItem) {
    SendMessageW(hTree, TVM_EXPAND, TVE_EXPAND, ItemParam(hItem));
}

int TREE_GetParentCount(HWND hTree) {
    int iCount = 0;
    for (HTREEITEM hItem = FirstTopItem(hTree); hItem; hItem = NextSibling(hTree, hItem)) {
        ++iCount;
    }
    if (iCount) {
        DBG_Printf(nullptr, u"TREE_GetParentCount: Number == %d", iCount);
    }
    return iCount;
}

TVHITTESTINFO TREE_HitTest(HWND hTree, int x, int y) {
    TVHITTESTINFO hit = {};
    hit.pt.x = x;
    hit.pt.y = y;
    ScreenToClient(hTree, &hit.pt);
    SendMessageW(hTree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    return hit;
}

int TREE_HitOnIcon(const TVHITTESTINFO& hit) {
    return (hit.flags & TVHT_ONITEMICON) ? 1 : 0;
}

int TREE_HitOnItem(const TVHITTESTINFO& hit) {
    return (hit.flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON)) ? 1 : 0;
}

// A failed read answers 1, which counts as no check box.
int TREEITEM_GetImgIndex(HWND hTree, HTREEITEM hItem) {
    TVITEMW item = {};
    item.mask = TVIF_HANDLE | TVIF_IMAGE;
    item.hItem = hItem;
    if (!GetItem(hTree, &item)) {
        DBG_Result(-1, u"TREEITEM_GetImgIndex");
        return 1;
    }
    return item.iImage;
}

void TREEITEM_SetImgIndex(HWND hTree, HTREEITEM hItem, int iImage) {
    TVITEMW item = {};
    item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = hItem;
    item.iImage = iImage;
    item.iSelectedImage = iImage;
    SetItem(hTree, &item);
    DBG_Printf(nullptr, u"TREEITEM_SetImgIndex: index == %d", iImage);
}

LPWSTR TREEITEM_GetText(HWND hTree, HTREEITEM hItem) {
    thread_local WCHAR szText[kTextSize];
    TVITEMW item = {};
    item.mask = TVIF_HANDLE | TVIF_TEXT;
    item.hItem = hItem;
    item.pszText = szText;
    item.cchTextMax = kTextSize;
    if (!GetItem(hTree, &item)) {
        DBG_Result(-1, u"TREEITEM_GetText");
        CopyText(szText, u"Error");
    }
    return szText;
}

void TREEITEM_SetText(HWND hTree, HTREEITEM hItem, LPCWSTR pszText) {
    TVITEMW item = {};
    item.mask = TVIF_HANDLE | TVIF_TEXT;
    item.hItem = hItem;
    item.pszText = const_cast<LPWSTR>(pszText);
    DBG_Result(SetItem(hTree, &item) ? 1 : -1, u"TREEITEM_SetText");
}

void TREEITEM_SetChilds(HWND hTree, HTREEITEM hItem, int iCount) {
    TVITEMW item = {};
    item.mask = TVIF_HANDLE | TVIF_CHILDREN;
    item.hItem = hItem;
    item.cChildren = iCount;
    SetItem(hTree, &item);
    DBG_Printf(nullptr, u"TREEITEM_SetChilds: Count == %d", iCount);
}

void TREE_CHECKBOX_Toggle(HWND hTree, HTREEITEM hItem) {
    int iImage = TREEITEM_GetImgIndex(hTree, hItem);
    if (iImage == IMG_UNCHECKED) {
        TREEITEM_SetImgIndex(hTree, hItem, IMG_CHECKED);
    } else if (iImage == IMG_CHECKED || iImage == IMG_MIXED) {
        TREEITEM_SetImgIndex(hTree, hItem, IMG_UNCHECKED);
    }
}

void TREE_CHECKBOX_SetChilds(HWND hTree, HTREEITEM hItem) {
    int iImage = TREEITEM_GetImgIndex(hTree, hItem);
    for (HTREEITEM hChild = FirstChild(hTree, hItem); hChild; hChild = NextSibling(hTree, hChild)) {
        int iChildImage = TREEITEM_GetImgIndex(hTree, hChild);
        if (iChildImage == IMG_UNCHECKED || iChildImage == IMG_CHECKED) {
            TREEITEM_SetImgIndex(hTree, hChild, iImage);
        }
    }
}

void TREE_CHECKBOX_UpdateParent(HWND hTree, HTREEITEM hItem) {
    int iImage = TREEITEM_GetImgIndex(hTree, hItem);
    if (iImage != IMG_UNCHECKED && iImage != IMG_CHECKED) {
        return;
    }
    HTREEITEM hParent = TREEITEM_GetParent(hTree, hItem);
    if (!hParent) {
        return;
    }
    bool bAllSame = true;
    for (HTREEITEM hChild = FirstChild(hTree, hParent); hChild && bAllSame;
         hChild = NextSibling(hTree, hChild)) {
        bAllSame = TREEITEM_GetImgIndex(hTree, hChild) == iImage;
    }
    TREEITEM_SetImgIndex(hTree, hParent, bAllSame ? iImage : IMG_MIXED);
}

void TREE_CHECKBOX_SetAll(HWND hTree, int iImage) {
    for (HTREEITEM hItem = FirstTopItem(hTree); hItem; hItem = NextSibling(hTree, hItem)) {
        if (!IsCheckBox(TREEITEM_GetImgIndex(hTree, hItem))) {
            continue;
        }
        TREEITEM_SetImgIndex(hTree, hItem, iImage);
        for (HTREEITEM hChild = FirstChild(hTree, hItem); hChild;
             hChild = NextSibling(hTree, hChild)) {
            if (IsCheckBox(TREEITEM_GetImgIndex(hTree, hChild))) {
                TREEITEM_SetImgIndex(hTree, hChild, iImage);
            }
        }
    }
}

int TREE_CHECKBOX_CountImgIndex(HWND hTree, int iImage, int iLevel) {
    HTREEITEM hItem = FirstTopItem(hTree);
    if (!hItem) {
        return 0;
    }
    int iCount = 0;
    for (; hItem; hItem = NextSibling(hTree, hItem)) {
        if (iLevel != 1) {
            iCount += TREEITEM_GetImgIndex(hTree, hItem) == iImage;
            continue;
        }
        for (HTREEITEM hChild = FirstChild(hTree, hItem); hChild;
             hChild = NextSibling(hTree, hChild)) {
            iCount += TREEITEM_GetImgIndex(hTree, hChild) == iImage;
        }
    }
    DBG_Printf(nullptr, u"TREE_CHECKBOX_CountImgIndex: Index[%d] == %d", iImage, iCount);
    return iCount;
}

LPWSTR TREEITEM_GetSIMCardFiled(HWND hTree, HTREEITEM hItem, int iField) {
    thread_local WCHAR szField[kTextSize];
    if (iField < kFieldBase) {
        CopyText(szField, TREEITEM_GetText(hTree, hItem));
        DBG_Printf(nullptr, u"TREEITEM_GetSIMCardFiled: Name == %s", szField);
        return szField;
    }
    HTREEITEM hChild = FindChildByField(hTree, hItem, iField);
    if (!hChild) {
        szField[0] = 0;
        DBG_Print(u"TREEITEM_GetSIMCardFiled: No match", nullptr);
        return szField;
    }
    CopyText(szField, TREEITEM_GetText(hTree, hChild));
    if (LPCWSTR pszLabel = SIMFieldLabel(iField)) {
        DBG_Printf(nullptr, u"TREEITEM_GetSIMCardFiled: %s == %s", pszLabel, szField);
    }
    return szField;
}

int TREEITEM_SetSIMCardFiled(HWND hTree, HTREEITEM hItem, int iField, LPCWSTR pszText) {
    if (iField < kFieldBase) {
        TREEITEM_SetText(hTree, hItem, pszText ? pszText : u"");
        DBG_Printf(nullptr, u"TREEITEM_SetSIMCardFiled: Name == %s", pszText ? pszText : u"");
        return 1;
    }
    HTREEITEM hChild = FindChildByField(hTree, hItem, iField);
    if (!hChild) {
        DBG_Print(u"TREEITEM_SetSIMCardFiled: No match", nullptr);
        return 0;
    }
    if (pszText) {
        TREEITEM_SetText(hTree, hChild, pszText);
    } else {
        TREEITEM_Delete(hTree, hChild);
    }
    if (LPCWSTR pszLabel = SIMFieldLabel(iField)) {
        DBG_Printf(nullptr, u"TREEITEM_SetSIMCardFiled: %s == %s", pszLabel,
                   pszText ? pszText : u"");
    }
    return 1;
}

int TREEITEM_SIM_GetMemIndex(HWND hTree, HTREEITEM hItem) {
    return MemIndex(hTree, hItem, TREE_SIM_MAX_INDEX, u"TREEITEM_SIM_GetMemIndex: Get Item Fail",
                    u"TREEITEM_SIM_GetMemIndex: Out of Range");
}

int TREE_SIM_GetCheckedMemIndex(HWND hTree, int* piIndices, int iCapacity) {
    return CollectCheckedIndices(
        hTree, piIndices, iCapacity, [](int iImage) { return iImage == IMG_CHECKED; },
        u"TREE_SIM_GetCheckedMemIndex: Checked Number == %d");
}

HTREEITEM TREE_FindItemByMemIndex(HWND hTree, int iIndex) {
    for (HTREEITEM hItem = FirstTopItem(hTree); hItem; hItem = NextSibling(hTree, hItem)) {
        LPARAM lData = 0;
        if (ItemData(hTree, hItem, &lData) && lData == iIndex) {
            return hItem;
        }
    }
    return nullptr;
}

int TREEITEM_CONTACT_GetMemIndex(HWND hTree, HTREEITEM hItem) {
    return MemIndex(hTree, hItem, TREE_CONTACT_MAX_INDEX,
                    u"TREEITEM_CONTACT_GetMemIndex: Get Item Fail",
                    u"TREEITEM_CONTACT_GetMemIndex: Out of Range");
}

HTREEITEM TREEITEM_CONTACT_QueryItem(HWND hTree, HTREEITEM hItem, int iField) {
    HTREEITEM hChild = FindChildByField(hTree, hItem, iField);
    LPCWSTR pszLabel = ContactFieldLabel(iField);
    if (hChild && pszLabel) {
        DBG_Printf(nullptr, u"TREEITEM_CONTACT_QueryItem: %s", pszLabel);
    }
    return hChild;
}

// A number child reads "[M] 0123"; the number is what follows the label's "] ". A label without
// the bracket (a translation may drop it) still ends at its first blank; a text without any blank
// is taken whole.
LPWSTR TREEITEM_CONTACT_GetFiled(HWND hTree, HTREEITEM hItem, int iField) {
    thread_local WCHAR szField[kTextSize];
    if (iField <= kContactFieldBase) {
        CopyText(szField, TREEITEM_GetText(hTree, hItem));
        DBG_Printf(nullptr, u"TREEITEM_CONTACT_GetFiled: Name == %s", szField);
        return szField;
    }
    HTREEITEM hChild = FindChildByField(hTree, hItem, iField);
    if (!hChild) {
        return nullptr;
    }
    LPCWSTR pszText = TREEITEM_GetText(hTree, hChild);
    LPCWSTR pszNumber = pszText;
    for (LPCWSTR p = pszText; *p; ++p) {
        if (p[0] == u']' && p[1] == u' ') {
            pszNumber = p + 2;
            break;
        }
    }
    if (pszNumber == pszText) {
        for (LPCWSTR p = pszText; *p; ++p) {
            if (*p == u' ') {
                pszNumber = p + 1;
                break;
            }
        }
    }
    CopyText(szField, pszNumber);
    if (LPCWSTR pszLabel = ContactFieldLabel(iField)) {
        DBG_Printf(nullptr, u"TREEITEM_CONTACT_GetFiled: %s == %s", pszLabel, szField);
    }
    return szField;
}

int TREE_CONTACT_GetCheckedMemIndex(HWND hTree, int* piIndices, int iCapacity) {
    return CollectCheckedIndices(
        hTree, piIndices, iCapacity,
        [](int iImage) { return iImage == IMG_CHECKED || iImage == IMG_MIXED; },
        u"TREE_CONTACT_GetCheckedMemIndex: Checked Number == %d");
}
