// The non-client frame that the window system draws itself: a border for WS_BORDER and
// WS_DLGFRAME, and a caption bar with the window's title for WS_CAPTION.
#pragma once

#include <winuser.h>

namespace handset {

// Draws the frame where the window is visible (DefWindowProc's WM_NCPAINT).
void paint_frame(HWND window);

} // namespace handset
