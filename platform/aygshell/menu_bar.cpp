#include "aygshell/menu_bar.h"

#include "aygshell/band_window.h"
#include "aygshell/bar_painter.h"
#include "aygshell/input_panel.h"
#include "aygshell/menu_bar_directory.h"
#include "aygshell/screen_bands.h"
#include "base/debug_output.h"
#include "gdi/rect_math.h"

namespace handset {

namespace {

// The input panel's button between the keys, at 96 dots per inch.
constexpr LONG panel_button_width = 36;

const MenuBarRequest& request_of(const CREATESTRUCTW& creation) {
    return *static_cast<const MenuBarRequest*>(creation.lpCreateParams);
}

} // namespace

HWND create_menu_bar(const MenuBarRequest& request) {
    BandWindowRequest window;
    window.class_name = menu_bar_class_name;
    window.band = ScreenBands::current().menu_bar;
    window.owner = request.owner;
    window.shown = !request.hidden;
    window.parameter = const_cast<MenuBarRequest*>(&request);
    const HWND menu_bar = create_band_window(window);
    if (!menu_bar) {
        debug_line("SHCreateMenuBar: the menu bar's window could not be made");
    }
    return menu_bar;
}

MenuBar::MenuBar(HWND window, const CREATESTRUCTW& creation)
    : Control(window), m_owner(request_of(creation).owner), m_menu(request_of(creation).menu),
      m_keys(soft_keys_of(m_menu)), m_panel_button(request_of(creation).panel_button) {
    MenuBarDirectory::instance().add(window, m_owner);
}

LRESULT MenuBar::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_LBUTTONDOWN:
        m_pressed = target_at(POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
        SetCapture(window());
        invalidate();
        return 0;
    case WM_LBUTTONUP: {
        const Target pressed = m_pressed;
        m_pressed = Target::none;
        ReleaseCapture();
        invalidate();
        if (pressed == target_at(POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)})) {
            press(pressed);
        }
        return 0;
    }
    case menu_bar_press_key:
        activate_key(static_cast<int>(wparam));
        return 0;
    case menu_bar_enable_key:
        return enable_key(wparam, lparam);
    case SHCMBM_GETSUBMENU:
        return static_cast<LRESULT>(popup_of(lparam).value());
    case SHCMBM_GETMENU:
        return static_cast<LRESULT>(m_menu.value());
    case SHCMBM_OVERRIDEKEY:
        MenuBarDirectory::instance().override_key(window(), static_cast<UINT>(wparam),
                                                  LOWORD(lparam), HIWORD(lparam));
        return TRUE;
    case WM_DESTROY:
        MenuBarDirectory::instance().remove(window());
        DestroyMenu(m_menu);
        return 0;
    default:
        return default_handling(message, wparam, lparam);
    }
}

MenuBar::Layout MenuBar::layout() const {
    RECT client;
    GetClientRect(window(), &client);
    const LONG button = m_panel_button ? panel_button_width * BarPainter::scale() : 0;
    const LONG middle = (client.left + client.right) / 2;
    Layout layout{};
    layout.keys[left_soft_key] = RECT{client.left, client.top, middle - button / 2, client.bottom};
    layout.panel_button =
        RECT{middle - button / 2, client.top, middle + (button + 1) / 2, client.bottom};
    layout.keys[right_soft_key] =
        RECT{middle + (button + 1) / 2, client.top, client.right, client.bottom};
    return layout;
}

MenuBar::Target MenuBar::target_at(POINT point) const {
    const Layout areas = layout();
    if (rect_contains(areas.keys[left_soft_key], point.x, point.y)) {
        return Target::left_key;
    }
    if (rect_contains(areas.keys[right_soft_key], point.x, point.y)) {
        return Target::right_key;
    }
    if (m_panel_button && rect_contains(areas.panel_button, point.x, point.y)) {
        return Target::panel_button;
    }
    return Target::none;
}

void MenuBar::paint() {
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(window(), &paint);
    {
        const BarPainter painter(dc);
        const Layout areas = layout();
        RECT client;
        GetClientRect(window(), &client);
        painter.fill_band(client);
        for (int position = 0; position < soft_key_count; ++position) {
            const Target target = position == left_soft_key ? Target::left_key : Target::right_key;
            const RECT& area = areas.keys[position];
            if (m_pressed == target) {
                painter.fill_pressed(area);
            }
            if (m_keys[position]) {
                painter.label(area, m_keys[position]->label, m_keys[position]->enabled, DT_CENTER);
            }
        }
        if (m_panel_button) {
            paint_panel_button(painter, areas.panel_button);
        } else {
            painter.divider(areas.panel_button.left, client.top + 4 * BarPainter::scale(),
                            client.bottom - 4 * BarPainter::scale());
        }
    }
    EndPaint(window(), &paint);
}

// A small keyboard: its outline and two rows of keys, on a lit button while the panel is up.
void MenuBar::paint_panel_button(const BarPainter& painter, const RECT& area) const {
    if (m_pressed == Target::panel_button || InputPanel::instance().is_up()) {
        painter.fill_pressed(area);
    }
    const int scale = BarPainter::scale();
    const LONG width = 20 * scale;
    const LONG height = 12 * scale;
    const LONG left = (area.left + area.right - width) / 2;
    const LONG top = (area.top + area.bottom - height) / 2;
    const HBRUSH white = HBRUSH(GetStockObject(WHITE_BRUSH));
    const RECT outline{left, top, left + width, top + height};
    FrameRect(painter.dc(), &outline, white);
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 5; ++column) {
            const LONG x = left + (2 + 3 * column + (row == 1 ? 1 : 0)) * scale;
            const LONG y = top + (3 + 4 * row) * scale;
            const RECT key{x, y, x + 2 * scale, y + 2 * scale};
            FillRect(painter.dc(), &key, white);
        }
    }
}

void MenuBar::press(Target target) {
    switch (target) {
    case Target::left_key:
        activate_key(left_soft_key);
        return;
    case Target::right_key:
        activate_key(right_soft_key);
        return;
    case Target::panel_button:
        InputPanel::instance().toggle();
        return;
    case Target::none:
        return;
    }
}

void MenuBar::activate_key(int position) {
    if (m_tracking || position < 0 || position >= soft_key_count || !m_keys[position] ||
        !m_keys[position]->enabled) {
        return;
    }
    const SoftKey key = *m_keys[position];
    UINT command = key.id;
    if (key.popup) {
        RECT bar;
        GetWindowRect(window(), &bar);
        const Layout areas = layout();
        const bool left = position == left_soft_key;
        const LONG x = bar.left + (left ? areas.keys[position].left : areas.keys[position].right);
        m_tracking = true;
        command = static_cast<UINT>(TrackPopupMenuEx(
            key.popup, TPM_BOTTOMALIGN | TPM_RETURNCMD | (left ? TPM_LEFTALIGN : TPM_RIGHTALIGN), x,
            bar.top, m_owner, nullptr));
        m_tracking = false;
    }
    if (command != 0) {
        PostMessageW(m_owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    }
}

LRESULT MenuBar::enable_key(WPARAM key, LPARAM flags) {
    for (int position = 0; position < soft_key_count; ++position) {
        const bool named = (flags & menu_bar_by_position) != 0
                               ? static_cast<WPARAM>(position) == key
                               : m_keys[position] && m_keys[position]->id == key;
        if (named && m_keys[position]) {
            m_keys[position]->enabled = (flags & menu_bar_enable) != 0;
            invalidate();
            return 1;
        }
    }
    return 0;
}

HMENU MenuBar::popup_of(LPARAM id) const {
    if (id == 0) {
        return m_keys[right_soft_key] ? m_keys[right_soft_key]->popup : HMENU();
    }
    for (const auto& key : m_keys) {
        if (key && key->popup && key->id == static_cast<UINT>(id)) {
            return key->popup;
        }
    }
    return HMENU();
}

} // namespace handset
