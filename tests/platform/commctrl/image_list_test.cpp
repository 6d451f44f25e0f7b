#include "gdi/bitmap_access.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

// A strip of `count` images of size × size, image i filled with colour_of(i) at the alpha given.
HBITMAP make_strip(int count, int size, BYTE alpha = 0xFF, bool has_alpha = false) {
    handset::Surface pixels(count * size, size);
    for (int i = 0; i < count; ++i) {
        const COLORREF colour = RGB(10 * i, 200, 255 - 10 * i);
        const uint32_t pixel =
            (handset::pixel_from_colorref(colour) & 0x00FFFFFFu) | (uint32_t{alpha} << 24);
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                pixels.set_pixel(i * size + x, y, pixel);
            }
        }
    }
    return handset::create_bitmap(handset::BitmapPixels{std::move(pixels), has_alpha});
}

// A white memory DC to draw into.
class Canvas {
  public:
    Canvas() : m_dc(CreateCompatibleDC(HDC())), m_bitmap(CreateCompatibleBitmap(m_dc, 32, 32)) {
        m_previous = SelectObject(m_dc, m_bitmap);
        const RECT all{0, 0, 32, 32};
        FillRect(m_dc, &all, HBRUSH(GetStockObject(WHITE_BRUSH)));
    }
    ~Canvas() {
        SelectObject(m_dc, m_previous);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    HDC dc() const { return m_dc; }

  private:
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_previous;
};

} // namespace

TEST(ImageList, CutsAStripIntoImagesOfTheListsWidthBeyondTheInitialCount) {
    const HIMAGELIST list = ImageList_Create(4, 4, ILC_COLOR32, 2, 2);
    ASSERT_TRUE(list);
    const HBITMAP strip = make_strip(5, 4);
    EXPECT_EQ(ImageList_Add(list, strip, HBITMAP()), 0);
    EXPECT_EQ(ImageList_GetImageCount(list), 5);
    EXPECT_EQ(ImageList_Add(list, strip, HBITMAP()), 5);
    EXPECT_EQ(ImageList_GetImageCount(list), 10);
    int cx = 0;
    int cy = 0;
    EXPECT_TRUE(ImageList_GetIconSize(list, &cx, &cy));
    EXPECT_EQ(cx, 4);
    EXPECT_EQ(cy, 4);
    DeleteObject(strip);
    EXPECT_TRUE(ImageList_Destroy(list));
}

TEST(ImageList, RefusesAStripNarrowerThanOneImageAndUnknownLists) {
    const HIMAGELIST list = ImageList_Create(8, 8, ILC_COLOR24, 1, 1);
    const HBITMAP narrow = make_strip(1, 4);
    EXPECT_EQ(ImageList_Add(list, narrow, HBITMAP()), -1);
    EXPECT_EQ(ImageList_GetImageCount(list), 0);
    ImageList_Destroy(list);
    EXPECT_EQ(ImageList_Add(list, narrow, HBITMAP()), -1);
    EXPECT_EQ(ImageList_GetImageCount(list), 0);
    EXPECT_FALSE(ImageList_Destroy(list));
    EXPECT_EQ(ImageList_Create(0, 8, ILC_COLOR24, 1, 1), HIMAGELIST());
    DeleteObject(narrow);
}

TEST(ImageList, DrawsTheImageAtItsIndexAndNothingForAnIndexOutOfRange) {
    const HIMAGELIST list = ImageList_Create(4, 4, ILC_COLOR24, 3, 3);
    const HBITMAP strip = make_strip(3, 4);
    ImageList_Add(list, strip, HBITMAP());
    const Canvas canvas;
    EXPECT_TRUE(ImageList_Draw(list, 2, canvas.dc(), 10, 10, ILD_NORMAL));
    EXPECT_EQ(GetPixel(canvas.dc(), 11, 12), RGB(20, 200, 235));
    EXPECT_EQ(GetPixel(canvas.dc(), 9, 9), RGB(255, 255, 255));
    EXPECT_FALSE(ImageList_Draw(list, 3, canvas.dc(), 0, 0, ILD_NORMAL));
    EXPECT_EQ(GetPixel(canvas.dc(), 1, 1), RGB(255, 255, 255));
    DeleteObject(strip);
    ImageList_Destroy(list);
}

TEST(ImageList, BlendsA32BitImageByItsAlphaAndIgnoresAlphaIn24BitLists) {
    const HBITMAP half = make_strip(1, 4, 0x80, true);
    const HIMAGELIST deep = ImageList_Create(4, 4, ILC_COLOR32, 1, 1);
    const HIMAGELIST flat = ImageList_Create(4, 4, ILC_COLOR24, 1, 1);
    ImageList_Add(deep, half, HBITMAP());
    ImageList_Add(flat, half, HBITMAP());
    const Canvas canvas;
    ImageList_Draw(deep, 0, canvas.dc(), 0, 0, ILD_NORMAL);
    ImageList_Draw(flat, 0, canvas.dc(), 8, 0, ILD_NORMAL);
    const COLORREF blended = GetPixel(canvas.dc(), 1, 1);
    EXPECT_NEAR(GetRValue(blended), 127, 3);
    EXPECT_NEAR(GetGValue(blended), 227, 3);
    EXPECT_EQ(GetPixel(canvas.dc(), 9, 1), RGB(0, 200, 255));
    DeleteObject(half);
    ImageList_Destroy(deep);
    ImageList_Destroy(flat);
}
