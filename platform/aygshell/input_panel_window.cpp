#include "aygshell/input_panel_window.h"

#include "aygshell/band_window.h"
#include "aygshell/bar_painter.h"
#include "aygshell/screen_bands.h"
#include "gdi/rect_math.h"

#include <string>

namespace handset {

namespace {

constexpr COLORREF panel_color = RGB(200, 204, 212);
constexpr COLORREF key_color = RGB(250, 250, 252);
constexpr COLORREF pressed_key_color = RGB(120, 160, 230);
constexpr COLORREF key_border_color = RGB(130, 134, 145);
constexpr COLORREF key_label_color = RGB(0, 0, 0);

// Key-up of a key that was down: the previous-state and transition bits of the key message.
constexpr LPARAM key_up_bits = static_cast<LPARAM>(0xC0000001u);

std::u16string label_of(const PanelKey& key, bool shift) {
    switch (key.action) {
    case PanelKey::Action::shift:
        return u"\u21e7";
    case PanelKey::Action::backspace:
        return u"\u2190";
    case PanelKey::Action::character:
        return key.character(shift) == u' ' ? std::u16string()
                                            : std::u16string(1, key.character(shift));
    }
    return {};
}

} // namespace

HWND create_input_panel() {
    BandWindowRequest window;
    window.class_name = input_panel_class_name;
    window.band = ScreenBands::current().input_panel;
    window.topmost = true;
    window.shown = false;
    return create_band_window(window);
}

InputPanelWindow::InputPanelWindow(HWND window, const CREATESTRUCTW&) : Control(window) {}

LRESULT InputPanelWindow::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_LBUTTONDOWN: {
        const KeyboardLayout keys = layout();
        if (const PanelKey* key = keys.key_at(POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)})) {
            m_pressed = key->area;
            SetCapture(window());
            InvalidateRect(window(), &m_pressed, FALSE);
        }
        return 0;
    }
    case WM_LBUTTONUP: {
        const RECT pressed = m_pressed;
        m_pressed = RECT{};
        ReleaseCapture();
        InvalidateRect(window(), &pressed, FALSE);
        const KeyboardLayout keys = layout();
        const PanelKey* key = keys.key_at(POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
        if (key != nullptr && rects_equal(key->area, pressed)) {
            tap(*key);
        }
        return 0;
    }
    default:
        return default_handling(message, wparam, lparam);
    }
}

KeyboardLayout InputPanelWindow::layout() const {
    RECT client;
    GetClientRect(window(), &client);
    return KeyboardLayout(client.right - client.left, client.bottom - client.top);
}

void InputPanelWindow::paint() {
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(window(), &paint);
    {
        const BarPainter painter(dc);
        RECT client;
        GetClientRect(window(), &client);
        fill_area(dc, client, panel_color);
        const KeyboardLayout keys = layout();
        for (const PanelKey& key : keys.keys()) {
            paint_key(dc, key);
        }
    }
    EndPaint(window(), &paint);
}

void InputPanelWindow::paint_key(HDC dc, const PanelKey& key) const {
    const int gap = BarPainter::scale();
    const RECT face{key.area.left + gap, key.area.top + gap, key.area.right - gap,
                    key.area.bottom - gap};
    const bool pressed = rects_equal(key.area, m_pressed);
    const bool lit = pressed || (key.action == PanelKey::Action::shift && m_shift);
    fill_area(dc, face, lit ? pressed_key_color : key_color);
    const HBRUSH border = CreateSolidBrush(key_border_color);
    FrameRect(dc, &face, border);
    DeleteObject(border);
    SetTextColor(dc, key_label_color);
    const std::u16string label = label_of(key, m_shift);
    RECT box = face;
    DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &box,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void InputPanelWindow::tap(const PanelKey& key) {
    if (key.action == PanelKey::Action::shift) {
        m_shift = !m_shift;
        invalidate();
        return;
    }
    // Posting to no window would post to the thread itself.
    const HWND focus = GetFocus();
    if (!focus) {
        return;
    }
    switch (key.action) {
    case PanelKey::Action::shift:
        return;
    case PanelKey::Action::backspace:
        PostMessageW(focus, WM_KEYDOWN, VK_BACK, 1);
        PostMessageW(focus, WM_KEYUP, VK_BACK, key_up_bits);
        return;
    case PanelKey::Action::character:
        PostMessageW(focus, WM_CHAR, key.character(m_shift), 1);
        if (m_shift) {
            m_shift = false;
            invalidate();
        }
        return;
    }
}

} // namespace handset
