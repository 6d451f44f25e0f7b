#include "aygshell/screen_bands.h"

namespace handset {

namespace {

// The device's band heights on a 96 dpi screen.
constexpr int task_bar_height = 26;
constexpr int menu_bar_height = 26;
constexpr int input_panel_height = 80;

int scaled(int pixels_at_96_dpi, const ScreenProfile& screen) {
    return pixels_at_96_dpi * screen.dpi / 96;
}

} // namespace

RECT ScreenBands::visible_desktop(bool panel_up) const {
    RECT visible = desktop;
    if (panel_up) {
        visible.bottom = input_panel.top;
    }
    return visible;
}

ScreenBands ScreenBands::of(const ScreenProfile& screen) {
    const LONG width = screen.width;
    const LONG height = screen.height;
    const LONG task_bottom = scaled(task_bar_height, screen);
    const LONG menu_top = height - scaled(menu_bar_height, screen);
    const LONG panel_top = menu_top - scaled(input_panel_height, screen);
    ScreenBands bands{};
    bands.task_bar = RECT{0, 0, width, task_bottom};
    bands.menu_bar = RECT{0, menu_top, width, height};
    bands.input_panel = RECT{0, panel_top, width, menu_top};
    bands.desktop = RECT{0, task_bottom, width, menu_top};
    return bands;
}

ScreenBands ScreenBands::current() {
    return of(Screen::instance().profile());
}

} // namespace handset
