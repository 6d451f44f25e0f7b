#include "user/window_lifecycle.h"

#include "base/utf.h"
#include "gdi/screen.h"
#include "user/activation.h"
#include "user/errors.h"
#include "user/foreign_windows.h"
#include "user/invalidation.h"
#include "user/message_sender.h"
#include "user/thread_queue.h"
#include "user/window_placement.h"
#include "user/window_system.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace handset {

namespace {

std::string describe_class_name(LPCWSTR name) {
    if (name == nullptr) {
        return "(none)";
    }
    if (IS_INTRESOURCE(name)) {
        return "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name));
    }
    return "\"" + utf16_to_utf8(name) + "\"";
}

// CW_USEDEFAULT places a top-level window at the screen's corner and sizes it to the screen; a
// child gets 0.
RECT initial_rect(const WindowRequest& request) {
    const bool child = (request.style & WS_CHILD) != 0;
    const ScreenProfile screen = Screen::instance().profile();
    int x = request.x;
    int y = request.y;
    int width = request.width;
    int height = request.height;
    if (x == CW_USEDEFAULT) {
        x = 0;
        y = 0;
    }
    if (width == CW_USEDEFAULT) {
        width = child ? 0 : screen.width;
        height = child ? 0 : screen.height;
    }
    return RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
}

// Enters the new window in the table; 0 after reporting why not.
HWND enter_window(const WindowRequest& request) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    std::shared_ptr<WindowClass> window_class = system.classes(lock).find(request.class_name);
    if (!window_class) {
        lock.unlock();
        const std::string what = "no window class " + describe_class_name(request.class_name);
        fail(ERROR_CANNOT_FIND_WND_CLASS, "CreateWindowEx", what.c_str());
        return HWND();
    }
    Window* parent = system.find(lock, request.parent);
    const bool child = (request.style & WS_CHILD) != 0;
    if ((request.parent && (parent == nullptr || parent->foreign_token)) ||
        (child && parent == nullptr)) {
        lock.unlock();
        if (request.parent) {
            fail_bad_window("CreateWindowEx", request.parent);
        } else {
            fail(ERROR_TLW_WITH_WSCHILD, "CreateWindowEx", "a child window needs a parent");
        }
        return HWND();
    }
    auto window = std::make_shared<Window>();
    window->window_class = window_class;
    window->procedure = window_class->procedure;
    window->style = request.style & ~static_cast<DWORD>(WS_VISIBLE);
    window->ex_style = request.ex_style;
    window->instance = request.instance;
    window->rect = initial_rect(request);
    window->extra.assign(static_cast<size_t>(window_class->window_extra), 0);
    window->queue = current_queue();
    window->dialog = request.dialog;
    window->takes_activation = request.takes_activation;
    if (child) {
        window->parent = request.parent;
        window->id = static_cast<UINT_PTR>(request.menu.value());
    } else if (parent != nullptr) {
        window->owner = system.root_of(lock, *parent).handle;
    }
    const HWND handle = system.insert(lock, std::move(window));
    if (!handle) {
        lock.unlock();
        fail(ERROR_NOT_ENOUGH_MEMORY, "CreateWindowEx", "the window table is full");
        return HWND();
    }
    ++window_class->window_count;
    return handle;
}

// Takes one window out of the table. What the table held is handed back, to be let go of
// outside the lock (a dialog's state deletes its font then).
std::shared_ptr<Window> leave_table(const WindowLock& lock, HWND handle) {
    std::shared_ptr<Window> removed = WindowSystem::instance().erase(lock, handle);
    if (removed) {
        --removed->window_class->window_count;
        if (removed->queue) {
            removed->queue->abandon_sends_to(handle);
        }
    }
    return removed;
}

std::vector<HWND> children_of(HWND window) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    const Window* entry = system.find(lock, window);
    return entry != nullptr ? entry->children : std::vector<HWND>();
}

void send_destroy(HWND window) {
    send_message(window, WM_DESTROY, 0, 0);
    for (HWND child : children_of(window)) {
        {
            WindowSystem& system = WindowSystem::instance();
            WindowLock lock = system.lock();
            Window* entry = system.find(lock, child);
            if (entry == nullptr) {
                continue;
            }
            entry->destroying = true;
        }
        send_destroy(child);
    }
}

void free_subtree(HWND window) {
    for (HWND child : children_of(window)) {
        free_subtree(child);
    }
    send_message(window, WM_NCDESTROY, 0, 0);
    std::shared_ptr<Window> removed;
    {
        WindowSystem& system = WindowSystem::instance();
        WindowLock lock = system.lock();
        removed = leave_table(lock, window);
    }
}

// Hides a window that is being destroyed, without WM_SHOWWINDOW, as the device does.
void hide_for_destruction(HWND window) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    Window* entry = system.find(lock, window);
    if (entry == nullptr || !entry->visible()) {
        return;
    }
    const RECT old_screen_area = screen_rect(lock, *entry);
    entry->style &= ~static_cast<DWORD>(WS_VISIBLE);
    if (!entry->is_child()) {
        expose(lock, old_screen_area);
    } else if (Window* parent = system.find(lock, entry->parent)) {
        invalidate_client(lock, *parent, &entry->rect, true);
    }
}

void release_capture_inside(HWND window) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    Window* capture = system.find(lock, system.capture(lock));
    if (capture != nullptr && system.is_descendant(lock, *capture, window)) {
        system.set_capture(lock, HWND());
    }
}

// The windows of a thread, and what hangs below them, in the order they leave the table:
// children before their parents.
void collect_subtree(const WindowLock& lock, HWND window, std::vector<HWND>& order) {
    Window* entry = WindowSystem::instance().find(lock, window);
    for (HWND child : entry->children) {
        collect_subtree(lock, child, order);
    }
    order.push_back(window);
}

// The control object of a window that never got WM_NCDESTROY; the thread that ran the window's
// procedure has ended, so no handler is still using it.
void release_class_object(const Window& window) {
    LONG_PTR object = 0;
    if (window.window_class->release_object == nullptr || window.extra.size() < sizeof(object)) {
        return;
    }
    std::memcpy(&object, window.extra.data(), sizeof(object));
    if (object != 0) {
        window.window_class->release_object(object);
    }
}

void collect_windows_of(const WindowLock& lock, HWND window, const MessageQueue& queue,
                        std::vector<HWND>& order) {
    Window* entry = WindowSystem::instance().find(lock, window);
    if (entry->queue.get() == &queue) {
        collect_subtree(lock, window, order);
        return;
    }
    for (HWND child : entry->children) {
        collect_windows_of(lock, child, queue, order);
    }
}

// The window entered and told it was created; 0 when it was refused.
HWND create_in_table(const WindowRequest& request) {
    const HWND window = enter_window(request);
    if (!window) {
        return window;
    }
    RECT rect;
    RECT client;
    {
        WindowSystem& system = WindowSystem::instance();
        WindowLock lock = system.lock();
        Window* entry = system.find(lock, window);
        rect = entry->rect;
        client = entry->client_in_window();
    }
    CREATESTRUCTW create{};
    create.lpCreateParams = request.parameter;
    create.hInstance = request.instance;
    create.hMenu = request.menu;
    create.hwndParent = request.parent;
    create.cy = rect.bottom - rect.top;
    create.cx = rect.right - rect.left;
    create.y = rect.top;
    create.x = rect.left;
    create.style = static_cast<LONG>(request.style);
    create.lpszName = request.title;
    create.lpszClass = request.class_name;
    create.dwExStyle = request.ex_style;
    const LPARAM create_record = reinterpret_cast<LPARAM>(&create);
    if (!call_procedure(window, WM_NCCREATE, 0, create_record)) {
        free_subtree(window);
        return HWND();
    }
    if (call_procedure(window, WM_CREATE, 0, create_record) == -1) {
        destroy_window(window);
        return HWND();
    }
    call_procedure(window, WM_SIZE, SIZE_RESTORED,
                   MAKELPARAM(client.right - client.left, client.bottom - client.top));
    call_procedure(window, WM_MOVE, 0, MAKELPARAM(rect.left + client.left, rect.top + client.top));
    if ((request.style & WS_VISIBLE) != 0) {
        show_window(window, SW_SHOW);
    }
    return window;
}

} // namespace

HWND create_window(const WindowRequest& request) {
    const HWND window = create_in_table(request);
    if ((request.style & WS_CHILD) == 0) {
        top_level_window_created();
    }
    return window;
}

BOOL destroy_window(HWND window) {
    std::vector<HWND> owned;
    {
        WindowSystem& system = WindowSystem::instance();
        WindowLock lock = system.lock();
        Window* entry = system.find_local(lock, window, "DestroyWindow");
        if (entry == nullptr) {
            return FALSE;
        }
        if (entry->queue != current_queue()) {
            lock.unlock();
            fail(ERROR_ACCESS_DENIED, "DestroyWindow", "the window belongs to another thread");
            return FALSE;
        }
        if (entry->destroying) {
            return TRUE;
        }
        entry->destroying = true;
        for (HWND top : system.top_levels(lock)) {
            Window* other = system.find(lock, top);
            if (other->owner == window) {
                if (other->queue == entry->queue) {
                    owned.push_back(top);
                } else {
                    other->owner = HWND();
                }
            }
        }
    }
    for (HWND each : owned) {
        destroy_window(each);
    }
    hide_for_destruction(window);
    activate_successor(window);
    drop_focus_inside(window);
    release_capture_inside(window);
    send_destroy(window);
    free_subtree(window);
    return TRUE;
}

void forget_windows_of(MessageQueue& queue) {
    std::vector<std::shared_ptr<Window>> removed;
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    std::vector<HWND> order;
    const std::vector<HWND> tops = system.top_levels(lock);
    for (HWND top : tops) {
        collect_windows_of(lock, top, queue, order);
    }
    for (HWND window : order) {
        Window* entry = system.find(lock, window);
        if (entry->visible() && system.is_shown(lock, *entry)) {
            const RECT area = screen_rect(lock, *entry);
            entry->style &= ~static_cast<DWORD>(WS_VISIBLE);
            expose(lock, area);
        }
        removed.push_back(leave_table(lock, window));
    }
    lock.unlock();
    for (const std::shared_ptr<Window>& window : removed) {
        release_class_object(*window);
    }
    removed.clear();
}

} // namespace handset
