// Enabling windows, activation, the keyboard focus and the stylus capture.
#include "user/activation.h"
#include "user/errors.h"
#include "user/foreign_windows.h"
#include "user/message_sender.h"
#include "user/thread_queue.h"
#include "user/window_system.h"

namespace handset {

namespace {

// The window, if it belongs to the calling thread (GetFocus, GetActiveWindow and GetCapture
// answer for the caller's own windows only).
HWND if_own(const WindowLock& lock, HWND window) {
    const Window* entry = WindowSystem::instance().find(lock, window);
    return entry != nullptr && entry->queue == current_queue() ? window : HWND();
}

// For SetForegroundWindow with the lowest bit set: the window's last active owned popup, when it
// is still there to come forward.
HWND forward_target(const WindowLock& lock, const Window& window) {
    const Window* popup = WindowSystem::instance().find(lock, window.last_active_popup);
    if (popup != nullptr && popup->visible() && !popup->destroying) {
        return popup->handle;
    }
    return window.handle;
}

} // namespace

} // namespace handset

using namespace handset;

BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
    bool was_disabled;
    bool changed;
    {
        WindowSystem& system = WindowSystem::instance();
        WindowLock lock = system.lock();
        Window* window = system.find_local(lock, hWnd, "EnableWindow");
        if (window == nullptr) {
            return FALSE;
        }
        was_disabled = !window->enabled();
        changed = was_disabled == (bEnable != FALSE);
        if (bEnable) {
            window->style &= ~static_cast<DWORD>(WS_DISABLED);
        } else {
            window->style |= WS_DISABLED;
        }
    }
    if (changed) {
        if (!bEnable) {
            // A disabled window takes no input: the focus and the capture leave it. A disabled
            // top-level window keeps its activation, as an owner under its modal dialog does
            // until the dialog takes it.
            drop_focus_inside(hWnd);
            WindowSystem& system = WindowSystem::instance();
            WindowLock lock = system.lock();
            Window* capture = system.find(lock, system.capture(lock));
            if (capture != nullptr && system.is_descendant(lock, *capture, hWnd)) {
                system.set_capture(lock, HWND());
            }
        }
        send_message(hWnd, WM_ENABLE, bEnable ? TRUE : FALSE, 0);
    }
    return was_disabled ? TRUE : FALSE;
}

HWND WINAPI SetFocus(HWND hWnd) {
    if (hWnd && !IsWindow(hWnd)) {
        fail_bad_window("SetFocus", hWnd);
        return HWND();
    }
    return set_focus(hWnd);
}

HWND WINAPI GetFocus() {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    return if_own(lock, system.focus(lock));
}

HWND WINAPI SetActiveWindow(HWND hWnd) {
    return activate(hWnd, WA_ACTIVE);
}

HWND WINAPI GetActiveWindow() {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    return if_own(lock, system.active(lock));
}

BOOL WINAPI SetForegroundWindow(HWND hWnd) {
    const bool last_active_popup = (hWnd.value() & 1u) != 0;
    const HWND window(hWnd.value() & ~1u);
    HWND target;
    {
        WindowSystem& system = WindowSystem::instance();
        WindowLock lock = system.lock();
        Window* entry = system.find(lock, window);
        if (entry == nullptr) {
            lock.unlock();
            fail_bad_window("SetForegroundWindow", window);
            return FALSE;
        }
        if (entry->foreign_token) {
            const uint64_t token = *entry->foreign_token;
            lock.unlock();
            return set_foreign_foreground(window, token, last_active_popup);
        }
        Window& root = system.root_of(lock, *entry);
        target = last_active_popup ? forward_target(lock, root) : root.handle;
    }
    activate(target, WA_ACTIVE);
    return TRUE;
}

HWND WINAPI GetForegroundWindow() {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    return system.active(lock);
}

HWND WINAPI SetCapture(HWND hWnd) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    const HWND previous = system.capture(lock);
    if (system.find(lock, hWnd) == nullptr) {
        lock.unlock();
        fail_bad_window("SetCapture", hWnd);
        return HWND();
    }
    system.set_capture(lock, hWnd);
    return if_own(lock, previous);
}

BOOL WINAPI ReleaseCapture() {
    HWND released;
    {
        WindowSystem& system = WindowSystem::instance();
        WindowLock lock = system.lock();
        released = system.capture(lock);
        system.set_capture(lock, HWND());
    }
    if (released) {
        send_message(released, WM_CAPTURECHANGED, 0, 0);
    }
    return TRUE;
}

HWND WINAPI GetCapture() {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    return if_own(lock, system.capture(lock));
}
