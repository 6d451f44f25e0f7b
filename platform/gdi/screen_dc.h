// Device contexts for the window system: GetDC, GetWindowDC and BeginPaint hand these out, and
// ReleaseDC and EndPaint end them. Each call takes the GDI lock itself.
#pragma once

#include "gdi/clip_region.h"

#include <windef.h>

namespace handset {

// A DC that draws on the screen: logical (0, 0) is `origin` in screen coordinates (a window's
// client or window corner), and nothing lands outside `visible` (screen coordinates: the
// window's visible part, or its update region for BeginPaint). The DC starts as the device's do:
// black pen, white brush, system font, black text on an opaque white background.
HDC create_screen_dc(POINT origin, const ClipRegion& visible);

// Ends a DC from create_screen_dc; false (and nothing happens) for any other handle. DeleteDC
// refuses these, as on the device.
bool release_screen_dc(HDC dc);

// The LOGFONT height for a dialog template's point size at the screen's current density.
LONG font_height_for_points(int points);

} // namespace handset
