#include "commctrl/static_control.h"

#include "commctrl/control_support.h"

#include <vector>

namespace handset {

namespace {

struct DcColors {
    COLORREF text;
    COLORREF background;
    int mode;

    static DcColors of(HDC dc) { return {GetTextColor(dc), GetBkColor(dc), GetBkMode(dc)}; }
    bool operator==(const DcColors&) const = default;
};

DcColors default_colors() {
    return {GetSysColor(COLOR_STATICTEXT), GetSysColor(COLOR_STATIC), OPAQUE};
}

void apply(HDC dc, const DcColors& colors) {
    SetTextColor(dc, colors.text);
    SetBkColor(dc, colors.background);
    SetBkMode(dc, colors.mode);
}

std::u16string window_text(HWND window) {
    std::vector<WCHAR> buffer(static_cast<size_t>(GetWindowTextLengthW(window)) + 1);
    const int count = GetWindowTextW(window, buffer.data(), static_cast<int>(buffer.size()));
    return std::u16string(buffer.data(), static_cast<size_t>(count));
}

SIZE bitmap_size(HBITMAP bitmap) {
    BITMAP record{};
    if (GetObjectW(bitmap, sizeof(record), &record) == 0) {
        return SIZE{0, 0};
    }
    return SIZE{record.bmWidth, record.bmHeight};
}

} // namespace

// A template names a picture static's bitmap by its text: a resource name, or 0xFFFF followed
// by the resource's number.
StaticControl::StaticControl(HWND window, const CREATESTRUCTW& create) : Control(window) {
    LPCWSTR name = create.lpszName;
    if ((create.style & 0x1F) != SS_BITMAP || name == nullptr) {
        return;
    }
    if (!IS_INTRESOURCE(name) && name[0] == u'\xFFFF') {
        name = MAKEINTRESOURCEW(name[1]);
    }
    if (IS_INTRESOURCE(name) || name[0] != u'\0') {
        m_owned_bitmap = LoadBitmapW(create.hInstance, name);
        m_image = HANDLE(m_owned_bitmap);
    }
}

StaticControl::~StaticControl() {
    if (m_owned_bitmap) {
        DeleteObject(m_owned_bitmap);
    }
}

LRESULT StaticControl::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    LRESULT result = 0;
    if (handle_font(message, wparam, lparam, result)) {
        return result;
    }
    switch (message) {
    case WM_CREATE:
        if (m_image && kind() == SS_BITMAP) {
            fit_to_bitmap();
        }
        return 0;
    case STM_SETIMAGE:
        return set_image(wparam, HANDLE(static_cast<uint32_t>(lparam)));
    case STM_GETIMAGE:
        return static_cast<LRESULT>(m_image.value());
    case STM_SETICON:
        return set_image(IMAGE_ICON, HANDLE(static_cast<uint32_t>(wparam)));
    case STM_GETICON:
        return kind() == SS_ICON ? static_cast<LRESULT>(m_image.value()) : 0;
    case WM_SETTEXT:
        result = default_handling(message, wparam, lparam);
        invalidate();
        return result;
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_ENABLE:
        invalidate();
        return 0;
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    default:
        return default_handling(message, wparam, lparam);
    }
}

// The image must suit the style: bitmaps for SS_BITMAP, icons for SS_ICON. The previous image is
// answered and stays the caller's.
LRESULT StaticControl::set_image(WPARAM type, HANDLE image) {
    const bool fits =
        (type == IMAGE_BITMAP && kind() == SS_BITMAP) || (type == IMAGE_ICON && kind() == SS_ICON);
    if (!fits) {
        return 0;
    }
    const HANDLE previous = m_owned_bitmap ? HANDLE() : m_image;
    if (m_owned_bitmap) {
        DeleteObject(m_owned_bitmap);
        m_owned_bitmap = HBITMAP();
    }
    m_image = image;
    if (type == IMAGE_BITMAP) {
        fit_to_bitmap();
    }
    invalidate();
    return static_cast<LRESULT>(previous.value());
}

// A bitmap static takes its bitmap's size, unless it centres the bitmap in a size of its own.
void StaticControl::fit_to_bitmap() {
    if ((style() & SS_CENTERIMAGE) != 0) {
        return;
    }
    const SIZE size = bitmap_size(HBITMAP(m_image));
    if (size.cx <= 0 || size.cy <= 0) {
        return;
    }
    RECT outer{};
    RECT inner{};
    GetWindowRect(window(), &outer);
    GetClientRect(window(), &inner);
    const int frame_x = (outer.right - outer.left) - inner.right;
    const int frame_y = (outer.bottom - outer.top) - inner.bottom;
    SetWindowPos(window(), HWND(), 0, 0, size.cx + frame_x, size.cy + frame_y,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void StaticControl::paint() {
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(window(), &paint);
    const HGDIOBJ previous_font = SelectObject(dc, font());
    const DcColors defaults = default_colors();
    const HBRUSH default_brush = GetSysColorBrush(COLOR_STATIC);
    apply(dc, defaults);
    paint_content(dc, default_brush);
    apply(dc, defaults);
    const HBRUSH asked = ask_parent_colors(window(), WM_CTLCOLORSTATIC, dc);
    if (asked != default_brush || !(DcColors::of(dc) == defaults)) {
        paint_content(dc, asked);
    }
    SelectObject(dc, previous_font);
    EndPaint(window(), &paint);
}

void StaticControl::paint_content(HDC dc, HBRUSH background) {
    RECT client{};
    GetClientRect(window(), &client);
    FillRect(dc, &client, background);
    if (kind() == SS_BITMAP) {
        paint_bitmap(dc, client);
    } else if (kind() != SS_ICON) {
        paint_text(dc, client);
    }
}

void StaticControl::paint_bitmap(HDC dc, const RECT& client) {
    const HBITMAP bitmap(m_image);
    const SIZE size = bitmap_size(bitmap);
    if (size.cx <= 0 || size.cy <= 0) {
        return;
    }
    int x = 0;
    int y = 0;
    if ((style() & SS_CENTERIMAGE) != 0) {
        x = (client.right - size.cx) / 2;
        y = (client.bottom - size.cy) / 2;
    }
    const HDC source = CreateCompatibleDC(dc);
    const HGDIOBJ previous = SelectObject(source, bitmap);
    BitBlt(dc, x, y, size.cx, size.cy, source, 0, 0, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
}

void StaticControl::paint_text(HDC dc, const RECT& client) {
    const DWORD styles = style();
    UINT format = DT_LEFT | DT_WORDBREAK;
    if (kind() == SS_CENTER) {
        format = DT_CENTER | DT_WORDBREAK;
    } else if (kind() == SS_RIGHT) {
        format = DT_RIGHT | DT_WORDBREAK;
    } else if (kind() == SS_LEFTNOWORDWRAP) {
        format = DT_LEFT;
    }
    if ((styles & SS_CENTERIMAGE) != 0) {
        format = (format & ~static_cast<UINT>(DT_WORDBREAK)) | DT_SINGLELINE | DT_VCENTER;
    }
    if ((styles & SS_NOPREFIX) != 0) {
        format |= DT_NOPREFIX;
    }
    if ((styles & WS_DISABLED) != 0) {
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    }
    const std::u16string text = window_text(window());
    RECT box = client;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, format);
}

} // namespace handset
