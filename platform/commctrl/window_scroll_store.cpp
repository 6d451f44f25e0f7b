#include "commctrl/window_scroll_store.h"

#include <winuser.h>

namespace handset {

WindowScrollStore& WindowScrollStore::instance() {
    static WindowScrollStore store;
    return store;
}

int WindowScrollStore::apply(HWND window, int bar, const SCROLLINFO& info) {
    std::lock_guard lock(m_mutex);
    return entry(window, bar).apply(info);
}

int WindowScrollStore::set_position(HWND window, int bar, int position) {
    std::lock_guard lock(m_mutex);
    return entry(window, bar).set_position(position);
}

std::optional<ScrollState> WindowScrollStore::find(HWND window, int bar) const {
    std::lock_guard lock(m_mutex);
    const auto found = m_bars.find(Key{window.value(), bar});
    if (found == m_bars.end()) {
        return std::nullopt;
    }
    return found->second;
}

ScrollState& WindowScrollStore::entry(HWND window, int bar) {
    if (m_bars.size() >= m_prune_at) {
        drop_dead_windows();
        m_prune_at = 2 * m_bars.size() + 64;
    }
    return m_bars[Key{window.value(), bar}];
}

// IsWindow takes only the window system's lock, never this store's, so asking it here cannot
// deadlock.
void WindowScrollStore::drop_dead_windows() {
    for (auto it = m_bars.begin(); it != m_bars.end();) {
        it = IsWindow(HWND(it->first.first)) ? std::next(it) : m_bars.erase(it);
    }
}

} // namespace handset
