#include "aygshell/hardware_keys.h"

#include "aygshell/menu_bar.h"
#include "aygshell/menu_bar_directory.h"
#include "aygshell/shell_dialogs.h"
#include "aygshell/shell_windows.h"
#include "aygshell/task_bar.h"
#include "gdi/screen.h"
#include "user/builtin_classes.h"
#include "user/input.h"
#include "user/window_system.h"

#include <aygshell.h>

namespace handset {

namespace {

// Soft keys act when pressed; their release is theirs too.
bool take_soft_key(UINT key, bool down, const MenuBarEntry& bar) {
    const int position = key == VK_TSOFT1 ? left_soft_key : right_soft_key;
    if (down) {
        inject_message(bar.menu_bar, menu_bar_press_key, position, 0);
    }
    return true;
}

bool take_overridden_key(UINT key, bool down, const MenuBarEntry& bar) {
    const auto found = bar.overrides.find(key);
    const DWORD flags = found != bar.overrides.end() ? found->second : 0;
    // One hot-key message per press: the owner acts once, as it would on a button.
    if ((flags & SHMBOF_NOTIFY) != 0 && down) {
        inject_message(bar.owner, WM_HOTKEY, key, MAKELPARAM(0, key));
    }
    return (flags & SHMBOF_NODEFAULT) != 0;
}

// While a popup menu is open, its loop has the keys: Esc closes the menu, and only a later Esc
// reaches the task bar's button. Only this process's menus take its keys, so the look stays in
// its own window table rather than asking the device's other processes as FindWindow does.
bool popup_menu_open() {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    for (HWND top : system.top_levels(lock)) {
        const Window* window = system.find(lock, top);
        if (!window->foreign_token && !window->destroying && window->visible() &&
            window->window_class->name == popup_menu_class_name) {
            return true;
        }
    }
    return false;
}

bool take_escape(bool down) {
    if (popup_menu_open()) {
        return false;
    }
    const std::optional<FullScreenDialog> front = ShellDialogs::instance().current();
    if (!front || TaskBar::button_command(front->flags) == 0) {
        return false;
    }
    if (down) {
        inject_message(ShellWindows::instance().task_bar(), task_bar_press_button, 0, 0);
    }
    return true;
}

} // namespace

bool shell_takes_key(UINT virtual_key, bool down) {
    if (virtual_key == VK_ESCAPE) {
        return take_escape(down);
    }
    const std::optional<MenuBarEntry> bar =
        MenuBarDirectory::instance().of_owner(GetForegroundWindow());
    if (!bar) {
        return false;
    }
    if (virtual_key == VK_TSOFT1 || virtual_key == VK_TSOFT2) {
        return take_soft_key(virtual_key, down, *bar);
    }
    return take_overridden_key(virtual_key, down, *bar);
}

void request_screen_rotation() {
    const HWND task_bar = ShellWindows::instance().task_bar();
    if (IsWindow(task_bar)) {
        inject_message(task_bar, task_bar_rotate_screen, 0, 0);
        return;
    }
    // No shell windows yet: nothing but the screen itself to turn.
    Screen::instance().rotate();
}

} // namespace handset
