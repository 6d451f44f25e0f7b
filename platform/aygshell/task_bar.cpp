#include "aygshell/task_bar.h"

#include "aygshell/band_window.h"
#include "aygshell/bar_painter.h"
#include "aygshell/screen_bands.h"
#include "aygshell/screen_rotation.h"
#include "aygshell/shell_dialogs.h"
#include "gdi/rect_math.h"

#include <aygshell.h>

#include <string>

namespace handset {

namespace {

// The button's width and the caption's margin, at 96 dots per inch.
constexpr LONG button_width = 32;
constexpr LONG caption_margin = 6;
constexpr int caption_capacity = 128;

std::u16string caption_of(HWND dialog) {
    WCHAR text[caption_capacity] = {};
    GetWindowTextW(dialog, text, caption_capacity);
    return text;
}

} // namespace

HWND create_task_bar() {
    BandWindowRequest window;
    window.class_name = task_bar_class_name;
    window.band = ScreenBands::current().task_bar;
    window.topmost = true;
    return create_band_window(window);
}

TaskBar::TaskBar(HWND window, const CREATESTRUCTW&) : Control(window) {}

UINT TaskBar::button_command(DWORD flags) {
    if ((flags & SHIDIF_DONEBUTTON) != 0) {
        return IDOK;
    }
    if ((flags & SHIDIF_CANCELBUTTON) != 0) {
        return IDCANCEL;
    }
    return 0;
}

LRESULT TaskBar::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_LBUTTONDOWN: {
        const RECT button = button_area();
        m_pressed = rect_contains(button, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
        SetCapture(window());
        invalidate();
        return 0;
    }
    case WM_LBUTTONUP: {
        const RECT button = button_area();
        const bool released_on_button =
            m_pressed && rect_contains(button, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
        m_pressed = false;
        ReleaseCapture();
        invalidate();
        if (released_on_button) {
            press_button();
        }
        return 0;
    }
    case task_bar_press_button:
        press_button();
        return 0;
    case task_bar_rotate_screen:
        rotate_screen();
        return 0;
    default:
        return default_handling(message, wparam, lparam);
    }
}

RECT TaskBar::button_area() const {
    RECT client;
    GetClientRect(window(), &client);
    return RECT{client.right - button_width * BarPainter::scale(), client.top, client.right,
                client.bottom};
}

void TaskBar::paint() {
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(window(), &paint);
    {
        const BarPainter painter(dc);
        RECT client;
        GetClientRect(window(), &client);
        painter.fill_band(client);
        if (const std::optional<FullScreenDialog> front = ShellDialogs::instance().current()) {
            const bool enabled = IsWindowEnabled(front->dialog) != FALSE;
            const RECT button = button_area();
            RECT caption = client;
            caption.left += caption_margin * BarPainter::scale();
            caption.right = button.left;
            painter.label(caption, caption_of(front->dialog), true, DT_LEFT);
            if (const UINT command = button_command(front->flags)) {
                if (m_pressed) {
                    painter.fill_pressed(button);
                }
                painter.label(button, command == IDOK ? u"ok" : u"\u00d7", enabled, DT_CENTER);
            }
        }
    }
    EndPaint(window(), &paint);
}

// Like a button of the dialog: WM_COMMAND with the command and BN_CLICKED, posted so that the
// dialog may end in answer. A disabled dialog (one showing a modal box) takes no command.
void TaskBar::press_button() {
    const std::optional<FullScreenDialog> front = ShellDialogs::instance().current();
    if (!front || !IsWindowEnabled(front->dialog)) {
        return;
    }
    if (const UINT command = button_command(front->flags)) {
        PostMessageW(front->dialog, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
    }
}

} // namespace handset
