#include "commctrl/control.h"

namespace handset {

void release_control(LONG_PTR object) {
    delete reinterpret_cast<Control*>(object);
}

HFONT Control::font() const {
    return m_font ? m_font : HFONT(GetStockObject(SYSTEM_FONT));
}

LRESULT Control::default_handling(UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcW(m_window, message, wparam, lparam);
}

bool Control::handle_font(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    if (message == WM_SETFONT) {
        m_font = HFONT(static_cast<uint32_t>(wparam));
        if (LOWORD(lparam) != 0) {
            invalidate();
        }
        result = 0;
        return true;
    }
    if (message == WM_GETFONT) {
        result = static_cast<LRESULT>(m_font.value());
        return true;
    }
    return false;
}

DWORD Control::style() const {
    return static_cast<DWORD>(GetWindowLongW(m_window, GWL_STYLE));
}

void Control::invalidate() const {
    InvalidateRect(m_window, nullptr, TRUE);
}

} // namespace handset
