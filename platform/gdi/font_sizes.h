// Font sizes as the device works them out: a point size becomes a negative LOGFONT height, the
// character height in pixels at the screen's dots per inch, rounded as MulDiv rounds.
#pragma once

#include <windef.h>

namespace handset {

// number * numerator / denominator, rounded half away from zero; -1 when denominator is 0.
int mul_div(int number, int numerator, int denominator);

// What a dialog template's point size becomes as LOGFONT height at `dpi`.
LONG font_height_for_points(int points, int dpi);

// The stock system font: 9 points.
LONG system_font_height(int dpi);

} // namespace handset
