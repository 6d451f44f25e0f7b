// The window system's state: the window table, the z-order of top-level windows, the classes, and
// which windows are active, focused and capturing the stylus.
//
// Invariants (all under the one lock):
// - Every window in the table is either a top-level window in m_top_levels or a child listed in
//   its parent's children; a foreign proxy is in neither.
// - m_top_levels runs from the topmost window down; topmost windows (WS_EX_TOPMOST) come before
//   all others, and an owned window comes before its owner.
// - The active window, focus and capture name live windows or are 0; the focus is the active
//   window or one of its descendants.
// - No window procedure runs and no thread waits while the lock is held, so any procedure may
//   call back into the window system.
#pragma once

#include "base/handle_table.h"
#include "user/window.h"
#include "user/window_class.h"

#include <winuser.h>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace handset {

using WindowLock = std::unique_lock<std::mutex>;

class WindowSystem {
  public:
    static WindowSystem& instance();

    WindowLock lock() { return WindowLock(m_mutex); }

    // nullptr for 0, a stale handle or one that never was a window.
    Window* find(const WindowLock&, HWND handle) const;
    // A window of this process; nullptr after reporting (naming the calling function) that the
    // handle is no window, or one of another process.
    Window* find_local(const WindowLock& lock, HWND handle, const char* function) const;
    // Enters the window in the table and links it into the tree; 0 when the table is full.
    HWND insert(const WindowLock&, std::shared_ptr<Window> window);
    // Unlinks the window and drops it from the table; what still refers to it is cleared.
    std::shared_ptr<Window> erase(const WindowLock&, HWND handle);

    ClassRegistry& classes(const WindowLock&) { return m_classes; }
    const std::vector<HWND>& top_levels(const WindowLock&) const { return m_top_levels; }
    // Brings a top-level window to the top of its band, its owned windows above it.
    void raise(const WindowLock&, Window& window);
    void lower(const WindowLock&, Window& window);
    // Moves a child to the top or bottom of its siblings, or just below `after`.
    void restack_child(const WindowLock&, Window& child, HWND after);

    // The top-level window that contains this one (itself for a top-level window).
    Window& root_of(const WindowLock&, Window& window) const;
    bool is_descendant(const WindowLock&, const Window& window, HWND ancestor) const;
    // Visible itself and every ancestor visible.
    bool is_shown(const WindowLock&, const Window& window) const;
    // The screen position of the window's top-left corner and of its client area's.
    POINT window_origin(const WindowLock&, const Window& window) const;
    POINT client_origin(const WindowLock&, const Window& window) const;
    // Pre-order over the window and its descendants (parents before children, siblings from the
    // bottom of the z-order up: the order in which they are painted).
    void walk(const WindowLock&, HWND root, const std::function<void(Window&)>& visit) const;
    // The deepest visible window under a screen point, skipping disabled children (their parent
    // takes the stylus, as on the device) but not disabled top-level windows.
    Window* window_at(const WindowLock&, POINT screen) const;

    HWND active(const WindowLock&) const { return m_active; }
    HWND focus(const WindowLock&) const { return m_focus; }
    HWND capture(const WindowLock&) const { return m_capture; }
    void set_active(const WindowLock&, HWND window) { m_active = window; }
    void set_focus(const WindowLock&, HWND window) { m_focus = window; }
    void set_capture(const WindowLock&, HWND window) { m_capture = window; }

  private:
    WindowSystem() = default;

    void unlink(const WindowLock&, Window& window);
    void insert_top_level(const WindowLock&, HWND handle, bool topmost);
    Window* child_at(const WindowLock&, Window& parent, POINT screen) const;

    std::mutex m_mutex;
    HandleTable<std::shared_ptr<Window>> m_windows;
    std::vector<HWND> m_top_levels;
    ClassRegistry m_classes;
    HWND m_active;
    HWND m_focus;
    HWND m_capture;
};

} // namespace handset
