// The bands the shell divides the screen into: the task bar across the top, the menu bar across
// the bottom, the input panel just above the menu bar while it is raised, and the desktop between
// them. Sizes follow the screen's density (twice the pixels on a 192 dpi screen), and the bands
// follow the screen's current shape, so a rotated screen gets wider, flatter bands.
#pragma once

#include "gdi/screen.h"

#include <windef.h>

namespace handset {

struct ScreenBands {
    RECT task_bar;
    RECT menu_bar;
    RECT input_panel;
    // Between the task bar and the menu bar.
    RECT desktop;

    // The desktop less the input panel when it is up.
    RECT visible_desktop(bool panel_up) const;

    static ScreenBands of(const ScreenProfile& screen);
    // The bands of the screen as it is now.
    static ScreenBands current();
};

} // namespace handset
