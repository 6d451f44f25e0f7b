// The scroll information of windows' own bars (SB_VERT, SB_HORZ), which belongs to the window
// rather than to a control. Any thread may set or read it, so the store has a lock.
//
// Entries are keyed by window handle. Handles carry a generation, so a destroyed window's entry
// never answers for a new window; entries of windows that are gone are dropped as the store
// grows.
#pragma once

#include "commctrl/scroll_state.h"

#include <map>
#include <mutex>
#include <optional>
#include <utility>

namespace handset {

class WindowScrollStore {
  public:
    static WindowScrollStore& instance();

    // Applies the record to the window's bar and answers the new position.
    int apply(HWND window, int bar, const SCROLLINFO& info);
    int set_position(HWND window, int bar, int position);
    // A copy of the bar's state; nothing for a bar that was never set.
    std::optional<ScrollState> find(HWND window, int bar) const;

  private:
    using Key = std::pair<uint32_t, int>;

    ScrollState& entry(HWND window, int bar);
    void drop_dead_windows();

    mutable std::mutex m_mutex;
    std::map<Key, ScrollState> m_bars;
    size_t m_prune_at = 64;
};

} // namespace handset
