// Calling window procedures and sending messages, on this thread or across threads.
#pragma once

#include "user/message_queue.h"

#include <winuser.h>

namespace handset {

// Runs the window's current procedure on the calling thread; 0 when the window is gone.
LRESULT call_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// SendMessage: the procedure runs on the window's own thread, and the caller waits for it.
LRESULT send_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Runs what other threads have sent to this thread so far; true if anything ran.
bool run_incoming_sends(MessageQueue& queue);

} // namespace handset
