#include "commctrl/push_button.h"

#include "commctrl/control_support.h"

#include <vector>

namespace handset {

PushButton::PushButton(HWND window, const CREATESTRUCTW&) : Control(window) {}

LRESULT PushButton::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    LRESULT result = 0;
    if (handle_font(message, wparam, lparam, result)) {
        return result;
    }
    switch (message) {
    case WM_LBUTTONDOWN:
        SetFocus(window());
        SetCapture(window());
        m_tracking = true;
        set_pushed(true);
        return 0;
    case WM_MOUSEMOVE:
        if (m_tracking) {
            set_pushed(inside(lparam));
        }
        return 0;
    case WM_LBUTTONUP: {
        const bool clicked = m_tracking && inside(lparam);
        m_tracking = false;
        set_pushed(false);
        ReleaseCapture();
        if (clicked) {
            click();
        }
        return 0;
    }
    case WM_CAPTURECHANGED:
        m_tracking = false;
        set_pushed(false);
        return 0;
    case WM_KEYDOWN:
        if (wparam == VK_SPACE) {
            set_pushed(true);
        }
        return 0;
    case WM_KEYUP:
        if (wparam == VK_SPACE && m_pushed) {
            set_pushed(false);
            click();
        }
        return 0;
    case BM_GETSTATE:
        return (m_pushed ? BST_PUSHED : 0) | (m_focused ? BST_FOCUS : 0);
    case BM_SETSTATE:
        set_pushed(wparam != 0);
        return 0;
    case BM_SETSTYLE:
        SetWindowLongW(window(), GWL_STYLE,
                       static_cast<LONG>((style() & ~0xFu) | (static_cast<DWORD>(wparam) & 0xFu)));
        if (LOWORD(lparam) != 0) {
            invalidate();
        }
        return 0;
    case WM_GETDLGCODE:
        return DLGC_BUTTON |
               ((style() & 0xF) == BS_DEFPUSHBUTTON ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        m_focused = message == WM_SETFOCUS;
        invalidate();
        return 0;
    case WM_SETTEXT:
        result = default_handling(message, wparam, lparam);
        invalidate();
        return result;
    case WM_ENABLE:
        invalidate();
        return 0;
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    default:
        return default_handling(message, wparam, lparam);
    }
}

bool PushButton::inside(LPARAM lparam) const {
    RECT client{};
    GetClientRect(window(), &client);
    const POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    return PtInRect(&client, point) != FALSE;
}

void PushButton::set_pushed(bool pushed) {
    if (m_pushed != pushed) {
        m_pushed = pushed;
        invalidate();
    }
}

void PushButton::click() {
    command_parent(window(), BN_CLICKED);
}

void PushButton::paint() {
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(window(), &paint);
    RECT face{};
    GetClientRect(window(), &face);
    const HGDIOBJ previous_font = SelectObject(dc, font());
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    const HBRUSH brush = ask_parent_colors(window(), WM_CTLCOLORBTN, dc);
    FillRect(dc, &face, brush);
    const int scale = pixel_scale();
    if ((style() & 0xF) == BS_DEFPUSHBUTTON) {
        FrameRect(dc, &face, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&face, -scale, -scale);
    }
    FrameRect(dc, &face, GetSysColorBrush(m_pushed ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT));
    const RECT shade{face.left + scale, face.bottom - scale, face.right, face.bottom};
    const RECT side{face.right - scale, face.top + scale, face.right, face.bottom};
    if (!m_pushed) {
        FillRect(dc, &shade, GetSysColorBrush(COLOR_BTNSHADOW));
        FillRect(dc, &side, GetSysColorBrush(COLOR_BTNSHADOW));
    }
    std::vector<WCHAR> text(static_cast<size_t>(GetWindowTextLengthW(window())) + 1);
    const int length = GetWindowTextW(window(), text.data(), static_cast<int>(text.size()));
    RECT label = face;
    if (m_pushed) {
        OffsetRect(&label, scale, scale);
    }
    if (!IsWindowEnabled(window())) {
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    }
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text.data(), length, &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (m_focused) {
        InflateRect(&label, -3 * scale, -3 * scale);
        DrawFocusRect(dc, &label);
    }
    SelectObject(dc, previous_font);
    EndPaint(window(), &paint);
}

} // namespace handset
