#include "screen_fixture.h"

namespace handset {
namespace {

class Metrics : public ScreenTest {};

TEST_F(Metrics, QvgaHasItsBaseSizes) {
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 240);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 320);
    EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), 240);
    EXPECT_EQ(GetSystemMetrics(SM_CYVIRTUALSCREEN), 320);
    EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 26);
    EXPECT_EQ(GetSystemMetrics(SM_CYMENU), 26);
    EXPECT_EQ(GetSystemMetrics(SM_CXBORDER), 1);
    EXPECT_EQ(GetSystemMetrics(SM_CYBORDER), 1);
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 13);
    EXPECT_EQ(GetDeviceCaps(dc(), LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(dc(), LOGPIXELSY), 96);
    EXPECT_EQ(GetDeviceCaps(dc(), HORZRES), 240);
    EXPECT_EQ(GetDeviceCaps(dc(), VERTRES), 320);
}

TEST_F(Metrics, VgaDoublesEveryPixelSize) {
    use_profile(ScreenProfile::vga());
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 480);
    EXPECT_EQ(GetSystemMetrics(SM_CYVIRTUALSCREEN), 640);
    EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 52);
    EXPECT_EQ(GetSystemMetrics(SM_CYMENU), 52);
    EXPECT_EQ(GetSystemMetrics(SM_CXBORDER), 2);
    EXPECT_EQ(GetSystemMetrics(SM_CYBORDER), 2);
    EXPECT_EQ(GetDeviceCaps(dc(), LOGPIXELSX), 192);
    const HDC memory = CreateCompatibleDC(dc());
    EXPECT_EQ(GetDeviceCaps(memory, LOGPIXELSY), 192); // a memory DC answers for the screen
    DeleteDC(memory);
}

TEST_F(Metrics, RotationSwapsTheScreensSides) {
    Screen::instance().rotate();
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 320);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 240);
    EXPECT_EQ(GetDeviceCaps(dc(), LOGPIXELSX), 96);
    // A DC made before the rotation draws on the new framebuffer, within its bounds.
    const RECT all{0, 0, 400, 400};
    EXPECT_NE(FillRect(dc(), &all, HBRUSH(GetStockObject(BLACK_BRUSH))), 0);
    EXPECT_EQ(count(RECT{0, 0, 320, 240}, [](COLORREF c) { return c == RGB(0, 0, 0); }), 240 * 240);
}

TEST_F(Metrics, UnknownIndicesAnswerZero) {
    EXPECT_EQ(GetSystemMetrics(-1), 0);
    EXPECT_EQ(GetSystemMetrics(1000), 0);
    EXPECT_EQ(GetDeviceCaps(dc(), 999), 0);
    EXPECT_EQ(GetDeviceCaps(HDC(), LOGPIXELSX), 0);
    EXPECT_EQ(GetSysColor(200), 0u);
    EXPECT_FALSE(GetSysColorBrush(200));
}

TEST_F(Metrics, SystemColoursAnswerWithOrWithoutTheIndexFlag) {
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), RGB(0, 0, 0));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT & ~SYS_COLOR_INDEX_FLAG), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(GetSysColor(COLOR_STATIC), RGB(255, 255, 255));
    LOGBRUSH brush{};
    GetObjectW(GetSysColorBrush(COLOR_BTNFACE), sizeof(brush), &brush);
    EXPECT_EQ(brush.lbColor, GetSysColor(COLOR_BTNFACE));
}

} // namespace
} // namespace handset
