#include "resources/dib.h"

#include "resources/byte_reader.h"

#include <bit>
#include <limits>

namespace handset {

namespace {

constexpr DWORD kInfoHeaderSize = 40;        // BITMAPINFOHEADER
constexpr DWORD kHeaderWithColourMasks = 52; // BITMAPV2INFOHEADER: red, green, blue masks inside
constexpr DWORD kHeaderWithAlphaMask = 56;   // BITMAPV3INFOHEADER: and the alpha mask
constexpr DWORD kRgb = 0;                    // BI_RGB
constexpr DWORD kBitfields = 3;              // BI_BITFIELDS
constexpr uint64_t kLargestPixelCount = 4096 * 4096;
constexpr uint32_t kOpaque = 0xFF000000;

struct InfoHeader {
    DWORD size = 0;
    LONG width = 0;
    LONG height = 0;
    WORD planes = 0;
    WORD bit_count = 0;
    DWORD compression = 0;
    DWORD colours_used = 0;
};

struct ColourMasks {
    DWORD red = 0x00FF0000;
    DWORD green = 0x0000FF00;
    DWORD blue = 0x000000FF;
    DWORD alpha = 0xFF000000;
};

struct Layout {
    InfoHeader header;
    ColourMasks masks;
    std::vector<uint32_t> palette;
};

InfoHeader read_info_header(ByteReader& reader) {
    InfoHeader header;
    header.size = reader.u32("bitmap header size");
    if (header.size < kInfoHeaderSize) {
        throw ParseError(parse_error_text(
            "a header of %u bytes is not a BITMAPINFOHEADER (40 bytes or more)", header.size));
    }
    header.width = static_cast<LONG>(reader.u32("bitmap width"));
    header.height = static_cast<LONG>(reader.u32("bitmap height"));
    header.planes = reader.u16("bitmap planes");
    header.bit_count = reader.u16("bitmap bits per pixel");
    header.compression = reader.u32("bitmap compression");
    reader.u32("bitmap image size");
    reader.u32("bitmap horizontal resolution");
    reader.u32("bitmap vertical resolution");
    header.colours_used = reader.u32("bitmap colours used");
    reader.u32("bitmap important colours");
    return header;
}

void check_header(const InfoHeader& header) {
    WORD bits = header.bit_count;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) {
        throw ParseError(parse_error_text("%u bits per pixel are not supported", unsigned{bits}));
    }
    if (header.compression != kRgb && !(header.compression == kBitfields && bits == 32)) {
        throw ParseError(parse_error_text("compression %u with %u bits per pixel is not supported",
                                          header.compression, unsigned{bits}));
    }
    if (header.planes != 1) {
        throw ParseError(parse_error_text("%u planes instead of 1", unsigned{header.planes}));
    }
    if (header.width <= 0 || header.height == 0 ||
        header.height == std::numeric_limits<LONG>::min()) {
        throw ParseError(
            parse_error_text("the size %d x %d is not a bitmap's", header.width, header.height));
    }
    uint64_t pixels =
        uint64_t(header.width) * uint64_t(header.height < 0 ? -header.height : header.height);
    if (pixels > kLargestPixelCount) {
        throw ParseError(parse_error_text("%d x %d pixels are more than a bitmap may have",
                                          header.width, header.height));
    }
}

// BI_BITFIELDS masks sit inside the larger headers, and right after a plain BITMAPINFOHEADER.
ColourMasks read_masks(ByteReader& reader, const InfoHeader& header) {
    ColourMasks masks;
    if (header.compression != kBitfields) {
        return masks;
    }
    masks.red = reader.u32("red mask");
    masks.green = reader.u32("green mask");
    masks.blue = reader.u32("blue mask");
    masks.alpha = header.size >= kHeaderWithAlphaMask ? reader.u32("alpha mask") : 0;
    return masks;
}

uint32_t rgb(BYTE red, BYTE green, BYTE blue) {
    return kOpaque | uint32_t{red} << 16 | uint32_t{green} << 8 | blue;
}

std::vector<uint32_t> read_palette(ByteReader& reader, const InfoHeader& header) {
    DWORD count = header.colours_used;
    if (header.bit_count <= 8) {
        DWORD most = DWORD{1} << header.bit_count;
        if (count == 0) {
            count = most;
        }
        if (count > most) {
            throw ParseError(parse_error_text("a colour table of %u entries for %u bits per pixel",
                                              count, unsigned{header.bit_count}));
        }
    }
    std::span<const BYTE> table = reader.bytes(size_t{count} * 4, "colour table");
    std::vector<uint32_t> palette;
    if (header.bit_count <= 8) {
        for (size_t i = 0; i < table.size(); i += 4) {
            palette.push_back(rgb(table[i + 2], table[i + 1], table[i]));
        }
    }
    return palette;
}

Layout read_layout(ByteReader& reader) {
    Layout layout;
    layout.header = read_info_header(reader);
    check_header(layout.header);
    if (layout.header.size >= kHeaderWithColourMasks) {
        layout.masks = read_masks(reader, layout.header);
        reader.seek(layout.header.size, "end of the bitmap header");
    } else {
        reader.seek(layout.header.size, "end of the bitmap header");
        layout.masks = read_masks(reader, layout.header);
    }
    layout.palette = read_palette(reader, layout.header);
    return layout;
}

// A channel's bits, scaled to 8 bits.
BYTE channel(uint32_t value, DWORD mask) {
    if (mask == 0) {
        return 0;
    }
    int width = std::popcount(mask);
    uint32_t bits = (value & mask) >> std::countr_zero(mask);
    if (width >= 8) {
        return static_cast<BYTE>(bits >> (width - 8));
    }
    return static_cast<BYTE>(bits * 255 / ((1u << width) - 1));
}

uint32_t palette_colour(const std::vector<uint32_t>& palette, unsigned index) {
    // An index past a short colour table shows black, as the device draws it.
    return index < palette.size() ? palette[index] : kOpaque;
}

uint32_t masked_colour(uint32_t value, const ColourMasks& masks) {
    return uint32_t{channel(value, masks.alpha)} << 24 | uint32_t{channel(value, masks.red)} << 16 |
           uint32_t{channel(value, masks.green)} << 8 | channel(value, masks.blue);
}

uint32_t read_pixel(std::span<const BYTE> row, int x, const Layout& layout) {
    switch (layout.header.bit_count) {
    case 1:
    case 4:
    case 8: {
        unsigned bits = layout.header.bit_count;
        size_t bit = size_t(x) * bits;
        unsigned shift = 8 - bits - bit % 8;
        return palette_colour(layout.palette, (row[bit / 8] >> shift) & ((1u << bits) - 1));
    }
    case 24:
        return rgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    default: {
        const BYTE* p = &row[4 * size_t(x)];
        return masked_colour(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 |
                                 uint32_t{p[3]} << 24,
                             layout.masks);
    }
    }
}

// A 32-bit bitmap that leaves every fourth byte 0 has no alpha channel: it is opaque.
void settle_alpha(DibImage& image) {
    for (uint32_t pixel : image.pixels) {
        if ((pixel & kOpaque) != 0) {
            image.has_alpha = true;
            return;
        }
    }
    for (uint32_t& pixel : image.pixels) {
        pixel |= kOpaque;
    }
}

DibImage read_bitmap(ByteReader& reader) {
    Layout layout = read_layout(reader);
    const InfoHeader& header = layout.header;
    DibImage image;
    image.width = header.width;
    image.height = header.height < 0 ? -header.height : header.height;
    image.bits_per_pixel = header.bit_count;
    size_t stride = (size_t(header.width) * header.bit_count + 31) / 32 * 4;
    std::span<const BYTE> rows = reader.bytes(stride * image.height, "bitmap rows");
    image.pixels.resize(size_t(image.width) * image.height);
    for (int y = 0; y < image.height; ++y) {
        int stored_row = header.height < 0 ? y : image.height - 1 - y;
        std::span<const BYTE> row = rows.subspan(stride * stored_row, stride);
        for (int x = 0; x < image.width; ++x) {
            image.pixels[size_t(y) * image.width + x] = read_pixel(row, x, layout);
        }
    }
    if (header.bit_count == 32) {
        settle_alpha(image);
    }
    return image;
}

} // namespace

std::optional<DibImage> parse_dib(std::span<const BYTE> data) {
    return read_record(data, "Bitmap", read_bitmap);
}

} // namespace handset
