#include "user/window_system.h"

#include "user/builtin_classes.h"
#include "user/errors.h"

#include <algorithm>

namespace handset {

namespace {

// Window handles keep their lowest bit clear: the table's handle shifted left by one.
uint32_t table_handle(HWND window) {
    return (window.value() & 1u) != 0 ? 0 : window.value() >> 1;
}

HWND window_handle(uint32_t table_value) {
    return HWND(table_value << 1);
}

bool contains(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
}

void erase_from(std::vector<HWND>& list, HWND handle) {
    list.erase(std::remove(list.begin(), list.end(), handle), list.end());
}

} // namespace

WindowSystem& WindowSystem::instance() {
    // Never destroyed: threads that end during the process's exit still reach it.
    static WindowSystem* system = [] {
        auto* created = new WindowSystem();
        register_builtin_classes(created->m_classes);
        return created;
    }();
    return *system;
}

Window* WindowSystem::find(const WindowLock&, HWND handle) const {
    const uint32_t value = table_handle(handle);
    if (value == 0) {
        return nullptr;
    }
    std::optional<std::shared_ptr<Window>> found = m_windows.find(value);
    return found ? found->get() : nullptr;
}

Window* WindowSystem::find_local(const WindowLock& lock, HWND handle, const char* function) const {
    Window* window = find(lock, handle);
    if (window == nullptr) {
        fail_bad_window(function, handle);
        return nullptr;
    }
    if (window->foreign_token) {
        fail(ERROR_ACCESS_DENIED, function, "the window belongs to another process");
        return nullptr;
    }
    return window;
}

HWND WindowSystem::insert(const WindowLock& lock, std::shared_ptr<Window> window) {
    Window& entry = *window;
    const uint32_t value = m_windows.add(std::move(window));
    if (value == 0) {
        return HWND();
    }
    entry.handle = window_handle(value);
    if (entry.foreign_token) {
        return entry.handle;
    }
    if (entry.is_child()) {
        Window* parent = find(lock, entry.parent);
        parent->children.push_back(entry.handle);
    } else {
        insert_top_level(lock, entry.handle, (entry.ex_style & WS_EX_TOPMOST) != 0);
    }
    return entry.handle;
}

std::shared_ptr<Window> WindowSystem::erase(const WindowLock& lock, HWND handle) {
    Window* window = find(lock, handle);
    if (window == nullptr) {
        return nullptr;
    }
    unlink(lock, *window);
    for (HWND top : m_top_levels) {
        Window* other = find(lock, top);
        if (other->owner == handle) {
            other->owner = HWND();
        }
        if (other->last_active_popup == handle) {
            other->last_active_popup = HWND();
        }
    }
    if (m_active == handle) {
        m_active = HWND();
    }
    if (m_focus == handle) {
        m_focus = HWND();
    }
    if (m_capture == handle) {
        m_capture = HWND();
    }
    std::optional<std::shared_ptr<Window>> removed = m_windows.remove(table_handle(handle));
    return removed ? *removed : nullptr;
}

void WindowSystem::unlink(const WindowLock& lock, Window& window) {
    if (window.is_child()) {
        if (Window* parent = find(lock, window.parent)) {
            erase_from(parent->children, window.handle);
        }
    } else {
        erase_from(m_top_levels, window.handle);
    }
}

void WindowSystem::insert_top_level(const WindowLock& lock, HWND handle, bool topmost) {
    auto position = m_top_levels.begin();
    if (!topmost) {
        position = std::find_if(m_top_levels.begin(), m_top_levels.end(), [&](HWND other) {
            return (find(lock, other)->ex_style & WS_EX_TOPMOST) == 0;
        });
    }
    m_top_levels.insert(position, handle);
}

void WindowSystem::raise(const WindowLock& lock, Window& window) {
    if (window.is_child() || window.foreign_token) {
        return;
    }
    erase_from(m_top_levels, window.handle);
    insert_top_level(lock, window.handle, (window.ex_style & WS_EX_TOPMOST) != 0);
    // Owned windows stay above their owner. Collect first: raising reorders the list.
    std::vector<HWND> owned;
    for (HWND other : m_top_levels) {
        if (find(lock, other)->owner == window.handle) {
            owned.push_back(other);
        }
    }
    for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
        raise(lock, *find(lock, *it));
    }
}

void WindowSystem::lower(const WindowLock& lock, Window& window) {
    if (window.is_child() || window.foreign_token) {
        return;
    }
    erase_from(m_top_levels, window.handle);
    if ((window.ex_style & WS_EX_TOPMOST) != 0) {
        insert_top_level(lock, window.handle, false);
        return;
    }
    m_top_levels.push_back(window.handle);
}

void WindowSystem::restack_child(const WindowLock& lock, Window& child, HWND after) {
    Window* parent = find(lock, child.parent);
    if (parent == nullptr) {
        return;
    }
    std::vector<HWND>& siblings = parent->children;
    erase_from(siblings, child.handle);
    if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
        siblings.insert(siblings.begin(), child.handle);
        return;
    }
    auto position = std::find(siblings.begin(), siblings.end(), after);
    if (after == HWND_BOTTOM || position == siblings.end()) {
        siblings.push_back(child.handle);
        return;
    }
    siblings.insert(position + 1, child.handle);
}

Window& WindowSystem::root_of(const WindowLock& lock, Window& window) const {
    Window* current = &window;
    while (current->is_child()) {
        Window* parent = find(lock, current->parent);
        if (parent == nullptr) {
            break;
        }
        current = parent;
    }
    return *current;
}

bool WindowSystem::is_descendant(const WindowLock& lock, const Window& window,
                                 HWND ancestor) const {
    const Window* current = &window;
    while (current != nullptr) {
        if (current->handle == ancestor) {
            return true;
        }
        current = current->is_child() ? find(lock, current->parent) : nullptr;
    }
    return false;
}

bool WindowSystem::is_shown(const WindowLock& lock, const Window& window) const {
    const Window* current = &window;
    while (current != nullptr) {
        if (!current->visible()) {
            return false;
        }
        current = current->is_child() ? find(lock, current->parent) : nullptr;
    }
    return true;
}

POINT WindowSystem::window_origin(const WindowLock& lock, const Window& window) const {
    POINT origin{window.rect.left, window.rect.top};
    if (window.is_child()) {
        if (const Window* parent = find(lock, window.parent)) {
            const POINT parent_client = client_origin(lock, *parent);
            origin.x += parent_client.x;
            origin.y += parent_client.y;
        }
    }
    return origin;
}

POINT WindowSystem::client_origin(const WindowLock& lock, const Window& window) const {
    POINT origin = window_origin(lock, window);
    const RECT client = window.client_in_window();
    return POINT{origin.x + client.left, origin.y + client.top};
}

void WindowSystem::walk(const WindowLock& lock, HWND root,
                        const std::function<void(Window&)>& visit) const {
    Window* window = find(lock, root);
    if (window == nullptr) {
        return;
    }
    visit(*window);
    // The visitor may not change the tree, but copy anyway: children is cheap to copy and this
    // keeps the walk safe should a visitor ever restack.
    const std::vector<HWND> children = window->children;
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        walk(lock, *it, visit);
    }
}

Window* WindowSystem::window_at(const WindowLock& lock, POINT screen) const {
    for (HWND top : m_top_levels) {
        Window* window = find(lock, top);
        if (!window->visible()) {
            continue;
        }
        const POINT origin = window_origin(lock, *window);
        const RECT bounds{origin.x, origin.y, origin.x + window->width(),
                          origin.y + window->height()};
        if (contains(bounds, screen)) {
            return child_at(lock, *window, screen);
        }
    }
    return nullptr;
}

Window* WindowSystem::child_at(const WindowLock& lock, Window& parent, POINT screen) const {
    // Children show only inside the parent's client area; a point on the frame is the parent's.
    const POINT client_corner = client_origin(lock, parent);
    const RECT client = parent.client_in_window();
    const RECT client_area{client_corner.x, client_corner.y,
                           client_corner.x + (client.right - client.left),
                           client_corner.y + (client.bottom - client.top)};
    if (!contains(client_area, screen)) {
        return &parent;
    }
    for (HWND handle : parent.children) {
        Window* child = find(lock, handle);
        if (!child->visible() || !child->enabled()) {
            continue;
        }
        const POINT origin = window_origin(lock, *child);
        const RECT bounds{origin.x, origin.y, origin.x + child->width(),
                          origin.y + child->height()};
        if (contains(bounds, screen)) {
            return child_at(lock, *child, screen);
        }
    }
    return &parent;
}

} // namespace handset
