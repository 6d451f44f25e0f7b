// BeginPaint and EndPaint, GetDC and ReleaseDC, the update region, and UpdateWindow.
#include "user/painting.h"

#include "gdi/rect_math.h"
#include "gdi/screen.h"
#include "gdi/screen_dc.h"
#include "user/errors.h"
#include "user/invalidation.h"
#include "user/message_sender.h"
#include "user/window_system.h"

#include <vector>

namespace handset {

namespace {

struct PaintStart {
    ClipRegion visible;
    POINT origin{};
    RECT update{};
    bool erase = false;
    bool frame = false;
};

bool start_paint(HWND window, PaintStart& start) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    Window* entry = system.find(lock, window);
    if (entry == nullptr || entry->foreign_token) {
        return false;
    }
    start.origin = system.client_origin(lock, *entry);
    start.update = entry->update.value_or(RECT{0, 0, 0, 0});
    if (entry->paint_depth > 0) {
        start.update = union_rects(start.update, entry->paint_area);
    }
    entry->paint_area = start.update;
    ++entry->paint_depth;
    // As on the device, the paint DC reaches only the update region: erasing and painting the
    // part that was invalidated must not wipe what the children drew beside it, which stays
    // valid and is not painted again.
    start.visible = visible_region(lock, *entry, true);
    start.visible.intersect(offset_rect(start.update, start.origin.x, start.origin.y));
    start.erase = entry->erase_pending;
    start.frame = entry->frame_pending;
    entry->update.reset();
    entry->erase_pending = false;
    entry->frame_pending = false;
    entry->painted = true;
    return true;
}

void end_paint(HWND window) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    Window* entry = system.find(lock, window);
    if (entry != nullptr && entry->paint_depth > 0) {
        --entry->paint_depth;
    }
}

// What a window left invalid after its procedure handled WM_PAINT without BeginPaint.
bool take_unpainted_frame(HWND window) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    Window* entry = system.find(lock, window);
    if (entry == nullptr || entry->painted) {
        return false;
    }
    const bool frame = entry->frame_pending;
    entry->update.reset();
    entry->erase_pending = false;
    entry->frame_pending = false;
    return frame;
}

void mark_unpainted(HWND window) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    if (Window* entry = system.find(lock, window)) {
        entry->painted = false;
    }
}

} // namespace

LRESULT deliver_paint(HWND window) {
    mark_unpainted(window);
    const LRESULT result = send_message(window, WM_PAINT, 0, 0);
    if (take_unpainted_frame(window)) {
        send_message(window, WM_NCPAINT, 1, 0);
    }
    return result;
}

} // namespace handset

using namespace handset;

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
    if (lpPaint == nullptr) {
        fail(ERROR_INVALID_PARAMETER, "BeginPaint", "no PAINTSTRUCT");
        return HDC();
    }
    PaintStart start;
    if (!start_paint(hWnd, start)) {
        fail_bad_window("BeginPaint", hWnd);
        return HDC();
    }
    if (start.frame) {
        send_message(hWnd, WM_NCPAINT, 1, 0);
    }
    *lpPaint = PAINTSTRUCT{};
    lpPaint->hdc = create_screen_dc(start.origin, start.visible);
    lpPaint->rcPaint = start.update;
    // fErase tells the procedure that the background still needs erasing: WM_ERASEBKGND was due
    // and nobody answered that it erased.
    if (start.erase) {
        const LRESULT erased =
            send_message(hWnd, WM_ERASEBKGND, static_cast<WPARAM>(lpPaint->hdc.value()), 0);
        lpPaint->fErase = erased ? FALSE : TRUE;
    }
    return lpPaint->hdc;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
    if (lpPaint == nullptr) {
        return FALSE;
    }
    end_paint(hWnd);
    release_screen_dc(lpPaint->hdc);
    return TRUE;
}

HDC WINAPI GetDC(HWND hWnd) {
    if (!hWnd) {
        const ScreenProfile screen = Screen::instance().profile();
        return create_screen_dc(POINT{0, 0}, ClipRegion(RECT{0, 0, screen.width, screen.height}));
    }
    ClipRegion visible;
    POINT origin{};
    {
        WindowSystem& system = WindowSystem::instance();
        WindowLock lock = system.lock();
        Window* entry = system.find_local(lock, hWnd, "GetDC");
        if (entry == nullptr) {
            return HDC();
        }
        visible = visible_region(lock, *entry, true);
        origin = system.client_origin(lock, *entry);
    }
    return create_screen_dc(origin, visible);
}

int WINAPI ReleaseDC(HWND, HDC hDC) {
    return release_screen_dc(hDC) ? 1 : 0;
}

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    if (!hWnd) {
        const ScreenProfile screen = Screen::instance().profile();
        expose(lock, RECT{0, 0, screen.width, screen.height});
        return TRUE;
    }
    Window* entry = system.find_local(lock, hWnd, "InvalidateRect");
    if (entry == nullptr) {
        return FALSE;
    }
    invalidate_client(lock, *entry, lpRect, bErase != FALSE);
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND hWnd, const RECT* lpRect) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    Window* entry = system.find_local(lock, hWnd, "ValidateRect");
    if (entry == nullptr) {
        return FALSE;
    }
    validate_client(lock, *entry, lpRect);
    return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    Window* entry = system.find_local(lock, hWnd, "GetUpdateRect");
    if (entry == nullptr) {
        return FALSE;
    }
    const RECT update = entry->update.value_or(RECT{0, 0, 0, 0});
    if (lpRect != nullptr) {
        *lpRect = update;
    }
    return rect_is_empty(update) ? FALSE : TRUE;
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
    std::vector<HWND> to_paint;
    {
        WindowSystem& system = WindowSystem::instance();
        WindowLock lock = system.lock();
        if (system.find(lock, hWnd) == nullptr) {
            lock.unlock();
            fail_bad_window("UpdateWindow", hWnd);
            return FALSE;
        }
        system.walk(lock, hWnd, [&](Window& each) {
            if (needs_paint(each) && system.is_shown(lock, each)) {
                to_paint.push_back(each.handle);
            }
        });
    }
    for (HWND window : to_paint) {
        deliver_paint(window);
    }
    return TRUE;
}
