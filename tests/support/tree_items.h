// The items of a tree view as a person sees them, read through the tree's messages.
#pragma once

#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

// A tree item as the person sees it: its text, its image and what it stands for.
struct Item {
    HTREEITEM handle;
    std::u16string text;
    int image = -1;
    LPARAM data = 0;
    std::vector<Item> children;
};

inline HTREEITEM NextItem(HWND tree, UINT relation, HTREEITEM item = HTREEITEM()) {
    return HTREEITEM(static_cast<DWORD>(
        SendMessageW(tree, TVM_GETNEXTITEM, relation, static_cast<LPARAM>(item.value()))));
}

inline Item ReadItem(HWND tree, HTREEITEM handle) {
    WCHAR text[260] = {};
    TVITEMW tvi = {};
    tvi.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_PARAM;
    tvi.hItem = handle;
    tvi.pszText = text;
    tvi.cchTextMax = 260;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi));
    Item item{handle, text, tvi.iImage, tvi.lParam, {}};
    for (HTREEITEM child = NextItem(tree, TVGN_CHILD, handle); child;
         child = NextItem(tree, TVGN_NEXT, child)) {
        item.children.push_back(ReadItem(tree, child));
    }
    return item;
}

inline std::vector<Item> ReadTree(HWND tree) {
    std::vector<Item> items;
    for (HTREEITEM item = NextItem(tree, TVGN_ROOT); item; item = NextItem(tree, TVGN_NEXT, item)) {
        items.push_back(ReadItem(tree, item));
    }
    return items;
}

inline std::vector<std::u16string> Names(const std::vector<Item>& items) {
    std::vector<std::u16string> names;
    for (const Item& item : items) {
        names.push_back(item.text);
    }
    return names;
}

inline HTREEITEM Selected(HWND tree) {
    return NextItem(tree, TVGN_CARET);
}

inline POINT ToScreen(HWND window, POINT point) {
    ClientToScreen(window, &point);
    return point;
}

// The label's rectangle in the tree's client area, the item shown first.
inline RECT LabelRect(HWND tree, HTREEITEM item) {
    SendMessageW(tree, TVM_ENSUREVISIBLE, 0, static_cast<LPARAM>(item.value()));
    RECT rect = {};
    const DWORD value = item.value();
    std::memcpy(&rect, &value, sizeof(value));
    SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

inline POINT LabelPoint(HWND tree, HTREEITEM item) {
    RECT label = LabelRect(tree, item);
    return ToScreen(tree, POINT{(label.left + label.right) / 2, (label.top + label.bottom) / 2});
}

// A point on the item's icon: the first point left of the label that the tree calls its icon.
inline POINT IconPoint(HWND tree, HTREEITEM item) {
    RECT label = LabelRect(tree, item);
    TVHITTESTINFO hit = {};
    hit.pt.y = (label.top + label.bottom) / 2;
    for (hit.pt.x = label.left - 1; hit.pt.x > 0; --hit.pt.x) {
        SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (hit.flags & TVHT_ONITEMICON) {
            hit.pt.x -= 4;
            break;
        }
    }
    return ToScreen(tree, hit.pt);
}
