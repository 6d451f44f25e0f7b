// What the automation driver sees of windows. The structure of the window tree is copied under
// the window lock; each window's state is then read through the window API, so its text comes
// from WM_GETTEXT on the window's own thread, as a program would read it.
#pragma once

#include <winuser.h>

#include <optional>
#include <string>
#include <vector>

namespace handset {

struct WindowInfo {
    HWND handle;
    std::u16string class_name;
    UINT_PTR id = 0;
    std::u16string text;
    RECT rect{}; // in screen coordinates
    bool visible = false;
    bool enabled = false;
};

// Which windows a search accepts; an empty field accepts any. Names compare without case.
struct WindowQuery {
    std::optional<std::u16string> class_name;
    std::optional<std::u16string> text;
    std::optional<UINT_PTR> id;
};

struct WindowEntry {
    HWND handle;
    int depth; // 0 for a top-level window
};

// The top-level windows from the topmost down, each followed by its descendants in creation order.
std::vector<WindowEntry> window_tree();

// Nothing once the window is gone.
std::optional<WindowInfo> read_window(HWND window);

bool matches(const WindowInfo& info, const WindowQuery& query);

// The first visible window that the query accepts, in window_tree() order; 0 when none does.
HWND find_visible_window(const WindowQuery& query);

// One line per window: its class, text, id, rectangle and state, indented by depth.
std::string dump_window_tree();

// The query in the words the script language uses, for messages.
std::string describe(const WindowQuery& query);

} // namespace handset
