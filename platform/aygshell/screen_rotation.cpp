#include "aygshell/screen_rotation.h"

#include "aygshell/menu_bar_directory.h"
#include "aygshell/screen_bands.h"
#include "aygshell/shell_dialogs.h"
#include "aygshell/shell_windows.h"
#include "gdi/screen.h"

#include <aygshell.h>

namespace handset {

namespace {

void place(HWND window, const RECT& area) {
    SetWindowPos(window, HWND(), area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

void fit_shell_to_screen() {
    const ScreenBands bands = ScreenBands::current();
    place(ShellWindows::instance().task_bar(), bands.task_bar);
    place(ShellWindows::instance().input_panel(), bands.input_panel);
    for (HWND menu_bar : MenuBarDirectory::instance().all()) {
        place(menu_bar, bands.menu_bar);
    }
}

void rotate_screen() {
    Screen::instance().rotate();
    fit_shell_to_screen();
    const std::vector<FullScreenDialog> dialogs = ShellDialogs::instance().full_screen();
    for (const FullScreenDialog& dialog : dialogs) {
        ShellDialogs::fit(dialog);
    }
    for (const FullScreenDialog& dialog : dialogs) {
        SendMessageW(dialog.dialog, WM_SETTINGCHANGE, SETTINGCHANGE_RESET, 0);
    }
}

} // namespace handset
