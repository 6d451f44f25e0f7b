// WM_PAINT delivery. The window procedure normally paints between BeginPaint and EndPaint, which
// validates the window; one that answers WM_PAINT without painting has its window validated
// afterwards (its frame drawn first), so a forgetful procedure cannot make its thread spin on an
// endless stream of WM_PAINT.
#pragma once

#include <winuser.h>

namespace handset {

// Runs the window's procedure for WM_PAINT (through a send when the window belongs to another
// thread), then validates what it left invalid.
LRESULT deliver_paint(HWND window);

} // namespace handset
