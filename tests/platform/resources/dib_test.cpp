#include "resources/dib.h"

#include "base/debug_output.h"
#include "resource_bytes.h"

#include <libloaderapi.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace handset {
namespace {

using testing::Bytes;

// The picture that fixtures/make_bitmaps.py draws at every depth (see there).
constexpr int kWidth = 5;
constexpr int kHeight = 3;

uint32_t argb(unsigned a, unsigned r, unsigned g, unsigned b) {
    return a << 24 | r << 16 | g << 8 | b;
}

uint32_t palette_colour(unsigned i, int bits) {
    if (bits == 1) {
        return i == 0 ? argb(255, 0x10, 0x20, 0x30) : argb(255, 0xF0, 0xE0, 0xD0);
    }
    if (bits == 4) {
        return argb(255, i * 16, 255 - i * 16, i * 8);
    }
    return argb(255, i, 255 - i, (i * 7) & 0xFF);
}

uint32_t expected_pixel(int x, int y, int bits) {
    if (bits <= 8) {
        return palette_colour((x * 37 + y * 101) % (1 << bits), bits);
    }
    unsigned alpha = bits == 32 ? 255 - x * 40 - y * 10 : 255;
    return argb(alpha, x * 50, y * 60, 255 - x * 20);
}

DibImage fixture_bitmap(WORD id) {
    return testing::parse_fixture(id, RT_BITMAP, parse_dib);
}

void expect_picture(const DibImage& image, int bits) {
    ASSERT_EQ(image.width, kWidth);
    ASSERT_EQ(image.height, kHeight);
    EXPECT_EQ(image.bits_per_pixel, bits);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            EXPECT_EQ(image.pixel(x, y), expected_pixel(x, y, bits))
                << bits << " bits, pixel " << x << "," << y;
        }
    }
}

TEST(Dib, EachDepthGivesTheDrawnPixelsTopRowFirst) {
    for (int bits : {1, 4, 8, 24, 32}) {
        expect_picture(fixture_bitmap(static_cast<WORD>(bits)), bits);
    }
}

TEST(Dib, TopDownRowsGiveTheSamePicture) {
    expect_picture(fixture_bitmap(40), 4);
    expect_picture(fixture_bitmap(240), 24);
    expect_picture(fixture_bitmap(320), 32);
}

TEST(Dib, KeepsTheAlphaOfA32BitBitmapAndOnlyThere) {
    EXPECT_TRUE(fixture_bitmap(32).has_alpha);
    EXPECT_FALSE(fixture_bitmap(24).has_alpha);
    EXPECT_FALSE(fixture_bitmap(8).has_alpha);
}

Bytes info_header(int width, int height, WORD bits, DWORD compression, DWORD colours) {
    Bytes bytes;
    bytes.dword(40).dword(static_cast<DWORD>(width)).dword(static_cast<DWORD>(height));
    bytes.word(1).word(bits).dword(compression).dword(0).dword(0).dword(0).dword(colours).dword(0);
    return bytes;
}

TEST(Dib, Reads32BitPixelsWithoutAlphaAsOpaque) {
    Bytes bytes = info_header(2, 1, 32, 0, 0);
    bytes.dword(0x00112233).dword(0x00445566);

    std::optional<DibImage> image = parse_dib(bytes);
    ASSERT_TRUE(image.has_value());
    EXPECT_FALSE(image->has_alpha);
    EXPECT_EQ(image->pixel(0, 0), 0xFF112233u);
    EXPECT_EQ(image->pixel(1, 0), 0xFF445566u);
}

TEST(Dib, AppliesBitfieldMasksAfterTheHeader) {
    Bytes bytes = info_header(1, 1, 32, 3, 0);
    bytes.dword(0x000000FF).dword(0x0000FF00).dword(0x00FF0000); // red, green, blue masks
    bytes.dword(0x00332211);

    std::optional<DibImage> image = parse_dib(bytes);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->pixel(0, 0), argb(255, 0x11, 0x22, 0x33));
}

TEST(Dib, ShowsIndexesPastAShortColourTableAsBlack) {
    Bytes bytes = info_header(2, 1, 8, 0, 1);
    bytes.dword(0x00FFFFFF);       // the one colour: white
    bytes.byte(0).byte(9).word(0); // a row: white, then index 9

    std::optional<DibImage> image = parse_dib(bytes);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(image->pixel(1, 0), 0xFF000000u);
}

TEST(Dib, RefusesDamagedOrUnsupportedBitmapsWithAReason) {
    std::vector<testing::DamagedInput> cases;
    cases.push_back({"rows cut short", info_header(4, 4, 24, 0, 0).dword(0), "bitmap rows"});
    cases.push_back({"core header", Bytes().dword(12).word(1).word(1).word(1).word(24),
                     "not a BITMAPINFOHEADER"});
    cases.push_back({"16 bits", info_header(1, 1, 16, 0, 0).dword(0), "16 bits per pixel"});
    cases.push_back({"run-length", info_header(1, 1, 8, 1, 0).dword(0), "compression 1"});
    cases.push_back({"no width", info_header(0, 1, 24, 0, 0).dword(0), "size 0 x 1"});
    cases.push_back({"no height", info_header(1, 0, 24, 0, 0).dword(0), "size 1 x 0"});
    cases.push_back(
        {"lowest height", info_header(1, INT32_MIN, 24, 0, 0).dword(0), "size 1 x -2147483648"});
    cases.push_back({"huge", info_header(0x7FFFFFFF, 0x7FFFFFFF, 1, 0, 0), "more than a bitmap"});
    cases.push_back({"long colour table", info_header(1, 1, 1, 0, 3), "colour table of 3"});
    cases.push_back({"missing colours", info_header(1, 1, 8, 0, 0).dword(0), "colour table"});
    testing::expect_refused_with_reason(cases, parse_dib);
}

TEST(Dib, RefusesEveryTruncation) {
    for (WORD id : {1, 8, 32}) {
        SCOPED_TRACE(id);
        testing::expect_every_truncation_refused(
            testing::fixture_resource(MAKEINTRESOURCE(id), RT_BITMAP), parse_dib);
    }
}

} // namespace
} // namespace handset
