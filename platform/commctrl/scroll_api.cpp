// SetScrollInfo and its relatives, for a scroll bar control (SB_CTL) or a window's own bars, and
// ScrollWindowEx.
#include "commctrl/window_scroll_store.h"
#include "user/errors.h"

#include <commctrl.h>

#include <vector>

using namespace handset;

namespace {

bool is_window_bar(int bar) {
    return bar == SB_VERT || bar == SB_HORZ;
}

// The record may leave out nTrackPos, as records from older callers do.
bool record_fits(const SCROLLINFO* info) {
    return info != nullptr &&
           (info->cbSize == sizeof(SCROLLINFO) || info->cbSize == offsetof(SCROLLINFO, nTrackPos));
}

bool check_call(const char* function, HWND window, int bar) {
    if (!IsWindow(window)) {
        fail_bad_window(function, window);
        return false;
    }
    if (bar != SB_CTL && !is_window_bar(bar)) {
        fail(ERROR_INVALID_PARAMETER, function, "no such bar");
        return false;
    }
    return true;
}

std::vector<HWND> children_of(HWND window) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

RECT rect_in_parent(HWND child, HWND parent) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND(), parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void move_children(HWND window, int dx, int dy, const RECT* area) {
    for (const HWND child : children_of(window)) {
        const RECT rect = rect_in_parent(child, window);
        RECT overlap{};
        if (area != nullptr && !IntersectRect(&overlap, &rect, area)) {
            continue;
        }
        SetWindowPos(child, HWND(), rect.left + dx, rect.top + dy, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
}

} // namespace

int WINAPI SetScrollInfo(HWND hwnd, int fnBar, LPCSCROLLINFO lpsi, BOOL fRedraw) {
    if (!check_call("SetScrollInfo", hwnd, fnBar)) {
        return 0;
    }
    if (!record_fits(lpsi)) {
        fail(ERROR_INVALID_PARAMETER, "SetScrollInfo", "bad SCROLLINFO size");
        return 0;
    }
    if (fnBar == SB_CTL) {
        return static_cast<int>(
            SendMessageW(hwnd, SBM_SETSCROLLINFO, fRedraw, reinterpret_cast<LPARAM>(lpsi)));
    }
    return WindowScrollStore::instance().apply(hwnd, fnBar, *lpsi);
}

BOOL WINAPI GetScrollInfo(HWND hwnd, int fnBar, LPSCROLLINFO lpsi) {
    if (!check_call("GetScrollInfo", hwnd, fnBar)) {
        return FALSE;
    }
    if (!record_fits(lpsi)) {
        fail(ERROR_INVALID_PARAMETER, "GetScrollInfo", "bad SCROLLINFO size");
        return FALSE;
    }
    if (fnBar == SB_CTL) {
        return static_cast<BOOL>(
            SendMessageW(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(lpsi)));
    }
    const std::optional<ScrollState> state = WindowScrollStore::instance().find(hwnd, fnBar);
    if (!state) {
        return FALSE;
    }
    state->read(*lpsi);
    return TRUE;
}

BOOL WINAPI GetScrollRange(HWND hWnd, int nBar, int* lpMinPos, int* lpMaxPos) {
    if (!check_call("GetScrollRange", hWnd, nBar) || lpMinPos == nullptr || lpMaxPos == nullptr) {
        return FALSE;
    }
    if (nBar == SB_CTL) {
        SendMessageW(hWnd, SBM_GETRANGE, reinterpret_cast<WPARAM>(lpMinPos),
                     reinterpret_cast<LPARAM>(lpMaxPos));
        return TRUE;
    }
    const ScrollState state =
        WindowScrollStore::instance().find(hWnd, nBar).value_or(ScrollState());
    *lpMinPos = state.minimum();
    *lpMaxPos = state.maximum();
    return TRUE;
}

int WINAPI SetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw) {
    if (!check_call("SetScrollPos", hWnd, nBar)) {
        return 0;
    }
    if (nBar == SB_CTL) {
        return static_cast<int>(SendMessageW(hWnd, SBM_SETPOS, static_cast<WPARAM>(nPos), bRedraw));
    }
    const int previous = GetScrollPos(hWnd, nBar);
    WindowScrollStore::instance().set_position(hWnd, nBar, nPos);
    return previous;
}

int WINAPI GetScrollPos(HWND hWnd, int nBar) {
    if (!check_call("GetScrollPos", hWnd, nBar)) {
        return 0;
    }
    if (nBar == SB_CTL) {
        return static_cast<int>(SendMessageW(hWnd, SBM_GETPOS, 0, 0));
    }
    const std::optional<ScrollState> state = WindowScrollStore::instance().find(hWnd, nBar);
    return state ? state->position() : 0;
}

// The window's pixels are not moved: windows paint straight into the screen, so the scrolled area
// is invalidated, erased and repainted in its new place, whatever the flags ask; otherwise the
// places the children left would keep their old pixels.
int WINAPI ScrollWindowEx(HWND hWnd, int dx, int dy, const RECT* prcScroll, const RECT* prcClip,
                          HRGN, LPRECT prcUpdate, UINT flags) {
    if (!IsWindow(hWnd)) {
        fail_bad_window("ScrollWindowEx", hWnd);
        return RGN_ERROR;
    }
    if ((flags & SW_SCROLLCHILDREN) != 0) {
        move_children(hWnd, dx, dy, prcScroll);
    }
    RECT area{};
    GetClientRect(hWnd, &area);
    if (prcScroll != nullptr) {
        IntersectRect(&area, &area, prcScroll);
    }
    if (prcClip != nullptr) {
        IntersectRect(&area, &area, prcClip);
    }
    if (prcUpdate != nullptr) {
        *prcUpdate = area;
    }
    if ((dx == 0 && dy == 0) || IsRectEmpty(&area)) {
        return NULLREGION;
    }
    InvalidateRect(hWnd, &area, TRUE);
    return SIMPLEREGION;
}
