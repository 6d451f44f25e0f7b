#include "user/window_placement.h"

#include "gdi/rect_math.h"
#include "user/activation.h"
#include "user/errors.h"
#include "user/invalidation.h"
#include "user/message_sender.h"
#include "user/window_system.h"

#include <algorithm>

namespace handset {

namespace {

// Invalidates the window and every shown descendant, frames included.
void invalidate_tree(const WindowLock& lock, Window& window) {
    WindowSystem& system = WindowSystem::instance();
    system.walk(lock, window.handle, [&](Window& each) {
        if (system.is_shown(lock, each)) {
            invalidate_window(lock, each);
        }
    });
}

// Repaints what the window covered at `old_screen_area` before it moved away or hid.
void uncover(const WindowLock& lock, Window& window, const RECT& old_screen_area,
             const RECT& old_rect) {
    WindowSystem& system = WindowSystem::instance();
    if (!window.is_child()) {
        expose(lock, old_screen_area);
        return;
    }
    if (Window* parent = system.find(lock, window.parent)) {
        invalidate_client(lock, *parent, &old_rect, true);
    }
}

bool begin_show(int command, bool& show, bool& take_activation) {
    switch (command) {
    case SW_HIDE:
        show = false;
        take_activation = false;
        return true;
    case SW_SHOWNORMAL:
    case SW_SHOW:
        show = true;
        take_activation = true;
        return true;
    case SW_SHOWNA:
    case SW_SHOWNOACTIVATE:
        show = true;
        take_activation = false;
        return true;
    default:
        fail(ERROR_INVALID_PARAMETER, "ShowWindow", "unknown show command");
        return false;
    }
}

// The restacking part of SetWindowPos.
void restack(const WindowLock& lock, Window& window, HWND insert_after) {
    WindowSystem& system = WindowSystem::instance();
    if (window.is_child()) {
        system.restack_child(lock, window, insert_after);
        return;
    }
    if (insert_after == HWND_TOPMOST) {
        window.ex_style |= WS_EX_TOPMOST;
    } else if (insert_after == HWND_NOTOPMOST) {
        window.ex_style &= ~static_cast<DWORD>(WS_EX_TOPMOST);
    }
    if (insert_after == HWND_BOTTOM) {
        system.lower(lock, window);
    } else {
        system.raise(lock, window);
    }
}

} // namespace

BOOL show_window(HWND window, int command) {
    bool show = false;
    bool take_activation = false;
    if (!begin_show(command, show, take_activation)) {
        return FALSE;
    }
    WindowSystem& system = WindowSystem::instance();
    bool was_visible;
    bool top_level;
    {
        WindowLock lock = system.lock();
        Window* entry = system.find_local(lock, window, "ShowWindow");
        if (entry == nullptr) {
            return FALSE;
        }
        was_visible = entry->visible();
        top_level = !entry->is_child();
        // Popup menus and the shell's bands show without ever taking the activation from the
        // window the person works in.
        take_activation = take_activation && entry->takes_activation;
        if (was_visible == show) {
            const bool reactivate = show && command == SW_SHOWNORMAL && top_level &&
                                    take_activation && system.active(lock) != window;
            lock.unlock();
            if (reactivate) {
                activate(window, WA_ACTIVE);
            }
            return was_visible ? TRUE : FALSE;
        }
    }
    send_message(window, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    {
        WindowLock lock = system.lock();
        Window* entry = system.find(lock, window);
        if (entry == nullptr) {
            return was_visible ? TRUE : FALSE;
        }
        if (show) {
            entry->style |= WS_VISIBLE;
            invalidate_tree(lock, *entry);
        } else {
            const RECT old_screen_area = screen_rect(lock, *entry);
            entry->style &= ~static_cast<DWORD>(WS_VISIBLE);
            uncover(lock, *entry, old_screen_area, entry->rect);
        }
    }
    if (!show) {
        activate_successor(window);
        drop_focus_inside(window);
    } else if (take_activation && top_level) {
        activate(window, WA_ACTIVE);
    }
    return was_visible ? TRUE : FALSE;
}

BOOL set_window_pos(HWND window, HWND insert_after, int x, int y, int width, int height,
                    UINT flags) {
    WindowSystem& system = WindowSystem::instance();
    bool moved;
    bool sized;
    bool hidden = false;
    bool activate_it = false;
    RECT client{};
    POINT client_origin{};
    {
        WindowLock lock = system.lock();
        Window* entry = system.find_local(lock, window, "SetWindowPos");
        if (entry == nullptr) {
            return FALSE;
        }
        const RECT old_rect = entry->rect;
        const RECT old_screen_area = screen_rect(lock, *entry);
        const bool was_visible = entry->visible();
        RECT rect = old_rect;
        if ((flags & SWP_NOMOVE) == 0) {
            rect = offset_rect(rect, x - rect.left, y - rect.top);
        }
        if ((flags & SWP_NOSIZE) == 0) {
            rect.right = rect.left + std::max(width, 0);
            rect.bottom = rect.top + std::max(height, 0);
        }
        moved = rect.left != old_rect.left || rect.top != old_rect.top;
        sized = (rect.right - rect.left) != (old_rect.right - old_rect.left) ||
                (rect.bottom - rect.top) != (old_rect.bottom - old_rect.top);
        entry->rect = rect;
        if ((flags & SWP_NOZORDER) == 0) {
            restack(lock, *entry, insert_after);
        }
        if ((flags & SWP_SHOWWINDOW) != 0) {
            entry->style |= WS_VISIBLE;
        } else if ((flags & SWP_HIDEWINDOW) != 0) {
            entry->style &= ~static_cast<DWORD>(WS_VISIBLE);
        }
        hidden = was_visible && !entry->visible();
        const bool changed = moved || sized || (flags & SWP_NOZORDER) == 0 ||
                             was_visible != entry->visible() || (flags & SWP_FRAMECHANGED) != 0;
        if ((flags & SWP_NOREDRAW) == 0 && changed) {
            if (was_visible) {
                uncover(lock, *entry, old_screen_area, old_rect);
            }
            if (entry->visible()) {
                invalidate_tree(lock, *entry);
            }
        }
        client = entry->client_in_window();
        client_origin = POINT{rect.left + client.left, rect.top + client.top};
        activate_it = (flags & SWP_NOACTIVATE) == 0 && !entry->is_child() && entry->visible() &&
                      entry->takes_activation;
    }
    if (moved) {
        send_message(window, WM_MOVE, 0, MAKELPARAM(client_origin.x, client_origin.y));
    }
    if (sized) {
        send_message(window, WM_SIZE, SIZE_RESTORED,
                     MAKELPARAM(client.right - client.left, client.bottom - client.top));
    }
    if (hidden) {
        activate_successor(window);
        drop_focus_inside(window);
    } else if (activate_it) {
        activate(window, WA_ACTIVE);
    }
    return TRUE;
}

} // namespace handset
