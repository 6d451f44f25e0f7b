// What a pen, brush, font or bitmap handle stands for.
#pragma once

#include "gdi/surface.h"

#include <wingdi.h>

#include <cstdint>
#include <variant>

namespace handset {

struct BrushData {
    COLORREF color;
    bool hollow;
};

struct PenData {
    UINT style; // PS_SOLID, PS_DASH or PS_NULL
    int width;  // at least 1
    COLORREF color;
};

struct FontData {
    LOGFONTW logfont;
    // The stock system font keeps its point size when the screen's density changes, so its
    // pixel height is worked out from the screen at each use.
    bool sized_by_screen;
};

struct BitmapData {
    Surface image;
    WORD bits_pixel;
    // A 32-bit bitmap whose pixels carry their own alpha (straight, not premultiplied, as it was
    // loaded); every other bitmap is opaque.
    bool has_alpha = false;
    // A bitmap may be selected into one memory DC at a time (its handle value, 0 for none).
    uint32_t selected_into = 0;
};

struct GdiObject {
    std::variant<BrushData, PenData, FontData, BitmapData> data;
    // Stock objects survive DeleteObject.
    bool stock = false;
};

} // namespace handset
