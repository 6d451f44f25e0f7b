// Menus: the table of menu handles and the items of each menu. Any thread may change a menu (a
// worker grays items while the user interface thread shows them), so every access goes through
// the table's lock.
#pragma once

#include "base/handle_table.h"

#include <winuser.h>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace handset {

struct MenuEntry {
    UINT type = MFT_STRING; // MFT_* bits
    UINT state = 0;         // MFS_* bits
    UINT id = 0;
    HMENU submenu;
    std::u16string text;
    ULONG_PTR data = 0;

    bool is_separator() const { return (type & MFT_SEPARATOR) != 0; }
    bool is_grayed() const { return (state & MFS_GRAYED) != 0; }
};

struct Menu {
    bool popup = false;
    std::vector<MenuEntry> entries;
};

using MenuLock = std::unique_lock<std::mutex>;

class MenuTable {
  public:
    static MenuTable& instance();

    MenuLock lock() { return MenuLock(m_mutex); }

    HMENU create(const MenuLock&, bool popup);
    Menu* find(const MenuLock&, HMENU menu) const;
    // Destroys the menu and, as the device does, the popups hanging from it.
    bool destroy(const MenuLock&, HMENU menu);

    struct Place {
        Menu* menu;
        size_t index;
    };
    // An item by position, or by command searching the popups too.
    std::optional<Place> locate(const MenuLock&, HMENU menu, UINT item, bool by_position) const;

  private:
    MenuTable() = default;

    std::mutex m_mutex;
    HandleTable<std::shared_ptr<Menu>> m_menus;
};

} // namespace handset
