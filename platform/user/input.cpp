#include "user/input.h"

#include "user/input_state.h"
#include "user/message_pump.h"
#include "user/window_system.h"

#include <winuser.h>

#include <atomic>

namespace handset {

namespace {

std::atomic<bool> g_stylus_down{false};

struct Target {
    std::shared_ptr<MessageQueue> queue;
    HWND window;
    POINT client{};
};

Target stylus_target(POINT screen) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    Window* window = system.find(lock, system.capture(lock));
    if (window == nullptr) {
        window = system.window_at(lock, screen);
        if (window == nullptr || !system.root_of(lock, *window).enabled()) {
            return Target{};
        }
    }
    const POINT origin = system.client_origin(lock, *window);
    return Target{window->queue, window->handle, POINT{screen.x - origin.x, screen.y - origin.y}};
}

Target keyboard_target() {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    Window* window = system.find(lock, system.focus(lock));
    if (window == nullptr) {
        window = system.find(lock, system.active(lock));
    }
    if (window == nullptr || window->foreign_token) {
        return Target{};
    }
    return Target{window->queue, window->handle, POINT{}};
}

void post_stylus(UINT message, WPARAM keys, POINT screen) {
    set_stylus_position(screen);
    const Target target = stylus_target(screen);
    if (target.queue) {
        target.queue->post_input(stamped_message(
            target.window, message, keys,
            MAKELPARAM(static_cast<WORD>(target.client.x), static_cast<WORD>(target.client.y))));
    }
}

void post_key(UINT message, WPARAM wparam, LPARAM lparam) {
    const Target target = keyboard_target();
    if (target.queue) {
        target.queue->post_input(stamped_message(target.window, message, wparam, lparam));
    }
}

} // namespace

void inject_stylus_down(POINT screen) {
    g_stylus_down = true;
    post_stylus(WM_LBUTTONDOWN, MK_LBUTTON, screen);
}

void inject_stylus_move(POINT screen) {
    post_stylus(WM_MOUSEMOVE, g_stylus_down ? MK_LBUTTON : 0, screen);
}

void inject_stylus_up(POINT screen) {
    g_stylus_down = false;
    post_stylus(WM_LBUTTONUP, 0, screen);
}

void inject_key(UINT virtual_key, bool down) {
    set_key_held(virtual_key, down);
    // The repeat count of 1 in the low word; a release also has the previous-state and
    // transition bits.
    const LPARAM flags = down ? 1 : static_cast<LPARAM>(0xC0000001u);
    post_key(down ? WM_KEYDOWN : WM_KEYUP, virtual_key, flags);
}

void inject_character(WCHAR character) {
    post_key(WM_CHAR, character, 1);
}

bool inject_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    std::shared_ptr<MessageQueue> queue;
    {
        WindowSystem& system = WindowSystem::instance();
        WindowLock lock = system.lock();
        const Window* entry = system.find(lock, window);
        if (entry == nullptr || entry->foreign_token) {
            return false;
        }
        queue = entry->queue;
    }
    return queue->post_input(stamped_message(window, message, wparam, lparam));
}

} // namespace handset
