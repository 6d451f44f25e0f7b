// The wait cursor as the device shows it: a ring of dots in the screen's centre, one bright dot
// chasing round while the program is busy.
#pragma once

#include "gdi/surface.h"

namespace handset {

// Where the spinner goes on a screen of this size and density.
RECT wait_spinner_area(int screen_width, int screen_height, int dpi);
// Draws the spinner into `area` of `target`, turned to `phase` (eighths of a turn).
void draw_wait_spinner(Surface& target, const RECT& area, int phase);

} // namespace handset
