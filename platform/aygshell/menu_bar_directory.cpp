#include "aygshell/menu_bar_directory.h"

#include <algorithm>

namespace handset {

MenuBarDirectory& MenuBarDirectory::instance() {
    // Never destroyed: menu bars of threads that end during the process's exit still leave it.
    static auto* directory = new MenuBarDirectory();
    return *directory;
}

void MenuBarDirectory::add(HWND menu_bar, HWND owner) {
    std::lock_guard lock(m_mutex);
    m_entries.push_back(MenuBarEntry{menu_bar, owner, {}});
}

void MenuBarDirectory::remove(HWND menu_bar) {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_entries, [&](const MenuBarEntry& entry) { return entry.menu_bar == menu_bar; });
}

bool MenuBarDirectory::contains(HWND menu_bar) const {
    std::lock_guard lock(m_mutex);
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [&](const MenuBarEntry& entry) { return entry.menu_bar == menu_bar; });
}

void MenuBarDirectory::override_key(HWND menu_bar, UINT key, DWORD mask, DWORD flags) {
    std::lock_guard lock(m_mutex);
    for (MenuBarEntry& entry : m_entries) {
        if (entry.menu_bar == menu_bar) {
            DWORD& current = entry.overrides[key];
            current = (current & ~mask) | (flags & mask);
        }
    }
}

std::optional<MenuBarEntry> MenuBarDirectory::of_owner(HWND owner) const {
    std::lock_guard lock(m_mutex);
    const auto found =
        std::find_if(m_entries.rbegin(), m_entries.rend(),
                     [&](const MenuBarEntry& entry) { return entry.owner == owner; });
    if (!owner || found == m_entries.rend()) {
        return std::nullopt;
    }
    return *found;
}

std::vector<HWND> MenuBarDirectory::all() const {
    std::lock_guard lock(m_mutex);
    std::vector<HWND> menu_bars;
    for (const MenuBarEntry& entry : m_entries) {
        menu_bars.push_back(entry.menu_bar);
    }
    return menu_bars;
}

} // namespace handset
