// The base of every control this module provides, and the window procedure that ties a control's
// C++ object to its window.
//
// Life of the object: made when WM_NCCREATE arrives, kept in the first extra bytes of the window,
// deleted after WM_NCDESTROY. A control's handler may send a message (a notification to the
// parent) whose answer destroys the control; the object then outlives WM_NCDESTROY until the
// outermost handler on the stack has returned, so no handler runs on a deleted object.
#pragma once

#include "user/window_class.h"

#include <commctrl.h>

namespace handset {

class Control {
  public:
    explicit Control(HWND window) : m_window(window) {}
    virtual ~Control() = default;

    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    HWND window() const { return m_window; }
    // The font set by WM_SETFONT, else the system font.
    HFONT font() const;

    // Handles one message; what the control leaves alone goes to DefWindowProc.
    virtual LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) = 0;

  protected:
    LRESULT default_handling(UINT message, WPARAM wparam, LPARAM lparam);
    // WM_SETFONT and WM_GETFONT, which every control answers the same way; false for any other
    // message.
    bool handle_font(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
    DWORD style() const;
    void invalidate() const;

  private:
    template <typename T>
    friend LRESULT CALLBACK control_procedure(HWND, UINT, WPARAM, LPARAM);

    HWND m_window;
    HFONT m_font;
    int m_depth = 0;
    bool m_destroyed = false;
};

// Frees the object of a control whose window was dropped with its ended thread.
void release_control(LONG_PTR object);

// Registers a control class whose object is a T, with its object in the first extra bytes.
template <typename T>
bool register_control_class(WNDCLASSW record);

// The window procedure of a control class whose object is a T, built from (HWND, CREATESTRUCTW).
template <typename T>
LRESULT CALLBACK control_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* control = reinterpret_cast<Control*>(GetWindowLongPtrW(window, 0));
    if (message == WM_NCCREATE && control == nullptr) {
        control = new T(window, *reinterpret_cast<const CREATESTRUCTW*>(lparam));
        SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(control));
    }
    if (control == nullptr) {
        return DefWindowProcW(window, message, wparam, lparam);
    }
    ++control->m_depth;
    const LRESULT result = control->handle(message, wparam, lparam);
    --control->m_depth;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, 0, 0);
        control->m_destroyed = true;
    }
    if (control->m_destroyed && control->m_depth == 0) {
        delete control;
    }
    return result;
}

template <typename T>
bool register_control_class(WNDCLASSW record) {
    record.lpfnWndProc = control_procedure<T>;
    record.cbWndExtra = sizeof(Control*);
    return RegisterClassW(&record) != 0 &&
           set_class_object_release(record.lpszClassName, release_control);
}

} // namespace handset
