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
    record.lpfnWndProc = control_procedure<T>;
    record.cbWndExtra = sizeof(Control*);
    record.lpszClassName = name;
    RegisterClassW(&record);
}

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

} // namespace handset
