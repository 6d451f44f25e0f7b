// DefWindowProc: what a window does with the messages its procedure leaves alone.
#include "user/message_sender.h"
#include "user/window_frame.h"
#include "user/window_lifecycle.h"
#include "user/window_system.h"

#include <wingdi.h>

#include <algorithm>

namespace handset {

namespace {

// A class brush may name a system colour as (HBRUSH)(COLOR_x + 1).
HBRUSH real_brush(HBRUSH brush) {
    const uint32_t value = brush.value();
    if ((value & SYS_COLOR_INDEX_FLAG) != 0) {
        return GetSysColorBrush(static_cast<int>(value - 1));
    }
    return brush;
}

LRESULT erase_background(HWND window, HDC dc) {
    HBRUSH brush;
    RECT client{};
    {
        WindowSystem& system = WindowSystem::instance();
        WindowLock lock = system.lock();
        Window* entry = system.find(lock, window);
        if (entry == nullptr || !entry->window_class->background) {
            return 0;
        }
        brush = real_brush(entry->window_class->background);
        const RECT inner = entry->client_in_window();
        client = RECT{0, 0, inner.right - inner.left, inner.bottom - inner.top};
    }
    FillRect(dc, &client, brush);
    return 1;
}

LRESULT set_text(HWND window, LPCWSTR text) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    Window* entry = system.find(lock, window);
    if (entry == nullptr) {
        return FALSE;
    }
    entry->text = text != nullptr ? std::u16string(text) : std::u16string();
    if (entry->has_caption()) {
        entry->frame_pending = true;
        entry->queue->wake();
    }
    return TRUE;
}

// WM_GETTEXT: at most size - 1 characters and a terminator; the count copied.
LRESULT get_text(HWND window, WPARAM size, LPWSTR buffer) {
    if (size == 0 || buffer == nullptr) {
        return 0;
    }
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    Window* entry = system.find(lock, window);
    if (entry == nullptr) {
        buffer[0] = u'\0';
        return 0;
    }
    const size_t count = std::min<size_t>(entry->text.size(), size - 1);
    std::copy_n(entry->text.data(), count, buffer);
    buffer[count] = u'\0';
    return static_cast<LRESULT>(count);
}

LRESULT text_length(HWND window) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    Window* entry = system.find(lock, window);
    return entry == nullptr ? 0 : static_cast<LRESULT>(entry->text.size());
}

HWND parent_of(HWND window) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    Window* entry = system.find(lock, window);
    return entry != nullptr && entry->is_child() ? entry->parent : HWND();
}

struct ControlColors {
    int text;
    int background;
};

ControlColors colors_for(UINT message) {
    switch (message) {
    case WM_CTLCOLORSTATIC:
        return {COLOR_STATICTEXT, COLOR_STATIC};
    case WM_CTLCOLORBTN:
        return {COLOR_BTNTEXT, COLOR_BTNFACE};
    case WM_CTLCOLORSCROLLBAR:
        return {COLOR_WINDOWTEXT, COLOR_SCROLLBAR};
    default:
        return {COLOR_WINDOWTEXT, COLOR_WINDOW};
    }
}

// The default colours of a control: set on its DC, and the brush for its background.
LRESULT control_colors(UINT message, HDC dc) {
    const ControlColors colors = colors_for(message);
    SetTextColor(dc, GetSysColor(colors.text));
    SetBkColor(dc, GetSysColor(colors.background));
    return static_cast<LRESULT>(GetSysColorBrush(colors.background).value());
}

// A title that starts with 0xFFFF names a resource (a static's icon), not text.
LRESULT create_record_title(HWND window, LPARAM create_record) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(create_record);
    if (create != nullptr && create->lpszName != nullptr && !IS_INTRESOURCE(create->lpszName) &&
        create->lpszName[0] != u'\xFFFF') {
        set_text(window, create->lpszName);
    }
    return TRUE;
}

} // namespace

} // namespace handset

using namespace handset;

LRESULT WINAPI DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (is_control_color_message(Msg)) {
        return control_colors(Msg, HDC(static_cast<uint32_t>(wParam)));
    }
    switch (Msg) {
    case WM_NCCREATE:
        return create_record_title(hWnd, lParam);
    case WM_SETTEXT:
        return set_text(hWnd, reinterpret_cast<LPCWSTR>(lParam));
    case WM_GETTEXT:
        return get_text(hWnd, wParam, reinterpret_cast<LPWSTR>(lParam));
    case WM_GETTEXTLENGTH:
        return text_length(hWnd);
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(hWnd, &paint);
        EndPaint(hWnd, &paint);
        return 0;
    }
    case WM_NCPAINT:
        paint_frame(hWnd);
        return 0;
    case WM_ERASEBKGND:
        return erase_background(hWnd, HDC(static_cast<uint32_t>(wParam)));
    case WM_CLOSE:
        destroy_window(hWnd);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            SetFocus(hWnd);
        }
        return 0;
    case WM_CONTEXTMENU:
        // A child passes the request up, so the dialog that owns the control can answer it.
        if (const HWND parent = parent_of(hWnd)) {
            return send_message(parent, Msg, wParam, lParam);
        }
        return 0;
    case WM_CANCELMODE:
        ReleaseCapture();
        return 0;
    default:
        return 0;
    }
}
