#include "bmp_writer.h"
#include "gdi/bitmap_access.h"
#include "gdi/rect_math.h"
#include "screen_fixture.h"

#include <libloaderapi.h>

#include <unistd.h>

#include <fstream>

#include <string>

namespace handset {
namespace {

constexpr COLORREF white = RGB(255, 255, 255);

const std::vector<COLORREF> eight_colours = {RGB(0, 0, 0),     RGB(255, 0, 0),   RGB(0, 255, 0),
                                             RGB(0, 0, 255),   RGB(255, 255, 0), RGB(0, 255, 255),
                                             RGB(255, 0, 255), RGB(128, 64, 32)};

// The colour the test pictures have at (x, y), whatever their depth.
COLORREF expected_colour(WORD bits, int x, int y) {
    switch (bits) {
    case 1:
        return (x + y) % 2 ? white : RGB(0, 0, 0);
    case 4:
    case 8:
        return eight_colours[(x + 3 * y) % 8];
    default:
        return RGB(x * 40, y * 60, 200);
    }
}

BmpLayout picture(WORD bits, bool top_down) {
    BmpLayout layout{6, 4, bits, top_down, {}, nullptr};
    if (bits == 1) {
        layout.palette = {RGB(0, 0, 0), white};
        layout.value = [](int x, int y) { return uint32_t((x + y) % 2); };
    } else if (bits <= 8) {
        layout.palette = eight_colours;
        layout.value = [](int x, int y) { return uint32_t((x + 3 * y) % 8); };
    } else {
        layout.value = [bits](int x, int y) {
            return pixel_from_colorref(expected_colour(bits, x, y));
        };
    }
    return layout;
}

class Bitmaps : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        m_folder =
            std::filesystem::temp_directory_path() / ("gdi-bitmaps-" + std::to_string(getpid()));
        std::filesystem::create_directories(m_folder);
    }
    void TearDown() override {
        std::filesystem::remove_all(m_folder);
        ScreenTest::TearDown();
    }

    HBITMAP load_file(const BmpLayout& layout, UINT flags = 0) {
        const std::filesystem::path path = m_folder / "picture.bmp";
        write_bmp(path, layout);
        const std::u16string name = path.u16string();
        return HBITMAP(
            LoadImageW(HINSTANCE(), name.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | flags));
    }

    // Puts the bitmap on the screen at (x, y) through a memory DC.
    void show(HBITMAP bitmap, int x, int y) {
        BITMAP info{};
        ASSERT_EQ(GetObjectW(bitmap, sizeof(info), &info), int(sizeof(info)));
        const HDC memory = CreateCompatibleDC(dc());
        const HGDIOBJ previous = SelectObject(memory, bitmap);
        ASSERT_TRUE(previous);
        ASSERT_TRUE(BitBlt(dc(), x, y, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY));
        SelectObject(memory, previous);
        DeleteDC(memory);
    }

    // A memory DC with a new bitmap of one colour selected.
    HDC solid_memory_dc(int width, int height, COLORREF colour) {
        const HDC memory = CreateCompatibleDC(dc());
        const HBITMAP bitmap = CreateCompatibleBitmap(dc(), width, height);
        SelectObject(memory, bitmap);
        DeleteObject(bitmap); // lives on while selected
        const HBRUSH brush = CreateSolidBrush(colour);
        const RECT all{0, 0, width, height};
        FillRect(memory, &all, brush);
        DeleteObject(brush);
        return memory;
    }

    std::filesystem::path m_folder;
};

TEST_F(Bitmaps, BitmapsOfEveryDepthAndOrientationShowTheirColours) {
    for (WORD bits : {1, 4, 8, 24, 32}) {
        for (bool top_down : {false, true}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, top-down " << top_down);
            const HBITMAP bitmap = load_file(picture(bits, top_down));
            ASSERT_TRUE(bitmap);
            show(bitmap, 10, 20);
            for (int y = 0; y < 4; ++y) {
                for (int x = 0; x < 6; ++x) {
                    EXPECT_EQ(at(10 + x, 20 + y), expected_colour(bits, x, y)) << x << "," << y;
                }
            }
            EXPECT_EQ(at(16, 20), white);
            EXPECT_TRUE(DeleteObject(bitmap));
        }
    }
}

TEST_F(Bitmaps, GetObjectGivesTheSizeAndTheDepth) {
    const HBITMAP plain = load_file(picture(8, false));
    BITMAP info{};
    EXPECT_EQ(GetObjectW(plain, 0, nullptr), int(sizeof(BITMAP)));
    ASSERT_EQ(GetObjectW(plain, sizeof(info), &info), int(sizeof(info)));
    EXPECT_EQ(info.bmWidth, 6);
    EXPECT_EQ(info.bmHeight, 4);
    EXPECT_EQ(info.bmBitsPixel, 32); // a device bitmap takes the screen's depth
    EXPECT_EQ(GetObjectW(plain, sizeof(info) - 1, &info), 0);
    const HBITMAP section = load_file(picture(8, false), LR_CREATEDIBSECTION);
    GetObjectW(section, sizeof(info), &info);
    EXPECT_EQ(info.bmBitsPixel, 8);
    DeleteObject(plain);
    DeleteObject(section);
}

TEST_F(Bitmaps, LoadImageStretchesToTheSizeAsked) {
    const std::filesystem::path path = m_folder / "picture.bmp";
    write_bmp(path, picture(24, false));
    const std::u16string name = path.u16string();
    const HBITMAP big =
        HBITMAP(LoadImageW(HINSTANCE(), name.c_str(), IMAGE_BITMAP, 12, 8, LR_LOADFROMFILE));
    show(big, 0, 0);
    EXPECT_EQ(at(0, 0), expected_colour(24, 0, 0));
    EXPECT_EQ(at(11, 7), expected_colour(24, 5, 3));
    EXPECT_EQ(at(3, 2), expected_colour(24, 1, 1));
    DeleteObject(big);
}

TEST_F(Bitmaps, LoadBitmapReadsAResourceModule) {
    const std::u16string path = std::filesystem::path(GDI_FIXTURE_FILE).u16string();
    const HMODULE module = LoadLibraryExW(path.c_str(), HANDLE(), LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(module);
    const HBITMAP swatches = LoadBitmapW(module, MAKEINTRESOURCE(300));
    ASSERT_TRUE(swatches);
    show(swatches, 100, 100);
    EXPECT_EQ(at(100, 100), RGB(255, 0, 0));
    EXPECT_EQ(at(102, 100), RGB(0, 0, 255));
    EXPECT_EQ(at(101, 101), RGB(128, 128, 128));
    EXPECT_EQ(at(103, 101), RGB(0, 255, 255));
    EXPECT_FALSE(LoadBitmapW(module, MAKEINTRESOURCE(301)));
    DeleteObject(swatches);
    FreeLibrary(module);
}

TEST_F(Bitmaps, FilesThatAreNotBitmapsLoadNothing) {
    const std::filesystem::path path = m_folder / "not.bmp";
    std::ofstream(path) << "GIF89a, nothing like a bitmap";
    const std::u16string name = path.u16string();
    EXPECT_FALSE(LoadImageW(HINSTANCE(), name.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    const std::u16string missing = (m_folder / "missing.bmp").u16string();
    EXPECT_FALSE(LoadImageW(HINSTANCE(), missing.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    EXPECT_FALSE(LoadImageW(HINSTANCE(), name.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
}

TEST_F(Bitmaps, ABitmapIsSelectedIntoOneMemoryDCAtATime) {
    const HBITMAP bitmap = CreateCompatibleBitmap(dc(), 4, 4);
    const HDC first = CreateCompatibleDC(dc());
    const HDC second = CreateCompatibleDC(dc());
    EXPECT_TRUE(SelectObject(first, bitmap));
    EXPECT_FALSE(SelectObject(second, bitmap));
    EXPECT_FALSE(SelectObject(dc(), bitmap)); // never into a screen DC
    DeleteDC(first);
    EXPECT_TRUE(SelectObject(second, bitmap));
    EXPECT_EQ(GetCurrentObject(second, OBJ_BITMAP), HGDIOBJ(bitmap));
    DeleteDC(second);
    EXPECT_FALSE(DeleteDC(dc())); // a screen DC is released, not deleted
    DeleteObject(bitmap);
}

TEST_F(Bitmaps, BlitsCopyBetweenMemoryDCsAndTheScreen) {
    const HDC red = solid_memory_dc(8, 8, RGB(255, 0, 0));
    const HDC copy = solid_memory_dc(8, 8, RGB(0, 0, 255));
    ASSERT_TRUE(BitBlt(copy, 2, 2, 4, 4, red, 0, 0, SRCCOPY));
    ASSERT_TRUE(BitBlt(dc(), 0, 0, 8, 8, copy, 0, 0, SRCCOPY));
    EXPECT_EQ(at(1, 1), RGB(0, 0, 255));
    EXPECT_EQ(at(2, 2), RGB(255, 0, 0));
    EXPECT_EQ(at(5, 5), RGB(255, 0, 0));
    EXPECT_EQ(at(6, 6), RGB(0, 0, 255));
    EXPECT_EQ(at(8, 8), white);
    // Reading past the source's edge leaves the destination as it was.
    ASSERT_TRUE(BitBlt(dc(), 20, 0, 20, 20, red, 0, 0, SRCCOPY));
    EXPECT_EQ(at(27, 7), RGB(255, 0, 0));
    EXPECT_EQ(at(28, 7), white);
    DeleteDC(red);
    DeleteDC(copy);
}

TEST_F(Bitmaps, ABlitWithinTheScreenScrollsWithoutSmearing) {
    for (int y = 0; y < 40; ++y) {
        SetPixel(dc(), 5, y, RGB(y * 5, 0, 0));
    }
    ASSERT_TRUE(BitBlt(dc(), 0, 0, 20, 30, dc(), 0, 10, SRCCOPY)); // up by ten rows
    for (int y = 0; y < 30; ++y) {
        EXPECT_EQ(at(5, y), RGB((y + 10) * 5, 0, 0)) << y;
    }
    ASSERT_TRUE(BitBlt(dc(), 0, 10, 20, 30, dc(), 0, 0, SRCCOPY)); // and back down
    EXPECT_EQ(at(5, 39), RGB(195, 0, 0));
    EXPECT_EQ(at(5, 10), RGB(50, 0, 0));
}

TEST_F(Bitmaps, RasterOperationsCombineSourceAndDestination) {
    const HDC source = solid_memory_dc(4, 4, RGB(0xF0, 0x0F, 0x00));
    const HBRUSH grey = CreateSolidBrush(RGB(0x33, 0x33, 0x33));
    const RECT r{0, 0, 4, 4};
    FillRect(dc(), &r, grey);
    ASSERT_TRUE(BitBlt(dc(), 0, 0, 4, 4, source, 0, 0, SRCAND));
    EXPECT_EQ(at(1, 1), RGB(0x30, 0x03, 0x00));
    ASSERT_TRUE(BitBlt(dc(), 0, 0, 4, 4, source, 0, 0, SRCPAINT));
    EXPECT_EQ(at(1, 1), RGB(0xF0, 0x0F, 0x00));
    ASSERT_TRUE(BitBlt(dc(), 0, 0, 4, 4, source, 0, 0, SRCINVERT));
    EXPECT_EQ(at(1, 1), RGB(0, 0, 0));
    ASSERT_TRUE(BitBlt(dc(), 0, 0, 4, 4, HDC(), 0, 0, WHITENESS)); // no source needed
    EXPECT_EQ(at(1, 1), white);
    EXPECT_FALSE(BitBlt(dc(), 0, 0, 4, 4, HDC(), 0, 0, SRCCOPY));
    DeleteDC(source);
    DeleteObject(grey);
}

TEST_F(Bitmaps, StretchBltScalesWithTheNearestPixel) {
    const HBITMAP swatches = load_file(picture(24, false));
    const HDC memory = CreateCompatibleDC(dc());
    SelectObject(memory, swatches);
    ASSERT_TRUE(StretchBlt(dc(), 0, 0, 12, 8, memory, 0, 0, 6, 4, SRCCOPY));
    EXPECT_EQ(at(1, 1), expected_colour(24, 0, 0));
    EXPECT_EQ(at(2, 2), expected_colour(24, 1, 1));
    EXPECT_EQ(at(11, 7), expected_colour(24, 5, 3));
    DeleteDC(memory);
    DeleteObject(swatches);
}

TEST_F(Bitmaps, TransparentBltLeavesTheKeyColourOut) {
    const HDC source = solid_memory_dc(6, 6, RGB(255, 0, 255));
    const RECT middle{2, 2, 4, 4};
    FillRect(source, &middle, HBRUSH(GetStockObject(BLACK_BRUSH)));
    ASSERT_TRUE(TransparentBlt(dc(), 10, 10, 6, 6, source, 0, 0, 6, 6, RGB(255, 0, 255)));
    EXPECT_EQ(ink(whole_screen()), 4);
    EXPECT_EQ(at(12, 12), RGB(0, 0, 0));
    DeleteDC(source);
}

TEST_F(Bitmaps, AlphaBlendMixesByConstantAndByPerPixelAlpha) {
    const HDC black = solid_memory_dc(4, 4, RGB(0, 0, 0));
    ASSERT_TRUE(
        AlphaBlend(dc(), 0, 0, 4, 4, black, 0, 0, 4, 4, BLENDFUNCTION{AC_SRC_OVER, 0, 128, 0}));
    EXPECT_EQ(at(1, 1), RGB(127, 127, 127));
    // Premultiplied half-transparent red, as an image list keeps it, over white.
    Surface half_red(2, 1, 0x80800000u);
    half_red.set_pixel(1, 0, 0x00000000u); // fully transparent
    const HBITMAP bitmap = create_bitmap(BitmapPixels{half_red, true});
    const HDC memory = CreateCompatibleDC(dc());
    SelectObject(memory, bitmap);
    ASSERT_TRUE(AlphaBlend(dc(), 10, 0, 2, 1, memory, 0, 0, 2, 1,
                           BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA}));
    EXPECT_EQ(at(10, 0), RGB(255, 127, 127));
    EXPECT_EQ(at(11, 0), white);
    EXPECT_FALSE(AlphaBlend(dc(), 0, 0, 4, 4, memory, 0, 0, 2, 1, BLENDFUNCTION{1, 0, 255, 0}));
    DeleteDC(memory);
    DeleteDC(black);
    DeleteObject(bitmap);
}

TEST_F(Bitmaps, PixelsReadBackAsTheyWereLoadedWithTheirAlpha) {
    BmpLayout layout{2, 1, 32, false, {}, [](int x, int) { return x ? 0x40FF0000u : 0xFF00FF00u; }};
    const HBITMAP bitmap = load_file(layout);
    const std::optional<BitmapPixels> pixels = read_bitmap(bitmap);
    ASSERT_TRUE(pixels);
    EXPECT_TRUE(pixels->has_alpha);
    EXPECT_EQ(pixels->image.pixel(0, 0), 0xFF00FF00u);
    EXPECT_EQ(pixels->image.pixel(1, 0), 0x40FF0000u);
    EXPECT_FALSE(read_bitmap(HBITMAP(GetStockObject(BLACK_BRUSH))));
    DeleteObject(bitmap);
}

TEST_F(Bitmaps, DrawingIntoAMemoryBitmapLeavesTheScreenAlone) {
    const HDC memory = solid_memory_dc(10, 10, RGB(0, 0, 0));
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, white);
    RECT all{0, 0, 10, 10};
    DrawTextW(memory, u"X", -1, &all, DT_SINGLELINE);
    EXPECT_EQ(ink(whole_screen()), 0);
    BitBlt(dc(), 0, 0, 10, 10, memory, 0, 0, SRCCOPY);
    // White strokes on black: some pixels bright, most dark.
    EXPECT_GT(count(RECT{0, 0, 10, 10}, [](COLORREF c) { return GetRValue(c) > 160; }), 3);
    EXPECT_GT(ink(RECT{0, 0, 10, 10}), 50);
    DeleteDC(memory);
}

} // namespace
} // namespace handset
