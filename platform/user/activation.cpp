#include "user/activation.h"

#include "user/dialog_state.h"

#include "user/invalidation.h"
#include "user/message_sender.h"
#include "user/window_system.h"

namespace handset {

namespace {

bool can_take_activation(const Window& window) {
    return window.takes_activation && !window.destroying && !window.is_child() &&
           !window.foreign_token && window.visible() && window.enabled();
}

// Raises the window and invalidates what of it was covered before.
void bring_to_top(const WindowLock& lock, Window& window) {
    const ClipRegion before = visible_region(lock, window, false);
    WindowSystem::instance().raise(lock, window);
    ClipRegion uncovered = visible_region(lock, window, false);
    for (const RECT& part : before.rects()) {
        uncovered.subtract(part);
    }
    for (const RECT& part : uncovered.rects()) {
        expose(lock, part);
    }
}

void remember_as_last_active_popup(const WindowLock& lock, const Window& window) {
    WindowSystem& system = WindowSystem::instance();
    for (Window* owner = system.find(lock, window.owner); owner != nullptr;
         owner = system.find(lock, owner->owner)) {
        owner->last_active_popup = window.handle;
    }
}

} // namespace

HWND activate(HWND window, WORD how) {
    WindowSystem& system = WindowSystem::instance();
    HWND previous;
    HWND lost_focus;
    {
        WindowLock lock = system.lock();
        Window* entry = system.find(lock, window);
        if (window && (entry == nullptr || entry->is_child() || entry->foreign_token)) {
            return HWND();
        }
        previous = system.active(lock);
        if (previous == window) {
            return previous;
        }
        if (entry != nullptr) {
            bring_to_top(lock, *entry);
            remember_as_last_active_popup(lock, *entry);
        }
        system.set_active(lock, window);
        Window* focus = system.find(lock, system.focus(lock));
        if (focus != nullptr && system.root_of(lock, *focus).handle != window) {
            lost_focus = focus->handle;
            system.set_focus(lock, HWND());
        }
    }
    if (lost_focus) {
        send_message(lost_focus, WM_KILLFOCUS, 0, 0);
    }
    if (previous) {
        send_message(previous, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0),
                     static_cast<LPARAM>(window.value()));
    }
    if (window) {
        send_message(window, WM_ACTIVATE, MAKEWPARAM(how, 0),
                     static_cast<LPARAM>(previous.value()));
    }
    return previous;
}

void activate_successor(HWND leaving) {
    WindowSystem& system = WindowSystem::instance();
    HWND successor;
    {
        WindowLock lock = system.lock();
        Window* window = system.find(lock, leaving);
        if (window == nullptr) {
            return;
        }
        Window* active = system.find(lock, system.active(lock));
        const bool holds_activation =
            active != nullptr && (active == window || system.is_descendant(lock, *active, leaving));
        if (!holds_activation) {
            return;
        }
        Window* owner = system.find(lock, window->owner);
        if (owner != nullptr && can_take_activation(*owner)) {
            successor = owner->handle;
        } else {
            for (HWND top : system.top_levels(lock)) {
                Window* candidate = system.find(lock, top);
                if (top != leaving && can_take_activation(*candidate)) {
                    successor = top;
                    break;
                }
            }
        }
    }
    activate(successor, WA_ACTIVE);
}

HWND set_focus(HWND window) {
    WindowSystem& system = WindowSystem::instance();
    if (window) {
        HWND root;
        {
            WindowLock lock = system.lock();
            Window* entry = system.find(lock, window);
            if (entry == nullptr || entry->foreign_token) {
                return HWND();
            }
            Window& top = system.root_of(lock, *entry);
            if (!top.visible() && top.dialog) {
                // A dialog still being set up (in WM_INITDIALOG): the control gets the focus
                // when the dialog shows and is activated.
                top.dialog->saved_focus = window;
                return system.focus(lock);
            }
            root = system.active(lock) == top.handle ? HWND() : top.handle;
        }
        if (root) {
            activate(root, WA_ACTIVE);
        }
    }
    HWND previous;
    {
        WindowLock lock = system.lock();
        if (window && system.find(lock, window) == nullptr) {
            return HWND();
        }
        previous = system.focus(lock);
        if (previous == window) {
            return previous;
        }
        system.set_focus(lock, window);
    }
    if (previous) {
        send_message(previous, WM_KILLFOCUS, static_cast<WPARAM>(window.value()), 0);
    }
    if (window) {
        send_message(window, WM_SETFOCUS, static_cast<WPARAM>(previous.value()), 0);
    }
    return previous;
}

void drop_focus_inside(HWND window) {
    WindowSystem& system = WindowSystem::instance();
    {
        WindowLock lock = system.lock();
        Window* focus = system.find(lock, system.focus(lock));
        if (focus == nullptr || !system.is_descendant(lock, *focus, window)) {
            return;
        }
    }
    set_focus(HWND());
}

} // namespace handset
