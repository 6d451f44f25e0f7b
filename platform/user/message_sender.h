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

// The same for the calling thread, if it has a queue. Services that make the calling thread wait
// for another thread (the SIM library closing a handle whose callback is running) call it while
// they wait, so that a callback sending to this thread cannot deadlock with it.
void serve_sent_messages();

} // namespace handset
