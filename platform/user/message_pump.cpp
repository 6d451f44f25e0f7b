#include "user/message_pump.h"

#include "user/input_state.h"
#include "user/invalidation.h"
#include "user/message_sender.h"
#include "user/thread_queue.h"
#include "user/window_system.h"

#include <winbase.h>

namespace handset {

namespace {

std::optional<HWND> window_to_paint(const MessageFilter& filter, const MessageQueue& queue) {
    if (!filter.accepts_message(WM_PAINT)) {
        return std::nullopt;
    }
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    if (filter.window) {
        Window* window = system.find(lock, filter.window);
        if (window != nullptr && window->queue.get() == &queue && needs_paint(*window) &&
            system.is_shown(lock, *window)) {
            return window->handle;
        }
        return std::nullopt;
    }
    if (Window* window = next_window_to_paint(lock, queue)) {
        return window->handle;
    }
    return std::nullopt;
}

bool is_keyboard_input(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR;
}

// Keys go to the window that has the focus when they are read, not when they were pressed: a tap
// queued before them may move the focus to another field of this thread.
void retarget_keyboard_input(MSG& message, const MessageQueue& queue) {
    if (!is_keyboard_input(message.message)) {
        return;
    }
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    const Window* focus = system.find(lock, system.focus(lock));
    if (focus != nullptr && focus->queue.get() == &queue) {
        message.hwnd = focus->handle;
    }
}

MSG taken(MSG message) {
    MessageStamp& stamp = current_message_stamp();
    stamp.time = message.time;
    stamp.position = message.pt;
    return message;
}

} // namespace

MSG stamped_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    MSG stamped{};
    stamped.hwnd = window;
    stamped.message = message;
    stamped.wParam = wparam;
    stamped.lParam = lparam;
    stamped.time = GetTickCount();
    stamped.pt = stylus_position();
    return stamped;
}

std::optional<MSG> next_message(const MessageFilter& filter, Removal removal, Waiting waiting) {
    MessageQueue& queue = *current_queue();
    const bool remove = removal == Removal::remove;
    for (;;) {
        const uint64_t seen = queue.activity();
        if (run_incoming_sends(queue)) {
            continue;
        }
        MSG message;
        if (queue.take_posted(filter, remove, message)) {
            return taken(message);
        }
        if (queue.take_input(filter, remove, message)) {
            retarget_keyboard_input(message, queue);
            return taken(message);
        }
        if (std::optional<int> exit_code = queue.quit_request(filter, remove)) {
            return taken(stamped_message(HWND(), WM_QUIT, static_cast<WPARAM>(*exit_code), 0));
        }
        if (std::optional<HWND> window = window_to_paint(filter, queue)) {
            return taken(stamped_message(*window, WM_PAINT, 0, 0));
        }
        if (waiting == Waiting::return_at_once) {
            return std::nullopt;
        }
        queue.wait_for_activity(seen);
    }
}

} // namespace handset
