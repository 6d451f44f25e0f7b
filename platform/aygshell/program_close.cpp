#include "aygshell/program_close.h"

#include "aygshell/input_panel_window.h"
#include "aygshell/menu_bar.h"
#include "aygshell/task_bar.h"
#include "user/builtin_classes.h"
#include "user/window_system.h"

#include <string_view>
#include <vector>

namespace handset {

namespace {

bool belongs_to_program(const Window& window) {
    if (window.foreign_token || window.owner) {
        return false;
    }
    const std::u16string_view name = window.window_class->name;
    for (std::u16string_view shell_class : {menu_bar_class_name, task_bar_class_name,
                                            input_panel_class_name, popup_menu_class_name}) {
        if (name == shell_class) {
            return false;
        }
    }
    return true;
}

std::vector<HWND> program_windows() {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    std::vector<HWND> windows;
    for (HWND handle : system.top_levels(lock)) {
        const Window* window = system.find(lock, handle);
        if (window != nullptr && belongs_to_program(*window)) {
            windows.push_back(handle);
        }
    }
    return windows;
}

} // namespace

bool program_has_window() {
    return !program_windows().empty();
}

void request_program_close() {
    for (HWND window : program_windows()) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
}

} // namespace handset
