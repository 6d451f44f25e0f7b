#include "user/message_box.h"

#include "base/debug_output.h"
#include "gdi/screen.h"
#include "user/builtin_classes.h"
#include "user/dialog_builder.h"
#include "user/dialog_state.h"
#include "user/errors.h"
#include "user/modal_loop.h"
#include "user/window_lifecycle.h"
#include "user/window_system.h"

#include <wingdi.h>

#include <algorithm>
#include <cmath>

namespace handset {

namespace {

struct MessageBoxLayout {
    UINT icon_kind = 0;
    std::u16string text;
    RECT icon{};
    RECT text_area{};
    RECT button{};
    bool pressed = false;
};

LONG scaled(LONG pixels) {
    return pixels * Screen::instance().profile().dpi / 96;
}

// The wrapped text's size at the given width, in the system font.
SIZE text_extent(const std::u16string& text, LONG width) {
    const HDC dc = GetDC(HWND());
    const HGDIOBJ previous = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    RECT area{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
              DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(HWND(), dc);
    return SIZE{area.right - area.left, area.bottom - area.top};
}

// Lays the box out in client coordinates and gives the size of its client area.
SIZE lay_out(MessageBoxLayout& layout) {
    const ScreenProfile screen = Screen::instance().profile();
    const LONG padding = scaled(8);
    const LONG icon_size = layout.icon_kind != 0 ? GetSystemMetrics(SM_CXICON) : 0;
    const LONG width = screen.width - 2 * scaled(6);
    LONG text_left = padding;
    if (icon_size > 0) {
        layout.icon = RECT{padding, padding, padding + icon_size, padding + icon_size};
        text_left += icon_size + padding;
    }
    const SIZE text = text_extent(layout.text, width - text_left - padding);
    layout.text_area = RECT{text_left, padding, width - padding, padding + text.cy};
    const LONG content_bottom = std::max(layout.text_area.bottom, layout.icon.bottom);
    const LONG button_height = GetSystemMetrics(SM_CYMENU) + scaled(4);
    const LONG button_width = 3 * button_height;
    layout.button = RECT{(width - button_width) / 2, content_bottom + padding,
                         (width + button_width) / 2, content_bottom + padding + button_height};
    return SIZE{width, layout.button.bottom + padding};
}

// A disc, filled row by row.
void fill_disc(HDC dc, const RECT& box, HBRUSH brush) {
    const double radius = (box.right - box.left) / 2.0;
    const double centre_x = box.left + radius;
    const double centre_y = box.top + radius;
    for (LONG y = box.top; y < box.bottom; ++y) {
        const double dy = y + 0.5 - centre_y;
        const double half = std::sqrt(std::max(0.0, radius * radius - dy * dy));
        const RECT row{static_cast<LONG>(std::lround(centre_x - half)), y,
                       static_cast<LONG>(std::lround(centre_x + half)), y + 1};
        FillRect(dc, &row, brush);
    }
}

// A triangle pointing up, filled row by row.
void fill_triangle(HDC dc, const RECT& box, HBRUSH brush) {
    const LONG height = box.bottom - box.top;
    const double centre_x = (box.left + box.right) / 2.0;
    for (LONG y = 0; y < height; ++y) {
        const double half = (box.right - box.left) / 2.0 * (y + 1) / height;
        const RECT row{static_cast<LONG>(std::lround(centre_x - half)), box.top + y,
                       static_cast<LONG>(std::lround(centre_x + half)), box.top + y + 1};
        FillRect(dc, &row, brush);
    }
}

void draw_icon(HDC dc, const MessageBoxLayout& layout) {
    const char16_t* mark = u"";
    COLORREF mark_color = RGB(255, 255, 255);
    HBRUSH brush;
    switch (layout.icon_kind) {
    case MB_ICONHAND:
        brush = CreateSolidBrush(RGB(200, 30, 30));
        fill_disc(dc, layout.icon, brush);
        mark = u"\u00D7";
        break;
    case MB_ICONEXCLAMATION:
        brush = CreateSolidBrush(RGB(240, 190, 20));
        fill_triangle(dc, layout.icon, brush);
        mark = u"!";
        mark_color = RGB(0, 0, 0);
        break;
    case MB_ICONQUESTION:
        brush = CreateSolidBrush(RGB(30, 90, 200));
        fill_disc(dc, layout.icon, brush);
        mark = u"?";
        break;
    default:
        brush = CreateSolidBrush(RGB(30, 90, 200));
        fill_disc(dc, layout.icon, brush);
        mark = u"i";
        break;
    }
    DeleteObject(brush);
    LOGFONTW bold{};
    bold.lfHeight = -(layout.icon.bottom - layout.icon.top) * 2 / 3;
    bold.lfWeight = FW_BOLD;
    const HFONT font = CreateFontIndirectW(&bold);
    const HGDIOBJ previous = SelectObject(dc, font);
    SetTextColor(dc, mark_color);
    RECT area = layout.icon;
    DrawTextW(dc, mark, 1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, previous);
    DeleteObject(font);
}

void draw_button(HDC dc, const MessageBoxLayout& layout) {
    FillRect(dc, &layout.button,
             GetSysColorBrush(layout.pressed ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
    FrameRect(dc, &layout.button, GetSysColorBrush(COLOR_WINDOWFRAME));
    SetTextColor(dc, GetSysColor(layout.pressed ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
    RECT label = layout.button;
    DrawTextW(dc, u"OK", 2, &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void paint_box(HWND box, const MessageBoxLayout& layout) {
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(box, &paint);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    SetBkMode(dc, TRANSPARENT);
    if (layout.icon_kind != 0) {
        draw_icon(dc, layout);
    }
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    RECT text = layout.text_area;
    DrawTextW(dc, layout.text.c_str(), static_cast<int>(layout.text.size()), &text,
              DT_WORDBREAK | DT_NOPREFIX);
    draw_button(dc, layout);
    EndPaint(box, &paint);
}

MessageBoxLayout& layout_of(HWND box) {
    return *reinterpret_cast<MessageBoxLayout*>(GetWindowLongPtrW(box, DWL_USER));
}

bool on_button(const MessageBoxLayout& layout, LPARAM lparam) {
    const POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    return PtInRect(&layout.button, point) != FALSE;
}

void press(HWND box, MessageBoxLayout& layout, bool pressed) {
    if (layout.pressed != pressed) {
        layout.pressed = pressed;
        InvalidateRect(box, &layout.button, FALSE);
    }
}

INT_PTR CALLBACK message_box_procedure(HWND box, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(box, DWL_USER, lparam);
        return FALSE;
    case WM_PAINT:
        paint_box(box, layout_of(box));
        return TRUE;
    case WM_LBUTTONDOWN:
        if (on_button(layout_of(box), lparam)) {
            SetCapture(box);
            press(box, layout_of(box), true);
        }
        return TRUE;
    case WM_MOUSEMOVE:
        if (GetCapture() == box) {
            press(box, layout_of(box), on_button(layout_of(box), lparam));
        }
        return TRUE;
    case WM_LBUTTONUP:
        if (GetCapture() == box) {
            ReleaseCapture();
            press(box, layout_of(box), false);
            if (on_button(layout_of(box), lparam)) {
                EndDialog(box, IDOK);
            }
        }
        return TRUE;
    case WM_COMMAND:
        // The only button is OK, so Esc (IDCANCEL) answers OK too, as on the device.
        if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
            EndDialog(box, IDOK);
        }
        return TRUE;
    default:
        return FALSE;
    }
}

HWND create_box(HWND owner, const MessageBoxContent& content, const SIZE& client,
                const std::shared_ptr<DialogState>& state) {
    const DWORD style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
    Window probe;
    probe.style = style;
    const RECT insets = probe.frame_insets();
    const LONG width = client.cx + insets.left + insets.right;
    const LONG height = client.cy + insets.top + insets.bottom;
    const ScreenProfile screen = Screen::instance().profile();
    WindowRequest request;
    request.class_name = dialog_class_name;
    request.title = content.caption.c_str();
    request.style = style;
    if (!owner || (content.style & MB_TOPMOST) != 0) {
        request.ex_style = WS_EX_TOPMOST;
    }
    const LONG left = (screen.width - width) / 2;
    const LONG top = (screen.height - height) / 2;
    request.place(RECT{left, top, left + width, top + height});
    request.parent = owner;
    request.dialog = state;
    return create_window(request);
}

} // namespace

std::optional<MessageBoxContent> message_box_content(HWND window) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    const Window* entry = system.find(lock, window);
    if (entry == nullptr || !entry->dialog || !entry->dialog->message_box) {
        return std::nullopt;
    }
    return *entry->dialog->message_box;
}

std::vector<HWND> open_message_boxes() {
    std::vector<HWND> boxes;
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    for (HWND top : system.top_levels(lock)) {
        const Window* entry = system.find(lock, top);
        if (entry->visible() && entry->dialog && entry->dialog->message_box &&
            !entry->dialog->ended) {
            boxes.push_back(top);
        }
    }
    return boxes;
}

bool answer_message_box(HWND window) {
    if (!message_box_content(window)) {
        return false;
    }
    return PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0) != FALSE;
}

} // namespace handset

using namespace handset;

int WINAPI MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
    if (hWnd && !IsWindow(hWnd)) {
        fail_bad_window("MessageBox", hWnd);
        return 0;
    }
    if ((uType & MB_TYPEMASK) != MB_OK) {
        debug_printf("MessageBox: button set 0x%x does not exist on the handset; the box shows OK",
                     uType & MB_TYPEMASK);
    }
    auto content = std::make_shared<MessageBoxContent>();
    content->text = lpText != nullptr ? lpText : u"";
    content->caption = lpCaption != nullptr ? lpCaption : u"Error";
    content->style = uType;
    MessageBoxLayout layout;
    layout.icon_kind = uType & MB_ICONMASK;
    layout.text = content->text;
    const SIZE client = lay_out(layout);
    auto state = std::make_shared<DialogState>();
    state->font = HFONT(GetStockObject(SYSTEM_FONT));
    state->base_units = dialog_base_units(state->font);
    state->message_box = content;
    const HWND box = create_box(hWnd, *content, client, state);
    if (!box) {
        return 0;
    }
    {
        WindowSystem& system = WindowSystem::instance();
        WindowLock lock = system.lock();
        state->procedure = message_box_procedure;
    }
    SendMessageW(box, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&layout));
    return static_cast<int>(run_modal(box, state));
}
