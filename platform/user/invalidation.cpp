#include "user/invalidation.h"

#include "gdi/rect_math.h"
#include "gdi/screen.h"
#include "gdi/screen_dc.h"

#include <wingdi.h>

namespace handset {

namespace {

// Clips to the ancestors' client areas and, with WS_CLIPSIBLINGS, cuts out siblings above.
// Returns the top-level window at the root of the chain.
const Window& clip_to_ancestors(const WindowLock& lock, const Window& window, ClipRegion& region) {
    WindowSystem& system = WindowSystem::instance();
    const Window* current = &window;
    while (current->is_child()) {
        const Window* parent = system.find(lock, current->parent);
        if (parent == nullptr) {
            break;
        }
        region.intersect(client_screen_rect(lock, *parent));
        if ((current->style & WS_CLIPSIBLINGS) != 0) {
            for (HWND sibling : parent->children) {
                if (sibling == current->handle) {
                    break;
                }
                const Window* above = system.find(lock, sibling);
                if (above->visible()) {
                    region.subtract(screen_rect(lock, *above));
                }
            }
        }
        current = parent;
    }
    return *current;
}

void cut_out_windows_above(const WindowLock& lock, const Window& root, ClipRegion& region) {
    WindowSystem& system = WindowSystem::instance();
    for (HWND top : system.top_levels(lock)) {
        if (top == root.handle) {
            return;
        }
        const Window* above = system.find(lock, top);
        if (above->visible()) {
            region.subtract(screen_rect(lock, *above));
        }
    }
}

RECT screen_bounds() {
    const ScreenProfile profile = Screen::instance().profile();
    return RECT{0, 0, profile.width, profile.height};
}

// Invalidates what lies inside `area` (screen coordinates) of the window: its frame and its
// client area.
void invalidate_screen_area(const WindowLock& lock, Window& window, const RECT& area) {
    const RECT whole = intersect_rects(screen_rect(lock, window), area);
    if (rect_is_empty(whole)) {
        return;
    }
    const RECT client = client_screen_rect(lock, window);
    const RECT inside = intersect_rects(client, whole);
    if (!rects_equal(inside, whole)) {
        window.frame_pending = true;
        window.queue->wake();
    }
    if (!rect_is_empty(inside)) {
        const RECT local = offset_rect(inside, -client.left, -client.top);
        invalidate_client(lock, window, &local, true);
    }
}

void paint_desktop(const ClipRegion& area) {
    const HDC dc = create_screen_dc(POINT{0, 0}, area);
    const RECT bounds = area.bounds();
    FillRect(dc, &bounds, GetSysColorBrush(COLOR_BACKGROUND));
    release_screen_dc(dc);
}

Window* first_to_paint(const WindowLock& lock, Window& window, const MessageQueue& queue) {
    if (!window.visible()) {
        return nullptr;
    }
    if (window.queue.get() == &queue && needs_paint(window)) {
        return &window;
    }
    WindowSystem& system = WindowSystem::instance();
    for (auto it = window.children.rbegin(); it != window.children.rend(); ++it) {
        if (Window* found = first_to_paint(lock, *system.find(lock, *it), queue)) {
            return found;
        }
    }
    return nullptr;
}

} // namespace

RECT screen_rect(const WindowLock& lock, const Window& window) {
    const POINT origin = WindowSystem::instance().window_origin(lock, window);
    return RECT{origin.x, origin.y, origin.x + window.width(), origin.y + window.height()};
}

RECT client_screen_rect(const WindowLock& lock, const Window& window) {
    const POINT origin = WindowSystem::instance().client_origin(lock, window);
    const RECT client = window.client_in_window();
    return RECT{origin.x, origin.y, origin.x + (client.right - client.left),
                origin.y + (client.bottom - client.top)};
}

ClipRegion visible_region(const WindowLock& lock, const Window& window, bool client_only) {
    WindowSystem& system = WindowSystem::instance();
    if (window.foreign_token || !system.is_shown(lock, window)) {
        return ClipRegion();
    }
    ClipRegion region(client_only ? client_screen_rect(lock, window) : screen_rect(lock, window));
    if (client_only && (window.style & WS_CLIPCHILDREN) != 0) {
        for (HWND handle : window.children) {
            const Window* child = system.find(lock, handle);
            if (child->visible()) {
                region.subtract(screen_rect(lock, *child));
            }
        }
    }
    const Window& root = clip_to_ancestors(lock, window, region);
    cut_out_windows_above(lock, root, region);
    region.intersect(screen_bounds());
    return region;
}

void invalidate_client(const WindowLock& lock, Window& window, const RECT* area, bool erase) {
    const RECT client_box = window.client_in_window();
    const RECT client{0, 0, client_box.right - client_box.left, client_box.bottom - client_box.top};
    const RECT part = area ? intersect_rects(*area, client) : client;
    if (rect_is_empty(part)) {
        return;
    }
    window.update = window.update ? union_rects(*window.update, part) : part;
    window.erase_pending = window.erase_pending || erase;
    window.queue->wake();
    if ((window.style & WS_CLIPCHILDREN) != 0) {
        return;
    }
    WindowSystem& system = WindowSystem::instance();
    for (HWND handle : window.children) {
        Window* child = system.find(lock, handle);
        if (!child->visible()) {
            continue;
        }
        const RECT overlap = intersect_rects(child->rect, part);
        if (rect_is_empty(overlap)) {
            continue;
        }
        // From this window's client coordinates to the child's own window coordinates.
        const RECT in_child = offset_rect(overlap, -child->rect.left, -child->rect.top);
        const RECT child_client = child->client_in_window();
        if (!rects_equal(intersect_rects(in_child, child_client), in_child)) {
            child->frame_pending = true;
            child->queue->wake();
        }
        const RECT local = offset_rect(intersect_rects(in_child, child_client), -child_client.left,
                                       -child_client.top);
        invalidate_client(lock, *child, &local, erase);
    }
}

void invalidate_window(const WindowLock& lock, Window& window) {
    const RECT insets = window.frame_insets();
    if (insets.left > 0 || insets.top > 0 || insets.right > 0 || insets.bottom > 0) {
        window.frame_pending = true;
        window.queue->wake();
    }
    invalidate_client(lock, window, nullptr, true);
}

void expose(const WindowLock& lock, const RECT& screen_area) {
    WindowSystem& system = WindowSystem::instance();
    ClipRegion uncovered(intersect_rects(screen_area, screen_bounds()));
    for (HWND top : system.top_levels(lock)) {
        if (uncovered.is_empty()) {
            return;
        }
        Window* window = system.find(lock, top);
        if (!window->visible()) {
            continue;
        }
        const RECT bounds = screen_rect(lock, *window);
        for (const RECT& part : uncovered.rects()) {
            invalidate_screen_area(lock, *window, part);
        }
        uncovered.subtract(bounds);
    }
    if (!uncovered.is_empty()) {
        paint_desktop(uncovered);
    }
}

void validate_client(const WindowLock&, Window& window, const RECT* area) {
    if (!window.update) {
        return;
    }
    if (area == nullptr || rects_equal(intersect_rects(*area, *window.update), *window.update)) {
        window.update.reset();
        window.erase_pending = false;
    }
}

bool needs_paint(const Window& window) {
    return window.update.has_value() || window.frame_pending;
}

Window* next_window_to_paint(const WindowLock& lock, const MessageQueue& queue) {
    WindowSystem& system = WindowSystem::instance();
    const std::vector<HWND>& tops = system.top_levels(lock);
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        if (Window* found = first_to_paint(lock, *system.find(lock, *it), queue)) {
            return found;
        }
    }
    return nullptr;
}

} // namespace handset
