// Building and changing menus.
#include "resources/menu_template.h"
#include "user/errors.h"
#include "user/menu.h"

#include <algorithm>
#include <span>

namespace handset {

namespace {

constexpr UINT no_item = 0xFFFFFFFF;

void fail_bad_menu(const char* function) {
    fail(ERROR_INVALID_MENU_HANDLE, function, "not a menu, or no such item in it");
}

// An item as AppendMenu, InsertMenu and ModifyMenu describe it with MF_* flags.
MenuEntry entry_from_flags(UINT flags, UINT_PTR id_or_popup, LPCWSTR text) {
    MenuEntry entry;
    entry.type = flags & (MF_SEPARATOR | MF_MENUBREAK | MF_MENUBARBREAK);
    entry.state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT);
    if ((flags & MF_POPUP) != 0) {
        entry.submenu = HMENU(static_cast<uint32_t>(id_or_popup));
    } else {
        entry.id = static_cast<UINT>(id_or_popup);
    }
    if (!entry.is_separator() && text != nullptr) {
        entry.text = text;
    }
    return entry;
}

void apply_item_info(MenuEntry& entry, const MENUITEMINFOW& info) {
    if ((info.fMask & MIIM_TYPE) != 0) {
        entry.type = info.fType;
        entry.text = (info.fType & MFT_SEPARATOR) == 0 && info.dwTypeData != nullptr
                         ? std::u16string(info.dwTypeData)
                         : std::u16string();
    }
    if ((info.fMask & MIIM_STATE) != 0) {
        entry.state = info.fState;
    }
    if ((info.fMask & MIIM_ID) != 0) {
        entry.id = info.wID;
    }
    if ((info.fMask & MIIM_SUBMENU) != 0) {
        entry.submenu = info.hSubMenu;
    }
    if ((info.fMask & MIIM_DATA) != 0) {
        entry.data = info.dwItemData;
    }
}

void report_item_info(const MenuEntry& entry, MENUITEMINFOW& info) {
    if ((info.fMask & MIIM_TYPE) != 0) {
        info.fType = entry.type;
        // Into a buffer of cch characters, cut and terminated; cch comes back as the length.
        if (info.dwTypeData != nullptr && info.cch > 0) {
            const size_t count = std::min<size_t>(entry.text.size(), info.cch - 1);
            std::copy_n(entry.text.data(), count, info.dwTypeData);
            info.dwTypeData[count] = u'\0';
        }
        info.cch = static_cast<UINT>(entry.text.size());
    }
    if ((info.fMask & MIIM_STATE) != 0) {
        info.fState = entry.state;
    }
    if ((info.fMask & MIIM_ID) != 0) {
        info.wID = entry.id;
    }
    if ((info.fMask & MIIM_SUBMENU) != 0) {
        info.hSubMenu = entry.submenu;
    }
    if ((info.fMask & MIIM_DATA) != 0) {
        info.dwItemData = entry.data;
    }
}

bool valid_item_info(const MENUITEMINFOW* info, const char* function) {
    if (info == nullptr || info->cbSize != sizeof(MENUITEMINFOW)) {
        fail(ERROR_INVALID_PARAMETER, function, "MENUITEMINFO missing or of the wrong size");
        return false;
    }
    return true;
}

// Where a new item goes: before the given position or command, or at the end for position -1.
std::optional<MenuTable::Place> insertion_place(const MenuLock& lock, HMENU menu, UINT item,
                                                bool by_position) {
    MenuTable& table = MenuTable::instance();
    Menu* found = table.find(lock, menu);
    if (found == nullptr) {
        return std::nullopt;
    }
    if (by_position && (item == no_item || item >= found->entries.size())) {
        return MenuTable::Place{found, found->entries.size()};
    }
    return table.locate(lock, menu, item, by_position);
}

BOOL insert_entry(HMENU menu, UINT item, bool by_position, MenuEntry entry, const char* function) {
    MenuTable& table = MenuTable::instance();
    MenuLock lock = table.lock();
    std::optional<MenuTable::Place> place = insertion_place(lock, menu, item, by_position);
    if (!place) {
        lock.unlock();
        fail_bad_menu(function);
        return FALSE;
    }
    place->menu->entries.insert(place->menu->entries.begin() + place->index, std::move(entry));
    return TRUE;
}

// Runs `change` on the item with the table locked; FALSE, after reporting, when there is none.
template <typename F>
BOOL with_item(HMENU menu, UINT item, bool by_position, const char* function, F&& change) {
    MenuTable& table = MenuTable::instance();
    MenuLock lock = table.lock();
    std::optional<MenuTable::Place> place = table.locate(lock, menu, item, by_position);
    if (!place) {
        fail_bad_menu(function);
        return FALSE;
    }
    change(lock, *place);
    return TRUE;
}

// A copy of the item at the position; nothing for a position outside the menu.
std::optional<MenuEntry> entry_at(HMENU menu, int position) {
    MenuTable& table = MenuTable::instance();
    MenuLock lock = table.lock();
    std::optional<MenuTable::Place> place =
        position < 0 ? std::nullopt : table.locate(lock, menu, static_cast<UINT>(position), true);
    if (!place) {
        return std::nullopt;
    }
    return place->menu->entries[place->index];
}

// Removes an item; with `destroy_popup`, a popup hanging from it goes too (DeleteMenu).
BOOL remove_entry(HMENU menu, UINT item, UINT flags, bool destroy_popup, const char* function) {
    return with_item(menu, item, (flags & MF_BYPOSITION) != 0, function,
                     [&](const MenuLock& lock, MenuTable::Place& place) {
                         const HMENU popup = place.menu->entries[place.index].submenu;
                         place.menu->entries.erase(place.menu->entries.begin() + place.index);
                         if (destroy_popup && popup) {
                             MenuTable::instance().destroy(lock, popup);
                         }
                     });
}

// Sets the bits in `mask` of an item's state to `bits`; the previous bits, or -1.
UINT change_state(HMENU menu, UINT item, UINT flags, UINT mask, UINT bits) {
    MenuTable& table = MenuTable::instance();
    MenuLock lock = table.lock();
    std::optional<MenuTable::Place> place =
        table.locate(lock, menu, item, (flags & MF_BYPOSITION) != 0);
    if (!place) {
        return no_item;
    }
    MenuEntry& entry = place->menu->entries[place->index];
    const UINT previous = entry.state & mask;
    entry.state = (entry.state & ~mask) | (bits & mask);
    return previous;
}

void add_template_items(const MenuLock& lock, HMENU menu, const std::vector<MenuItem>& items) {
    MenuTable& table = MenuTable::instance();
    for (const MenuItem& item : items) {
        MenuEntry entry;
        entry.type = item.type;
        entry.state = item.state;
        entry.id = item.id;
        entry.text = item.text;
        if (item.popup) {
            entry.submenu = table.create(lock, true);
            add_template_items(lock, entry.submenu, item.items);
        }
        table.find(lock, menu)->entries.push_back(std::move(entry));
    }
}

} // namespace

} // namespace handset

using namespace handset;

HMENU WINAPI CreateMenu() {
    MenuTable& table = MenuTable::instance();
    MenuLock lock = table.lock();
    return table.create(lock, false);
}

HMENU WINAPI CreatePopupMenu() {
    MenuTable& table = MenuTable::instance();
    MenuLock lock = table.lock();
    return table.create(lock, true);
}

HMENU WINAPI LoadMenuW(HINSTANCE hInstance, LPCWSTR lpMenuName) {
    const HRSRC resource = FindResourceW(hInstance, lpMenuName, RT_MENU);
    const HGLOBAL loaded = resource ? LoadResource(hInstance, resource) : HGLOBAL();
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data == nullptr) {
        fail(ERROR_RESOURCE_NAME_NOT_FOUND, "LoadMenu", "no such menu resource");
        return HMENU();
    }
    std::optional<MenuTemplate> parsed = parse_menu_template(
        std::span(static_cast<const BYTE*>(data), SizeofResource(hInstance, resource)));
    if (!parsed) {
        fail(ERROR_INVALID_PARAMETER, "LoadMenu", "the menu template is damaged");
        return HMENU();
    }
    MenuTable& table = MenuTable::instance();
    MenuLock lock = table.lock();
    const HMENU menu = table.create(lock, false);
    add_template_items(lock, menu, parsed->items);
    return menu;
}

BOOL WINAPI DestroyMenu(HMENU hMenu) {
    MenuTable& table = MenuTable::instance();
    MenuLock lock = table.lock();
    if (!table.destroy(lock, hMenu)) {
        lock.unlock();
        fail_bad_menu("DestroyMenu");
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI IsMenu(HMENU hMenu) {
    MenuTable& table = MenuTable::instance();
    MenuLock lock = table.lock();
    return table.find(lock, hMenu) != nullptr ? TRUE : FALSE;
}

HMENU WINAPI GetSubMenu(HMENU hMenu, int nPos) {
    const std::optional<MenuEntry> entry = entry_at(hMenu, nPos);
    return entry ? entry->submenu : HMENU();
}

int WINAPI GetMenuItemCount(HMENU hMenu) {
    MenuTable& table = MenuTable::instance();
    MenuLock lock = table.lock();
    const Menu* menu = table.find(lock, hMenu);
    if (menu == nullptr) {
        lock.unlock();
        fail_bad_menu("GetMenuItemCount");
        return -1;
    }
    return static_cast<int>(menu->entries.size());
}

UINT WINAPI GetMenuItemID(HMENU hMenu, int nPos) {
    const std::optional<MenuEntry> entry = entry_at(hMenu, nPos);
    return entry && !entry->submenu ? entry->id : no_item;
}

UINT WINAPI GetMenuState(HMENU hMenu, UINT uId, UINT uFlags) {
    MenuTable& table = MenuTable::instance();
    MenuLock lock = table.lock();
    std::optional<MenuTable::Place> place =
        table.locate(lock, hMenu, uId, (uFlags & MF_BYPOSITION) != 0);
    if (!place) {
        return no_item;
    }
    const MenuEntry& entry = place->menu->entries[place->index];
    UINT state = entry.state | entry.type;
    if (entry.submenu) {
        const Menu* popup = table.find(lock, entry.submenu);
        const UINT count = popup != nullptr ? static_cast<UINT>(popup->entries.size()) : 0;
        state = (std::min<UINT>(count, 0xFF) << 8) | (state & 0xFF) | MF_POPUP;
    }
    return state;
}

BOOL WINAPI AppendMenuW(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCWSTR lpNewItem) {
    return insert_entry(hMenu, no_item, true, entry_from_flags(uFlags, uIDNewItem, lpNewItem),
                        "AppendMenu");
}

BOOL WINAPI InsertMenuW(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem,
                        LPCWSTR lpNewItem) {
    return insert_entry(hMenu, uPosition, (uFlags & MF_BYPOSITION) != 0,
                        entry_from_flags(uFlags, uIDNewItem, lpNewItem), "InsertMenu");
}

BOOL WINAPI InsertMenuItemW(HMENU hMenu, UINT uItem, BOOL fByPosition, LPCMENUITEMINFOW lpmii) {
    if (!valid_item_info(lpmii, "InsertMenuItem")) {
        return FALSE;
    }
    MenuEntry entry;
    apply_item_info(entry, *lpmii);
    return insert_entry(hMenu, uItem, fByPosition != FALSE, std::move(entry), "InsertMenuItem");
}

BOOL WINAPI ModifyMenuW(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem,
                        LPCWSTR lpNewItem) {
    return with_item(hMenu, uPosition, (uFlags & MF_BYPOSITION) != 0, "ModifyMenu",
                     [&](const MenuLock&, MenuTable::Place& place) {
                         MenuEntry& entry = place.menu->entries[place.index];
                         const ULONG_PTR data = entry.data;
                         entry = entry_from_flags(uFlags, uIDNewItem, lpNewItem);
                         entry.data = data;
                     });
}

BOOL WINAPI SetMenuItemInfoW(HMENU hMenu, UINT uItem, BOOL fByPosition, LPCMENUITEMINFOW lpmii) {
    if (!valid_item_info(lpmii, "SetMenuItemInfo")) {
        return FALSE;
    }
    return with_item(hMenu, uItem, fByPosition != FALSE, "SetMenuItemInfo",
                     [&](const MenuLock&, MenuTable::Place& place) {
                         apply_item_info(place.menu->entries[place.index], *lpmii);
                     });
}

BOOL WINAPI GetMenuItemInfoW(HMENU hMenu, UINT uItem, BOOL fByPosition, LPMENUITEMINFOW lpmii) {
    if (!valid_item_info(lpmii, "GetMenuItemInfo")) {
        return FALSE;
    }
    return with_item(hMenu, uItem, fByPosition != FALSE, "GetMenuItemInfo",
                     [&](const MenuLock&, MenuTable::Place& place) {
                         report_item_info(place.menu->entries[place.index], *lpmii);
                     });
}

BOOL WINAPI RemoveMenu(HMENU hMenu, UINT uPosition, UINT uFlags) {
    return remove_entry(hMenu, uPosition, uFlags, false, "RemoveMenu");
}

BOOL WINAPI DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags) {
    return remove_entry(hMenu, uPosition, uFlags, true, "DeleteMenu");
}

UINT WINAPI EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable) {
    return change_state(hMenu, uIDEnableItem, uEnable, MF_GRAYED | MF_DISABLED, uEnable);
}

DWORD WINAPI CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck) {
    return change_state(hMenu, uIDCheckItem, uCheck, MF_CHECKED, uCheck);
}
