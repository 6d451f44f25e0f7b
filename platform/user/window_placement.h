// Showing, hiding, moving, sizing and restacking windows, with the repainting each change needs.
#pragma once

#include <winuser.h>

namespace handset {

BOOL show_window(HWND window, int command);
BOOL set_window_pos(HWND window, HWND insert_after, int x, int y, int width, int height,
                    UINT flags);

} // namespace handset
