// One window as the window system keeps it. Every field is guarded by the window system's lock;
// code outside the lock holds only the handle and looks the window up again.
#pragma once

#include "user/window_class.h"

#include <winuser.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace handset {

// WM_CTLCOLORMSGBOX to WM_CTLCOLORSTATIC: a control asking its parent for its colours.
inline bool is_control_color_message(UINT message) {
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

class MessageQueue;
class Surface;
struct DialogState;

struct Window {
    HWND handle;
    std::shared_ptr<WindowClass> window_class;
    WNDPROC procedure = nullptr;
    DWORD style = 0;
    DWORD ex_style = 0;
    HINSTANCE instance;
    // A child's parent; 0 for a top-level window.
    HWND parent;
    // A top-level window's owner; 0 for children and unowned windows.
    HWND owner;
    // Children in z-order, topmost first. Creation appends, so this is also the tab order.
    std::vector<HWND> children;
    // In the parent's client coordinates; in screen coordinates for a top-level window.
    RECT rect{};
    std::u16string text;
    UINT_PTR id = 0;
    LONG_PTR user_data = 0;
    std::vector<BYTE> extra;
    // The queue of the thread that created the window; it runs the window's procedure.
    std::shared_ptr<MessageQueue> queue;

    // The part of the client area that needs painting, in client coordinates.
    std::optional<RECT> update;
    bool erase_pending = false;
    bool frame_pending = false;
    // Whether the window procedure called BeginPaint while handling the current WM_PAINT.
    bool painted = false;
    // The BeginPaint calls not yet ended, and the part of the client area they reach. A
    // BeginPaint nested in another reaches the same part: a parent that paints a control while
    // the control asks it for colours paints where the control does.
    int paint_depth = 0;
    RECT paint_area{};

    // Set once DestroyWindow has begun, so that a second call does nothing.
    bool destroying = false;
    // Popup menus never become active: the window they were opened from keeps its activation.
    bool takes_activation = true;
    // Aygshell shows a full-screen window's caption in the task bar instead of in the window.
    bool caption_in_task_bar = false;
    // For an owner: its owned popup that was active last (SetForegroundWindow with bit 0 set).
    HWND last_active_popup;

    // Dialogs only.
    std::shared_ptr<DialogState> dialog;
    // Top-level windows only: the pixels they paint into; the screen is composed from these.
    std::shared_ptr<Surface> surface;
    // A window of another process stands here as a proxy named by the token its directory gave.
    std::optional<uint64_t> foreign_token;

    bool visible() const { return (style & WS_VISIBLE) != 0; }
    bool enabled() const { return (style & WS_DISABLED) == 0; }
    bool is_child() const { return (style & WS_CHILD) != 0; }
    bool has_caption() const;
    // The non-client frame, as widths of the border on each side (left, top, right, bottom).
    RECT frame_insets() const;
    // The client area in window coordinates (relative to the window's top-left corner).
    RECT client_in_window() const;
    LONG width() const { return rect.right - rect.left; }
    LONG height() const { return rect.bottom - rect.top; }
};

} // namespace handset
