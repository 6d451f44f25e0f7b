// The text of a menu item as a person reads it.
#pragma once

#include <winuser.h>

#include <string>

inline std::u16string MenuItemText(HMENU menu, UINT item, BOOL by_position) {
    WCHAR text[100] = {};
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_TYPE;
    info.dwTypeData = text;
    info.cch = 100;
    GetMenuItemInfoW(menu, item, by_position, &info);
    return text;
}
