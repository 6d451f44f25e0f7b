// Device-independent bitmaps as RT_BITMAP resources store them (a BMP file without its 14-byte
// file header): a BITMAPINFOHEADER (or a V4/V5 header), the colour masks or colour table, then the
// rows. 1, 4, 8, 24 and 32 bits per pixel, uncompressed (32 bits also with BI_BITFIELDS masks),
// stored bottom-up (positive height) or top-down (negative height).
#pragma once

#include <windef.h>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace handset {

struct DibImage {
    int width = 0;
    int height = 0;
    WORD bits_per_pixel = 0; // of the stored bitmap
    // True for a 32-bit bitmap whose fourth byte carries an alpha channel. Where every such byte
    // is 0 the bitmap does not use it, and its pixels read as opaque.
    bool has_alpha = false;
    // Rows from the top down, each pixel 0xAARRGGBB; opaque (0xFF alpha) unless has_alpha.
    std::vector<uint32_t> pixels;

    uint32_t pixel(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Reads a DIB that starts at data[0]. A damaged or unsupported bitmap writes one debug line saying
// what is wrong and gives nullopt.
std::optional<DibImage> parse_dib(std::span<const BYTE> data);

} // namespace handset
