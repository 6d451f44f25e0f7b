// The items of a tree view as a person sees them, read through the tree's messages.
#pragma once

#include <commctrl.h>

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
