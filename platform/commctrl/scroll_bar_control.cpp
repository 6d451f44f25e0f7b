#include "commctrl/scroll_bar_control.h"

namespace handset {

namespace {

POINT point_of(LPARAM lparam) {
    return POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
}

} // namespace

ScrollBarControl::ScrollBarControl(HWND window, const CREATESTRUCTW&) : Control(window) {}

LRESULT ScrollBarControl::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    LRESULT result = 0;
    if (handle_font(message, wparam, lparam, result)) {
        return result;
    }
    switch (message) {
    case SBM_SETSCROLLINFO: {
        const auto* info = reinterpret_cast<const SCROLLINFO*>(lparam);
        if (info == nullptr) {
            return m_state.position();
        }
        const int position = m_state.apply(*info);
        redraw_if(wparam != 0);
        return position;
    }
    case SBM_GETSCROLLINFO:
        if (auto* info = reinterpret_cast<SCROLLINFO*>(lparam)) {
            m_state.read(*info);
            return TRUE;
        }
        return FALSE;
    case SBM_GETRANGE:
        if (auto* minimum = reinterpret_cast<int*>(wparam)) {
            *minimum = m_state.minimum();
        }
        if (auto* maximum = reinterpret_cast<int*>(lparam)) {
            *maximum = m_state.maximum();
        }
        return 0;
    case SBM_SETPOS: {
        const int previous = m_state.position();
        m_state.set_position(static_cast<int>(wparam));
        redraw_if(lparam != 0);
        return previous;
    }
    case SBM_GETPOS:
        return m_state.position();
    case WM_PAINT:
        paint();
        return 0;
    case WM_ENABLE:
        invalidate();
        return 0;
    case WM_LBUTTONDOWN:
        SetCapture(window());
        send_requests(m_input.press(geometry(), point_of(lparam)));
        return 0;
    case WM_MOUSEMOVE:
        send_requests(m_input.drag(geometry(), point_of(lparam)));
        return 0;
    case WM_LBUTTONUP: {
        const std::vector<ScrollRequest> requests = m_input.release(geometry(), point_of(lparam));
        ReleaseCapture();
        send_requests(requests);
        return 0;
    }
    default:
        return default_handling(message, wparam, lparam);
    }
}

ScrollBarGeometry ScrollBarControl::geometry() const {
    RECT client{};
    GetClientRect(window(), &client);
    return ScrollBarGeometry(client, m_state);
}

void ScrollBarControl::paint() {
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(window(), &paint);
    geometry().paint(dc, IsWindowEnabled(window()) != FALSE);
    EndPaint(window(), &paint);
}

void ScrollBarControl::send_requests(const std::vector<ScrollRequest>& requests) {
    const HWND bar = window();
    for (const ScrollRequest& request : requests) {
        if (request.code == SB_THUMBTRACK) {
            m_state.set_track_position(request.position);
        }
        SendMessageW(
            GetParent(bar), WM_VSCROLL,
            MAKEWPARAM(static_cast<WORD>(request.code), static_cast<WORD>(request.position)),
            static_cast<LPARAM>(bar.value()));
    }
}

void ScrollBarControl::redraw_if(bool redraw) {
    if (redraw) {
        invalidate();
    }
}

} // namespace handset
