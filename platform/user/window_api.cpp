// Creating and destroying windows, their relations, their text, and finding them.
#include "base/wide_text.h"
#include "user/errors.h"
#include "user/foreign_windows.h"
#include "user/message_sender.h"
#include "user/window_lifecycle.h"
#include "user/window_system.h"

#include <unistd.h>

namespace handset {

namespace {

bool name_matches(LPCWSTR wanted, const std::u16string& actual) {
    return wanted == nullptr || compare_ignoring_case(wanted, actual) == 0;
}

bool class_matches(LPCWSTR wanted, const WindowClass& actual) {
    if (wanted == nullptr) {
        return true;
    }
    if (IS_INTRESOURCE(wanted)) {
        return actual.atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(wanted));
    }
    return compare_ignoring_case(wanted, actual.name) == 0;
}

HWND find_local_window(LPCWSTR window_class, LPCWSTR title) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    for (HWND top : system.top_levels(lock)) {
        const Window* window = system.find(lock, top);
        if (!window->destroying && class_matches(window_class, *window->window_class) &&
            name_matches(title, window->text)) {
            return top;
        }
    }
    return HWND();
}

// A sibling of the window in its parent's z-order (or among the top-level windows).
HWND sibling(const WindowLock& lock, const Window& window, UINT relation) {
    WindowSystem& system = WindowSystem::instance();
    const std::vector<HWND>* list = &system.top_levels(lock);
    if (window.is_child()) {
        list = &system.find(lock, window.parent)->children;
    }
    if (list->empty()) {
        return HWND();
    }
    if (relation == GW_HWNDFIRST) {
        return list->front();
    }
    if (relation == GW_HWNDLAST) {
        return list->back();
    }
    auto position = std::find(list->begin(), list->end(), window.handle);
    if (position == list->end()) {
        return HWND();
    }
    if (relation == GW_HWNDNEXT) {
        return position + 1 == list->end() ? HWND() : *(position + 1);
    }
    return position == list->begin() ? HWND() : *(position - 1);
}

} // namespace

} // namespace handset

using namespace handset;

HWND WINAPI CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName,
                            DWORD dwStyle, int X, int Y, int nWidth, int nHeight, HWND hWndParent,
                            HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam) {
    WindowRequest request;
    request.ex_style = dwExStyle;
    request.class_name = lpClassName;
    request.title = lpWindowName;
    request.style = dwStyle;
    request.x = X;
    request.y = Y;
    request.width = nWidth;
    request.height = nHeight;
    request.parent = hWndParent;
    request.menu = hMenu;
    request.instance = hInstance;
    request.parameter = lpParam;
    return create_window(request);
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
    return destroy_window(hWnd);
}

LRESULT WINAPI CallWindowProcW(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam,
                               LPARAM lParam) {
    if (lpPrevWndFunc == nullptr) {
        return 0;
    }
    return lpPrevWndFunc(hWnd, Msg, wParam, lParam);
}

BOOL WINAPI IsWindow(HWND hWnd) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    return system.find(lock, hWnd) != nullptr ? TRUE : FALSE;
}

BOOL WINAPI IsWindowVisible(HWND hWnd) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    const Window* window = system.find(lock, hWnd);
    return window != nullptr && !window->foreign_token && system.is_shown(lock, *window) ? TRUE
                                                                                         : FALSE;
}

BOOL WINAPI IsWindowEnabled(HWND hWnd) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    const Window* window = system.find(lock, hWnd);
    return window != nullptr && !window->foreign_token && window->enabled() ? TRUE : FALSE;
}

BOOL WINAPI IsChild(HWND hWndParent, HWND hWnd) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    const Window* window = system.find(lock, hWnd);
    return window != nullptr && window->handle != hWndParent &&
                   system.is_descendant(lock, *window, hWndParent)
               ? TRUE
               : FALSE;
}

HWND WINAPI GetParent(HWND hWnd) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    const Window* window = system.find_local(lock, hWnd, "GetParent");
    if (window == nullptr) {
        return HWND();
    }
    // A popup's owner counts as its parent.
    if (window->is_child()) {
        return window->parent;
    }
    return (window->style & WS_POPUP) != 0 ? window->owner : HWND();
}

HWND WINAPI GetWindow(HWND hWnd, UINT uCmd) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    const Window* window = system.find_local(lock, hWnd, "GetWindow");
    if (window == nullptr) {
        return HWND();
    }
    switch (uCmd) {
    case GW_CHILD:
        return window->children.empty() ? HWND() : window->children.front();
    case GW_OWNER:
        return window->owner;
    case GW_HWNDFIRST:
    case GW_HWNDLAST:
    case GW_HWNDNEXT:
    case GW_HWNDPREV:
        return sibling(lock, *window, uCmd);
    default:
        lock.unlock();
        fail(ERROR_INVALID_PARAMETER, "GetWindow", "unknown relation");
        return HWND();
    }
}

DWORD WINAPI GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    const Window* window = system.find_local(lock, hWnd, "GetWindowThreadProcessId");
    if (window == nullptr) {
        return 0;
    }
    if (lpdwProcessId != nullptr) {
        *lpdwProcessId = static_cast<DWORD>(getpid());
    }
    return window->queue->thread_id();
}

HWND WINAPI FindWindowW(LPCWSTR lpClassName, LPCWSTR lpWindowName) {
    if (const HWND local = find_local_window(lpClassName, lpWindowName)) {
        return local;
    }
    return find_foreign_window(lpClassName, lpWindowName);
}

HWND WINAPI WindowFromPoint(POINT Point) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    const Window* window = system.window_at(lock, Point);
    return window != nullptr ? window->handle : HWND();
}

BOOL WINAPI SetWindowTextW(HWND hWnd, LPCWSTR lpString) {
    return send_message(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) ? TRUE : FALSE;
}

int WINAPI GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount) {
    if (lpString == nullptr || nMaxCount <= 0) {
        return 0;
    }
    lpString[0] = u'\0';
    return static_cast<int>(send_message(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount),
                                         reinterpret_cast<LPARAM>(lpString)));
}

int WINAPI GetWindowTextLengthW(HWND hWnd) {
    return static_cast<int>(send_message(hWnd, WM_GETTEXTLENGTH, 0, 0));
}
