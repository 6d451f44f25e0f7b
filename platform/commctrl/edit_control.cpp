#include "commctrl/edit_control.h"

#include "commctrl/control_support.h"

#include <algorithm>
#include <cstdlib>

namespace handset {

EditControl::EditControl(HWND window, const CREATESTRUCTW& create) : Control(window) {
    if (create.lpszName != nullptr && !IS_INTRESOURCE(create.lpszName)) {
        m_buffer.set_text(create.lpszName);
    }
}

LRESULT EditControl::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    LRESULT result = 0;
    if (handle_font(message, wparam, lparam, result)) {
        return result;
    }
    switch (message) {
    case WM_SETTEXT:
        return set_text(wparam, lparam);
    case WM_GETTEXT:
        return get_text(static_cast<size_t>(wparam), reinterpret_cast<LPWSTR>(lparam));
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(m_buffer.text().size());
    case EM_LIMITTEXT:
        m_buffer.set_limit(static_cast<size_t>(wparam));
        return 0;
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(m_buffer.limit());
    case EM_GETSEL:
        return get_selection(wparam, lparam);
    case EM_SETSEL:
        m_buffer.select(static_cast<int>(wparam), static_cast<int>(lparam));
        edited(false);
        return 0;
    case WM_CHAR:
        type(static_cast<char16_t>(wparam));
        return 0;
    case WM_KEYDOWN:
        key_down(static_cast<UINT>(wparam));
        return 0;
    case WM_LBUTTONDOWN:
        stylus_down(POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        m_focused = message == WM_SETFOCUS;
        invalidate();
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
    case WM_SIZE:
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

// The window keeps a copy of the text too, for whoever reads it from the window system.
LRESULT EditControl::set_text(WPARAM wparam, LPARAM lparam) {
    const auto* text = reinterpret_cast<LPCWSTR>(lparam);
    m_buffer.set_text(text != nullptr ? std::u16string(text) : std::u16string());
    default_handling(WM_SETTEXT, wparam, lparam);
    m_scroll = 0;
    edited(true);
    return TRUE;
}

// At most size - 1 characters and a terminator; the count copied.
LRESULT EditControl::get_text(size_t size, LPWSTR buffer) const {
    if (size == 0 || buffer == nullptr) {
        return 0;
    }
    const std::u16string& text = m_buffer.text();
    const size_t count = std::min(text.size(), size - 1);
    std::copy_n(text.data(), count, buffer);
    buffer[count] = u'\0';
    return static_cast<LRESULT>(count);
}

LRESULT EditControl::get_selection(WPARAM wparam, LPARAM lparam) const {
    const auto start = static_cast<DWORD>(m_buffer.selection_start());
    const auto end = static_cast<DWORD>(m_buffer.selection_end());
    if (auto* start_out = reinterpret_cast<DWORD*>(wparam)) {
        *start_out = start;
    }
    if (auto* end_out = reinterpret_cast<DWORD*>(lparam)) {
        *end_out = end;
    }
    return MAKELRESULT(std::min<DWORD>(start, 0xFFFF), std::min<DWORD>(end, 0xFFFF));
}

void EditControl::type(char16_t character) {
    if ((style() & ES_READONLY) != 0) {
        return;
    }
    if (character == VK_BACK) {
        edited(m_buffer.backspace());
        return;
    }
    if (character < 0x20 || character == 0x7F) {
        return;
    }
    EditBuffer attempt = m_buffer;
    const bool typed = attempt.type(character);
    const bool fits =
        (style() & ES_AUTOHSCROLL) != 0 || prefix_widths(attempt.text()).back() <= text_room();
    if (!typed || !fits) {
        command_parent(window(), EN_MAXTEXT);
        return;
    }
    m_buffer = std::move(attempt);
    edited(true);
}

void EditControl::key_down(UINT key) {
    switch (key) {
    case VK_LEFT:
        m_buffer.move_left();
        break;
    case VK_RIGHT:
        m_buffer.move_right();
        break;
    case VK_HOME:
        m_buffer.move_home();
        break;
    case VK_END:
        m_buffer.move_end();
        break;
    case VK_DELETE:
        if ((style() & ES_READONLY) == 0) {
            edited(m_buffer.erase_forward());
        }
        return;
    default:
        return;
    }
    edited(false);
}

// The caret goes to the character boundary nearest the stylus.
void EditControl::stylus_down(POINT point) {
    SetFocus(window());
    const std::vector<int> widths = prefix_widths(m_buffer.text());
    const int x = point.x - margin() + m_scroll;
    size_t nearest = 0;
    for (size_t i = 1; i < widths.size(); ++i) {
        if (std::abs(widths[i] - x) < std::abs(widths[nearest] - x)) {
            nearest = i;
        }
    }
    m_buffer.place_caret(nearest);
    edited(false);
}

void EditControl::edited(bool changed) {
    scroll_to_caret();
    invalidate();
    if (changed) {
        command_parent(window(), EN_CHANGE);
    }
}

std::vector<int> EditControl::prefix_widths(const std::u16string& text) const {
    std::vector<int> widths(text.size() + 1, 0);
    if (text.empty()) {
        return widths;
    }
    const MeasuringDc measure(font());
    std::vector<int> extents(text.size(), 0);
    int fit = 0;
    SIZE size{};
    GetTextExtentExPointW(measure.dc(), text.c_str(), static_cast<int>(text.size()), 0x7FFFFFFF,
                          &fit, extents.data(), &size);
    std::copy(extents.begin(), extents.end(), widths.begin() + 1);
    return widths;
}

int EditControl::margin() const {
    return 2 * pixel_scale();
}

int EditControl::text_room() const {
    RECT client{};
    GetClientRect(window(), &client);
    return std::max(0, static_cast<int>(client.right - client.left) - 2 * margin());
}

void EditControl::scroll_to_caret() {
    if ((style() & ES_AUTOHSCROLL) == 0) {
        m_scroll = 0;
        return;
    }
    const std::vector<int> widths = prefix_widths(m_buffer.text());
    const int caret = widths[m_buffer.caret()];
    const int room = text_room();
    if (caret < m_scroll) {
        m_scroll = std::max(0, caret - room / 3);
    } else if (caret > m_scroll + room) {
        m_scroll = caret - room;
    }
    m_scroll = std::clamp(m_scroll, 0, std::max(0, widths.back() - room));
    if (caret > m_scroll + room) {
        m_scroll = caret - room;
    }
}

void EditControl::paint() {
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(window(), &paint);
    RECT client{};
    GetClientRect(window(), &client);
    const HGDIOBJ previous_font = SelectObject(dc, font());
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    FillRect(dc, &client, ask_parent_colors(window(), WM_CTLCOLOREDIT, dc));
    if (!IsWindowEnabled(window())) {
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    }
    SetBkMode(dc, TRANSPARENT);
    const std::u16string& text = m_buffer.text();
    const std::vector<int> widths = prefix_widths(text);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int left = margin() - m_scroll;
    const int top = (client.bottom - metrics.tmHeight) / 2;
    ExtTextOutW(dc, left, top, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    if (m_focused && m_buffer.has_selection()) {
        const size_t start = m_buffer.selection_start();
        const size_t end = m_buffer.selection_end();
        const RECT lit{left + widths[start], top, left + widths[end], top + metrics.tmHeight};
        FillRect(dc, &lit, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        ExtTextOutW(dc, lit.left, top, 0, nullptr, text.c_str() + start,
                    static_cast<UINT>(end - start), nullptr);
    }
    if (m_focused) {
        const int x = left + widths[m_buffer.caret()];
        const RECT caret{x, top, x + pixel_scale(), top + metrics.tmHeight};
        FillRect(dc, &caret, GetSysColorBrush(COLOR_WINDOWTEXT));
    }
    SelectObject(dc, previous_font);
    EndPaint(window(), &paint);
}

} // namespace handset
