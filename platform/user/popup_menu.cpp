#include "user/popup_menu.h"

#include "base/wide_text.h"
#include "gdi/rect_math.h"
#include "gdi/screen.h"
#include "user/builtin_classes.h"
#include "user/message_sender.h"
#include "user/popup_menu_window.h"
#include "user/window_lifecycle.h"
#include "user/window_placement.h"

#include <wingdi.h>

#include <algorithm>

namespace handset {

namespace {

// The text as shown: without the '&' marks (a doubled one shows as '&') and the accelerator
// text after a tab.
std::u16string shown_text(const std::u16string& text) {
    std::u16string shown;
    for (size_t i = 0; i < text.size() && text[i] != u'\t'; ++i) {
        if (text[i] == u'&' && i + 1 < text.size() && text[i + 1] != u'&') {
            continue;
        }
        if (text[i] == u'&') {
            ++i;
        }
        shown.push_back(text[i]);
    }
    return shown;
}

std::optional<char16_t> mnemonic_of(const std::u16string& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'&') {
            if (text[i + 1] != u'&') {
                return fold_case(text[i + 1]);
            }
            ++i;
        }
    }
    return std::nullopt;
}

std::vector<MenuEntry> entries_of(HMENU menu) {
    MenuTable& table = MenuTable::instance();
    MenuLock lock = table.lock();
    const Menu* found = table.find(lock, menu);
    return found != nullptr ? found->entries : std::vector<MenuEntry>();
}

bool is_stylus_message(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_LBUTTONUP || message == WM_MOUSEMOVE ||
           message == WM_LBUTTONDBLCLK;
}

bool is_key_message(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR;
}

} // namespace

PopupMenu::PopupMenu(HMENU menu, HWND owner, PopupMenu* opener)
    : m_menu(menu), m_owner(owner), m_opener(opener) {}

void PopupMenu::lay_out() {
    const std::vector<MenuEntry> entries = entries_of(m_menu);
    const HDC dc = GetDC(HWND());
    const HGDIOBJ previous = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    m_item_height = std::max<LONG>(GetSystemMetrics(SM_CYMENU), metrics.tmHeight + 4);
    const LONG separator_height = std::max<LONG>(3, m_item_height / 3);
    const LONG column = m_item_height;
    LONG widest = 0;
    LONG y = 0;
    m_items.clear();
    for (const MenuEntry& entry : entries) {
        const LONG height = entry.is_separator() ? separator_height : m_item_height;
        if (!entry.is_separator()) {
            const std::u16string text = shown_text(entry.text);
            SIZE extent{};
            GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            widest = std::max(widest, extent.cx);
        }
        m_items.push_back(Item{entry, RECT{0, y, 0, y + height}});
        y += height;
    }
    SelectObject(dc, previous);
    ReleaseDC(HWND(), dc);
    // A check column on the left, the text, and room for a popup's arrow on the right.
    const LONG width = std::max(column + widest + column, 3 * column);
    for (Item& item : m_items) {
        item.rect.right = width;
    }
    const LONG border = GetSystemMetrics(SM_CXBORDER);
    m_client = RECT{0, 0, width, y};
    m_size = SIZE{width + 2 * border, y + 2 * border};
}

RECT PopupMenu::place(UINT flags, POINT at) const {
    LONG left = at.x;
    LONG top = at.y;
    if ((flags & TPM_RIGHTALIGN) != 0) {
        left -= m_size.cx;
    } else if ((flags & TPM_CENTERALIGN) != 0) {
        left -= m_size.cx / 2;
    }
    if ((flags & TPM_BOTTOMALIGN) != 0) {
        top -= m_size.cy;
    } else if ((flags & TPM_VCENTERALIGN) != 0) {
        top -= m_size.cy / 2;
    }
    const ScreenProfile screen = Screen::instance().profile();
    left = std::clamp<LONG>(left, 0, std::max<LONG>(0, screen.width - m_size.cx));
    top = std::clamp<LONG>(top, 0, std::max<LONG>(0, screen.height - m_size.cy));
    return RECT{left, top, left + m_size.cx, top + m_size.cy};
}

UINT PopupMenu::run(UINT flags, POINT at) {
    lay_out();
    if (m_items.empty()) {
        return 0;
    }
    const RECT rect = place(flags, at);
    WindowRequest request;
    request.class_name = popup_menu_class_name;
    request.style = WS_POPUP | WS_BORDER;
    request.ex_style = WS_EX_TOPMOST;
    request.place(rect);
    request.parent = m_owner;
    request.takes_activation = false;
    m_window = create_window(request);
    if (!m_window) {
        return 0;
    }
    SetWindowLongPtrW(m_window, 0, reinterpret_cast<LONG_PTR>(this));
    show_window(m_window, SW_SHOWNA);
    const HWND outer_capture = GetCapture();
    SetCapture(m_window);
    run_loop(m_window);
    SetWindowLongPtrW(m_window, 0, 0);
    DestroyWindow(m_window);
    if (outer_capture && IsWindow(outer_capture)) {
        SetCapture(outer_capture);
    } else {
        ReleaseCapture();
    }
    return m_chosen;
}

void PopupMenu::run_loop(HWND window) {
    while (!m_closed) {
        if (!IsWindow(window) || !IsWindow(m_owner)) {
            close_all();
            return;
        }
        MSG message;
        if (!GetMessageW(&message, HWND(), 0, 0)) {
            PostQuitMessage(static_cast<int>(message.wParam));
            close_all();
            return;
        }
        if (!route(window, message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

// Keys go to the menu whatever window they were meant for; the stylus reaches the menu through
// its capture. True when the message was the menu's.
bool PopupMenu::route(HWND window, MSG& message) {
    if (is_key_message(message.message)) {
        if (message.message == WM_KEYDOWN) {
            TranslateMessage(&message);
        }
        send_message(window, message.message, message.wParam, message.lParam);
        return true;
    }
    if (is_stylus_message(message.message) && message.hwnd != window) {
        // The capture moved on (another window took it): a tap elsewhere closes the menu.
        if (message.message == WM_LBUTTONDOWN) {
            close_all();
        }
        return true;
    }
    return false;
}

LRESULT PopupMenu::handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    const POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    const RECT& client = m_client;
    switch (message) {
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
        if (!rect_contains(client, point.x, point.y)) {
            close_all();
            return 0;
        }
        m_pressed = true;
        highlight(window, item_at(point));
        return 0;
    case WM_MOUSEMOVE:
        if ((wparam & MK_LBUTTON) != 0 && rect_contains(client, point.x, point.y)) {
            highlight(window, item_at(point));
        }
        return 0;
    case WM_LBUTTONUP:
        // Only a tap on the menu chooses: the stylus lifted after the tap-and-hold that opened
        // the menu under it does not.
        if (m_pressed && rect_contains(client, point.x, point.y)) {
            choose(window, item_at(point));
        }
        m_pressed = false;
        return 0;
    case WM_KEYDOWN:
        switch (wparam) {
        case VK_UP:
            step(window, -1);
            return 0;
        case VK_DOWN:
            step(window, 1);
            return 0;
        case VK_RETURN:
            choose(window, m_highlighted);
            return 0;
        case VK_ESCAPE:
            close(0);
            return 0;
        case VK_RIGHT:
            if (m_highlighted >= 0 && m_items[m_highlighted].entry.submenu) {
                choose(window, m_highlighted);
            }
            return 0;
        case VK_LEFT:
            if (m_opener != nullptr) {
                close(0);
            }
            return 0;
        default:
            return 0;
        }
    case WM_CHAR:
        choose_mnemonic(window, static_cast<WCHAR>(wparam));
        return 0;
    case WM_CANCELMODE:
        close_all();
        return 0;
    case popup_menu_item_rect_message: {
        if (wparam >= m_items.size() || lparam == 0) {
            return FALSE;
        }
        RECT* rect = reinterpret_cast<RECT*>(lparam);
        *rect = m_items[wparam].rect;
        MapWindowPoints(window, HWND(), reinterpret_cast<POINT*>(rect), 2);
        return TRUE;
    }
    case popup_menu_menu_message:
        return static_cast<LRESULT>(m_menu.value());
    default:
        return DefWindowProcW(window, message, wparam, lparam);
    }
}

void PopupMenu::paint(HWND window) {
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(window, &paint);
    FillRect(dc, &m_client, GetSysColorBrush(COLOR_MENU));
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    SetBkMode(dc, TRANSPARENT);
    for (size_t index = 0; index < m_items.size(); ++index) {
        paint_item(dc, m_items[index], static_cast<int>(index) == m_highlighted);
    }
    EndPaint(window, &paint);
}

void PopupMenu::paint_item(HDC dc, const Item& item, bool highlighted) const {
    const MenuEntry& entry = item.entry;
    if (entry.is_separator()) {
        const LONG middle = (item.rect.top + item.rect.bottom) / 2;
        const RECT line{item.rect.left + m_item_height / 4, middle,
                        item.rect.right - m_item_height / 4, middle + 1};
        FillRect(dc, &line, GetSysColorBrush(COLOR_GRAYTEXT));
        return;
    }
    if (highlighted) {
        FillRect(dc, &item.rect, GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    COLORREF color = GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
    if (entry.is_grayed()) {
        color = GetSysColor(COLOR_GRAYTEXT);
    }
    SetTextColor(dc, color);
    RECT text = item.rect;
    text.left += m_item_height;
    text.right -= m_item_height;
    DrawTextW(dc, entry.text.c_str(), static_cast<int>(entry.text.size()), &text,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    RECT mark{item.rect.left, item.rect.top, item.rect.left + m_item_height, item.rect.bottom};
    if ((entry.state & MFS_CHECKED) != 0) {
        DrawTextW(dc, u"\u2713", 1, &mark, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    if (entry.submenu) {
        RECT arrow{item.rect.right - m_item_height, item.rect.top, item.rect.right,
                   item.rect.bottom};
        DrawTextW(dc, u"\u25B8", 1, &arrow, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

int PopupMenu::item_at(POINT client) const {
    for (size_t index = 0; index < m_items.size(); ++index) {
        const RECT& rect = m_items[index].rect;
        if (rect_contains(rect, client.x, client.y) && !m_items[index].entry.is_separator()) {
            return static_cast<int>(index);
        }
    }
    return -1;
}

void PopupMenu::highlight(HWND window, int index) {
    if (index == m_highlighted) {
        return;
    }
    m_highlighted = index;
    InvalidateRect(window, nullptr, FALSE);
}

void PopupMenu::step(HWND window, int direction) {
    const int count = static_cast<int>(m_items.size());
    int index = m_highlighted;
    for (int tries = 0; tries < count; ++tries) {
        index = index < 0 ? (direction > 0 ? 0 : count - 1) : (index + direction + count) % count;
        if (!m_items[index].entry.is_separator()) {
            highlight(window, index);
            return;
        }
    }
}

void PopupMenu::choose(HWND window, int index) {
    if (index < 0 || static_cast<size_t>(index) >= m_items.size()) {
        return;
    }
    highlight(window, index);
    const MenuEntry& entry = m_items[index].entry;
    if (entry.is_separator() || entry.is_grayed()) {
        return;
    }
    if (!entry.submenu) {
        close(entry.id);
        return;
    }
    RECT item = m_items[index].rect;
    MapWindowPoints(window, HWND(), reinterpret_cast<POINT*>(&item), 2);
    PopupMenu inner(entry.submenu, m_owner, this);
    const UINT chosen = inner.run(TPM_LEFTALIGN | TPM_TOPALIGN, POINT{item.right, item.top});
    if (chosen != 0) {
        close(chosen);
    }
}

void PopupMenu::choose_mnemonic(HWND window, WCHAR character) {
    const char16_t wanted = fold_case(character);
    for (size_t index = 0; index < m_items.size(); ++index) {
        if (mnemonic_of(m_items[index].entry.text) == wanted) {
            choose(window, static_cast<int>(index));
            return;
        }
    }
}

void PopupMenu::close(UINT command) {
    m_closed = true;
    m_chosen = command;
}

void PopupMenu::close_all() {
    for (PopupMenu* menu = this; menu != nullptr; menu = menu->m_opener) {
        menu->close(0);
    }
}

std::optional<RECT> popup_menu_item_rect(HWND menu_window, int position) {
    RECT rect{};
    if (position < 0 ||
        !send_message(menu_window, popup_menu_item_rect_message, static_cast<WPARAM>(position),
                      reinterpret_cast<LPARAM>(&rect))) {
        return std::nullopt;
    }
    return rect;
}

HMENU popup_menu_of(HWND menu_window) {
    return HMENU(static_cast<uint32_t>(send_message(menu_window, popup_menu_menu_message, 0, 0)));
}

} // namespace handset
