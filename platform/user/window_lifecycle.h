// Creating and destroying windows.
//
// CreateWindowEx: WM_NCCREATE (FALSE fails the creation), WM_CREATE (-1 destroys the window and
// fails), WM_SIZE and WM_MOVE, then ShowWindow if the style has WS_VISIBLE.
//
// DestroyWindow: owned windows first; the window hides (activation passes on, the focus leaves
// it); WM_DESTROY goes to the window and then down through its descendants; then, from the
// deepest descendants back up to the window, each gets WM_NCDESTROY and leaves the table. Sends
// still queued to a window leaving the table are answered 0.
#pragma once

#include "user/message_queue.h"

#include <winuser.h>

#include <memory>

namespace handset {

struct DialogState;

struct WindowRequest {
    DWORD ex_style = 0;
    LPCWSTR class_name = nullptr;
    LPCWSTR title = nullptr;
    DWORD style = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    HWND parent;
    HMENU menu;
    HINSTANCE instance;
    LPVOID parameter = nullptr;
    void place(const RECT& rect) {
        x = rect.left;
        y = rect.top;
        width = rect.right - rect.left;
        height = rect.bottom - rect.top;
    }

    // A dialog's state, in place before the first message reaches the dialog procedure.
    std::shared_ptr<DialogState> dialog;
    bool takes_activation = true;
};

HWND create_window(const WindowRequest& request);
BOOL destroy_window(HWND window);
// The thread that owns the queue has ended: its windows leave the table without messages.
void forget_windows_of(MessageQueue& queue);

} // namespace handset
