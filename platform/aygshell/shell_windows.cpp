#include "aygshell/shell_windows.h"

#include "aygshell/input_panel_window.h"
#include "aygshell/menu_bar.h"
#include "aygshell/screen_bands.h"
#include "aygshell/screen_rotation.h"
#include "aygshell/sip_preference_control.h"
#include "aygshell/task_bar.h"
#include "gdi/rect_math.h"

namespace handset {

namespace {

template <typename T>
void register_window_class(LPCWSTR name) {
    WNDCLASSW record{};
    record.style = CS_GLOBALCLASS;
    record.lpszClassName = name;
    register_control_class<T>(record);
}

// The shell's windows end with the thread that made them. Made after that thread's first window,
// this ends before the window system forgets the thread's windows, which would leave the
// windows' objects behind.
struct ShellWindowsOfThread {
    ~ShellWindowsOfThread() { ShellWindows::instance().stop(); }
};

// Registered as the library loads; see register_shell_classes.
[[maybe_unused]] const bool classes_registered = (register_shell_classes(), true);

} // namespace

void register_shell_classes() {
    static std::once_flag once;
    std::call_once(once, [] {
        register_window_class<MenuBar>(menu_bar_class_name);
        register_window_class<TaskBar>(task_bar_class_name);
        register_window_class<InputPanelWindow>(input_panel_class_name);
        register_sip_preference_class();
    });
}

ShellWindows& ShellWindows::instance() {
    static auto* windows = new ShellWindows();
    return *windows;
}

void ShellWindows::start() {
    std::lock_guard lock(m_starting);
    if (!IsWindow(task_bar()) || !IsWindow(input_panel())) {
        static thread_local ShellWindowsOfThread ends_with_this_thread;
    }
    if (!IsWindow(task_bar())) {
        m_task_bar = create_task_bar().value();
    }
    if (!IsWindow(input_panel())) {
        m_input_panel = create_input_panel().value();
    }
    // The screen's profile may have changed since the windows were made (a test sets it).
    RECT task_bar_area{};
    GetWindowRect(task_bar(), &task_bar_area);
    if (!rects_equal(task_bar_area, ScreenBands::current().task_bar)) {
        fit_shell_to_screen();
    }
}

void ShellWindows::stop() {
    std::lock_guard lock(m_starting);
    DestroyWindow(HWND(m_input_panel.exchange(0)));
    DestroyWindow(HWND(m_task_bar.exchange(0)));
}

} // namespace handset
