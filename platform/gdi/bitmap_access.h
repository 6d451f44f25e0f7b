// Bitmap pixels for the platform's own controls (image lists, picture statics), which cut, keep
// and prepare images themselves. Each call takes the GDI lock itself.
#pragma once

#include "gdi/surface.h"

#include <windef.h>

#include <optional>

namespace handset {

struct BitmapPixels {
    Surface image;
    // The pixels carry their own straight (not premultiplied) alpha; otherwise all are opaque.
    bool has_alpha = false;
};

// A copy of the bitmap's pixels; nothing for a handle that names no bitmap.
std::optional<BitmapPixels> read_bitmap(HBITMAP bitmap);
// A new bitmap object of these pixels (32 bits per pixel); 0 when the object table is full.
HBITMAP create_bitmap(BitmapPixels pixels);

} // namespace handset
