// The screen profile the device is set up with.
#pragma once

#include "gdi/screen.h"

namespace handset {

// The registry's HKLM\Handset\Device "Screen" ("qvga" or "vga", in any case); QVGA when the value
// is missing, and QVGA with a debug line when it names something else.
ScreenProfile configured_screen_profile();

} // namespace handset
