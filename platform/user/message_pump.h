// Taking the next message for the calling thread, in the device's order: messages other threads
// send are run first (they never come out of GetMessage), then posted messages in the order they
// were posted, then the quit request, then WM_PAINT for a window that needs painting. WM_PAINT
// stays due until the window is validated, so it is never taken out of the queue.
#pragma once

#include "user/message_queue.h"

#include <winuser.h>

#include <optional>

namespace handset {

enum class Removal { keep, remove };
enum class Waiting { wait, return_at_once };

std::optional<MSG> next_message(const MessageFilter& filter, Removal removal, Waiting waiting);

// A message stamped with the current time and stylus position, as posting stamps it.
MSG stamped_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

} // namespace handset
