// Showing and placing windows, and converting between their coordinates.
#include "user/errors.h"
#include "user/invalidation.h"
#include "user/window_placement.h"
#include "user/window_system.h"

namespace handset {

namespace {

// The screen position of a window's client area's corner; (0, 0) for 0, the screen itself.
bool client_corner(HWND window, POINT& corner, const char* function) {
    if (!window) {
        corner = POINT{0, 0};
        return true;
    }
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    const Window* entry = system.find_local(lock, window, function);
    if (entry == nullptr) {
        return false;
    }
    corner = system.client_origin(lock, *entry);
    return true;
}

} // namespace

} // namespace handset

using namespace handset;

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    return show_window(hWnd, nCmdShow);
}

BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (!bRepaint) {
        flags |= SWP_NOREDRAW;
    }
    return set_window_pos(hWnd, HWND(), X, Y, nWidth, nHeight, flags);
}

BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy,
                         UINT uFlags) {
    return set_window_pos(hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags);
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    const Window* window = system.find_local(lock, hWnd, "GetClientRect");
    if (window == nullptr || lpRect == nullptr) {
        return FALSE;
    }
    const RECT client = window->client_in_window();
    *lpRect = RECT{0, 0, client.right - client.left, client.bottom - client.top};
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    const Window* window = system.find_local(lock, hWnd, "GetWindowRect");
    if (window == nullptr || lpRect == nullptr) {
        return FALSE;
    }
    *lpRect = screen_rect(lock, *window);
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
    POINT corner;
    if (lpPoint == nullptr || !hWnd || !client_corner(hWnd, corner, "ScreenToClient")) {
        return FALSE;
    }
    lpPoint->x -= corner.x;
    lpPoint->y -= corner.y;
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
    POINT corner;
    if (lpPoint == nullptr || !hWnd || !client_corner(hWnd, corner, "ClientToScreen")) {
        return FALSE;
    }
    lpPoint->x += corner.x;
    lpPoint->y += corner.y;
    return TRUE;
}

int WINAPI MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints) {
    POINT from;
    POINT to;
    if (!client_corner(hWndFrom, from, "MapWindowPoints") ||
        !client_corner(hWndTo, to, "MapWindowPoints")) {
        return 0;
    }
    const LONG dx = from.x - to.x;
    const LONG dy = from.y - to.y;
    for (UINT i = 0; lpPoints != nullptr && i < cPoints; ++i) {
        lpPoints[i].x += dx;
        lpPoints[i].y += dy;
    }
    return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}
