// Tap-and-hold as the handset recognises it: the stylus stays down near where it landed for the
// hold time. A control that offers a context menu asks on its stylus-down, with the capture set.
#pragma once

#include <windef.h>

#include <chrono>

namespace handset {

inline constexpr std::chrono::milliseconds hold_time{500};

// Waits, handling nothing meanwhile, until the stylus comes up (false), moves away
// from `client_point` (false) or the hold time has passed with it still down (true). Stylus
// messages stay in the queue for the window to handle as usual.
bool recognise_hold(HWND window, POINT client_point);

} // namespace handset
