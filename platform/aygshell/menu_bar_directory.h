// Every menu bar of the process, with its owner and the hardware keys it overrides. The menu bars'
// own state lives with their windows, on their thread; this is the part other threads need: the
// hardware keys arrive on the display's thread, and SHEnableSoftkey may come from a worker.
#pragma once

#include <winuser.h>

#include <map>
#include <mutex>
#include <optional>
#include <vector>

namespace handset {

struct MenuBarEntry {
    HWND menu_bar;
    HWND owner;
    // Hardware key → its SHMBOF_* flags.
    std::map<UINT, DWORD> overrides;
};

class MenuBarDirectory {
  public:
    static MenuBarDirectory& instance();

    void add(HWND menu_bar, HWND owner);
    void remove(HWND menu_bar);
    bool contains(HWND menu_bar) const;
    // Applies SHCMBM_OVERRIDEKEY: the flags under `mask` take the values of `flags`.
    void override_key(HWND menu_bar, UINT key, DWORD mask, DWORD flags);

    // The menu bar the window shows while it is in front: the one it owns, the latest made if it
    // owns several.
    std::optional<MenuBarEntry> of_owner(HWND owner) const;
    std::vector<HWND> all() const;

  private:
    MenuBarDirectory() = default;

    mutable std::mutex m_mutex;
    std::vector<MenuBarEntry> m_entries;
};

} // namespace handset
