#include "user/menu.h"

namespace handset {

MenuTable& MenuTable::instance() {
    // Never destroyed: menus may still be touched while the process exits.
    static MenuTable* table = new MenuTable();
    return *table;
}

HMENU MenuTable::create(const MenuLock&, bool popup) {
    auto menu = std::make_shared<Menu>();
    menu->popup = popup;
    return HMENU(m_menus.add(std::move(menu)));
}

Menu* MenuTable::find(const MenuLock&, HMENU menu) const {
    std::optional<std::shared_ptr<Menu>> found = m_menus.find(menu.value());
    return found ? found->get() : nullptr;
}

bool MenuTable::destroy(const MenuLock& lock, HMENU menu) {
    std::optional<std::shared_ptr<Menu>> removed = m_menus.remove(menu.value());
    if (!removed) {
        return false;
    }
    for (const MenuEntry& entry : (*removed)->entries) {
        if (entry.submenu) {
            destroy(lock, entry.submenu);
        }
    }
    return true;
}

std::optional<MenuTable::Place> MenuTable::locate(const MenuLock& lock, HMENU menu, UINT item,
                                                  bool by_position) const {
    Menu* found = find(lock, menu);
    if (found == nullptr) {
        return std::nullopt;
    }
    if (by_position) {
        if (item >= found->entries.size()) {
            return std::nullopt;
        }
        return Place{found, item};
    }
    for (size_t index = 0; index < found->entries.size(); ++index) {
        const MenuEntry& entry = found->entries[index];
        if (entry.submenu) {
            if (std::optional<Place> inner = locate(lock, entry.submenu, item, false)) {
                return inner;
            }
        } else if (!entry.is_separator() && entry.id == item) {
            return Place{found, index};
        }
    }
    return std::nullopt;
}

} // namespace handset
