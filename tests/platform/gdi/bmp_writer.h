// Writes small BMP files of every depth for the loading tests.
#pragma once

#include <windef.h>

#include <filesystem>
#include <functional>
#include <vector>

namespace handset {

struct BmpLayout {
    int width;
    int height;
    WORD bits; // 1, 4, 8, 24 or 32
    bool top_down = false;
    std::vector<COLORREF> palette; // for 1, 4 and 8 bits
    // The palette index (1, 4, 8 bits) or the 0xAARRGGBB value (24 and 32 bits) of a pixel, with
    // y counted from the top.
    std::function<uint32_t(int x, int y)> value;
};

void write_bmp(const std::filesystem::path& path, const BmpLayout& layout);

} // namespace handset
