#include "bmp_writer.h"

#include <cstring>
#include <fstream>

namespace handset {

namespace {

template <typename T>
void put(std::vector<uint8_t>& out, T value) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
    out.insert(out.end(), bytes, bytes + sizeof(T));
}

std::vector<uint8_t> row_bytes(const BmpLayout& layout, int y) {
    std::vector<uint8_t> row;
    uint32_t bit_buffer = 0;
    int bit_count = 0;
    for (int x = 0; x < layout.width; ++x) {
        const uint32_t v = layout.value(x, y);
        if (layout.bits >= 24) {
            row.push_back(static_cast<uint8_t>(v));
            row.push_back(static_cast<uint8_t>(v >> 8));
            row.push_back(static_cast<uint8_t>(v >> 16));
            if (layout.bits == 32) {
                row.push_back(static_cast<uint8_t>(v >> 24));
            }
            continue;
        }
        bit_buffer = (bit_buffer << layout.bits) | v;
        bit_count += layout.bits;
        if (bit_count == 8) {
            row.push_back(static_cast<uint8_t>(bit_buffer));
            bit_buffer = 0;
            bit_count = 0;
        }
    }
    if (bit_count > 0) {
        row.push_back(static_cast<uint8_t>(bit_buffer << (8 - bit_count)));
    }
    row.resize((row.size() + 3) / 4 * 4, 0);
    return row;
}

} // namespace

void write_bmp(const std::filesystem::path& path, const BmpLayout& layout) {
    std::vector<uint8_t> pixels;
    for (int i = 0; i < layout.height; ++i) {
        const int y = layout.top_down ? i : layout.height - 1 - i;
        const std::vector<uint8_t> row = row_bytes(layout, y);
        pixels.insert(pixels.end(), row.begin(), row.end());
    }
    std::vector<uint8_t> info;
    put<uint32_t>(info, 40);
    put<int32_t>(info, layout.width);
    put<int32_t>(info, layout.top_down ? -layout.height : layout.height);
    put<uint16_t>(info, 1);
    put<uint16_t>(info, layout.bits);
    put<uint32_t>(info, 0);
    put<uint32_t>(info, static_cast<uint32_t>(pixels.size()));
    put<int32_t>(info, 3780);
    put<int32_t>(info, 3780);
    put<uint32_t>(info, static_cast<uint32_t>(layout.palette.size()));
    put<uint32_t>(info, 0);
    for (COLORREF c : layout.palette) {
        put<uint8_t>(info, GetBValue(c));
        put<uint8_t>(info, GetGValue(c));
        put<uint8_t>(info, GetRValue(c));
        put<uint8_t>(info, 0);
    }
    std::vector<uint8_t> file;
    const uint32_t offset = 14 + static_cast<uint32_t>(info.size());
    file.push_back('B');
    file.push_back('M');
    put<uint32_t>(file, offset + static_cast<uint32_t>(pixels.size()));
    put<uint32_t>(file, 0);
    put<uint32_t>(file, offset);
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), pixels.begin(), pixels.end());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
}

} // namespace handset
