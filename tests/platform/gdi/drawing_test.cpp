#include "gdi/rect_math.h"
#include "screen_fixture.h"

namespace handset {
namespace {

constexpr COLORREF white = RGB(255, 255, 255);
constexpr COLORREF black = RGB(0, 0, 0);
constexpr COLORREF status_grey = RGB(172, 172, 172);

class Drawing : public ScreenTest {};

TEST_F(Drawing, FillRectColoursItsRectangleAndNothingOutside) {
    const HBRUSH red = CreateSolidBrush(RGB(200, 0, 0));
    const RECT r{10, 20, 50, 40};
    ASSERT_NE(FillRect(dc(), &r, red), 0);
    EXPECT_EQ(at(10, 20), RGB(200, 0, 0));
    EXPECT_EQ(at(49, 39), RGB(200, 0, 0));
    EXPECT_EQ(at(50, 30), white); // right and bottom are exclusive
    EXPECT_EQ(at(30, 40), white);
    EXPECT_EQ(at(9, 30), white);
    EXPECT_EQ(at(30, 19), white);
    DeleteObject(red);
}

TEST_F(Drawing, FillRectTakesSystemColourIndicesAsBrushes) {
    const RECT r{0, 0, 10, 10};
    ASSERT_NE(FillRect(dc(), &r, HBRUSH(COLOR_HIGHLIGHT + 1)), 0);
    EXPECT_EQ(at(5, 5), GetSysColor(COLOR_HIGHLIGHT));
    ASSERT_NE(FillRect(dc(), &r, GetSysColorBrush(COLOR_BTNFACE)), 0);
    EXPECT_EQ(at(5, 5), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(FillRect(dc(), &r, HBRUSH(0x7777)), 0);
}

TEST_F(Drawing, RectangleDrawsThePenBorderInsideAndFillsWithTheBrush) {
    const HBRUSH blue = CreateSolidBrush(RGB(0, 0, 200));
    const HGDIOBJ old_brush = SelectObject(dc(), blue);
    ASSERT_TRUE(Rectangle(dc(), 10, 10, 20, 16));
    EXPECT_EQ(at(10, 10), black);
    EXPECT_EQ(at(19, 15), black); // the border's last column and row are right - 1, bottom - 1
    EXPECT_EQ(at(15, 10), black);
    EXPECT_EQ(at(11, 11), RGB(0, 0, 200));
    EXPECT_EQ(at(18, 14), RGB(0, 0, 200));
    EXPECT_EQ(at(20, 12), white);
    EXPECT_EQ(at(12, 16), white);
    SelectObject(dc(), old_brush);
    DeleteObject(blue);
}

TEST_F(Drawing, WidePensAreCentredOnTheBorder) {
    const HPEN wide = CreatePen(PS_SOLID, 3, RGB(0, 150, 0));
    SelectObject(dc(), wide);
    SelectObject(dc(), GetStockObject(NULL_BRUSH));
    ASSERT_TRUE(Rectangle(dc(), 20, 20, 40, 40));
    EXPECT_EQ(at(19, 30), RGB(0, 150, 0));
    EXPECT_EQ(at(21, 30), RGB(0, 150, 0));
    EXPECT_EQ(at(18, 30), white);
    EXPECT_EQ(at(22, 30), white); // the hollow brush leaves the inside alone
    EXPECT_EQ(at(40, 30), RGB(0, 150, 0));
    EXPECT_EQ(at(41, 30), white);
    SelectObject(dc(), GetStockObject(BLACK_PEN));
    DeleteObject(wide);
}

// The status line: a grey brush and the null pen over a whole client rectangle.
TEST_F(Drawing, RectangleWithTheNullPenFillsOnePixelShortOfRightAndBottom) {
    const HBRUSH grey = CreateSolidBrush(status_grey);
    const HGDIOBJ old_brush = SelectObject(dc(), grey);
    SelectObject(dc(), GetStockObject(NULL_PEN));
    ASSERT_TRUE(Rectangle(dc(), 0, 0, 240, 18));
    EXPECT_EQ(at(0, 0), status_grey);
    EXPECT_EQ(at(238, 16), status_grey);
    EXPECT_EQ(at(239, 10), white);
    EXPECT_EQ(at(100, 17), white);
    EXPECT_EQ(SelectObject(dc(), old_brush), HGDIOBJ(grey));
    DeleteObject(grey);
}

TEST_F(Drawing, LinesStopBeforeTheirEndPointAndMoveTheCurrentPosition) {
    POINT previous{};
    ASSERT_TRUE(MoveToEx(dc(), 10, 50, &previous));
    ASSERT_TRUE(LineTo(dc(), 20, 50));
    EXPECT_EQ(at(10, 50), black);
    EXPECT_EQ(at(19, 50), black);
    EXPECT_EQ(at(20, 50), white);
    ASSERT_TRUE(LineTo(dc(), 20, 60)); // continues from where the last line ended
    EXPECT_EQ(at(20, 55), black);
    EXPECT_EQ(at(20, 60), white);
    ASSERT_TRUE(MoveToEx(dc(), 0, 0, &previous));
    EXPECT_EQ(previous.x, 20);
    EXPECT_EQ(previous.y, 60);
    ASSERT_TRUE(LineTo(dc(), 10, 10));
    EXPECT_EQ(ink(RECT{0, 0, 12, 12}), 10); // one pixel per step of a diagonal
}

TEST_F(Drawing, PolylineJoinsItsPointsWithoutTouchingTheCurrentPosition) {
    const POINT points[] = {{100, 100}, {110, 100}, {110, 110}};
    MoveToEx(dc(), 5, 5, nullptr);
    ASSERT_TRUE(Polyline(dc(), points, 3));
    EXPECT_EQ(ink(RECT{90, 90, 130, 130}), 20);
    POINT position{};
    MoveToEx(dc(), 0, 0, &position);
    EXPECT_EQ(position.x, 5);
    EXPECT_FALSE(Polyline(dc(), points, 1));
}

TEST_F(Drawing, DashedPensLeaveGaps) {
    const HPEN dashed = CreatePen(PS_DASH, 1, black);
    SelectObject(dc(), dashed);
    MoveToEx(dc(), 0, 100, nullptr);
    LineTo(dc(), 80, 100);
    const int drawn = ink(RECT{0, 100, 80, 101});
    EXPECT_GT(drawn, 40);
    EXPECT_LT(drawn, 80);
    SelectObject(dc(), GetStockObject(BLACK_PEN));
    DeleteObject(dashed);
}

TEST_F(Drawing, ScreenDCsDrawOnlyInsideTheirVisibleRegionAndRelativeToTheirOrigin) {
    // A window at (50, 60), 40 × 30, with a popup covering its right half.
    ClipRegion visible(RECT{50, 60, 90, 90});
    visible.subtract(RECT{70, 0, 240, 320});
    const HDC window = create_screen_dc(POINT{50, 60}, visible);
    const RECT everything{-100, -100, 500, 500};
    ASSERT_NE(FillRect(window, &everything, HBRUSH(GetStockObject(BLACK_BRUSH))), 0);
    EXPECT_EQ(ink(whole_screen()), 20 * 30);
    EXPECT_TRUE(rects_equal(ink_bounds(whole_screen()), RECT{50, 60, 70, 90}));
    const RECT corner{0, 0, 2, 2}; // logical (0, 0) is the window's corner
    const HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(window, &corner, red);
    EXPECT_EQ(at(50, 60), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(window, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(window, 30, 0), CLR_INVALID); // under the popup
    EXPECT_TRUE(release_screen_dc(window));
    EXPECT_FALSE(release_screen_dc(window));
    DeleteObject(red);
}

TEST_F(Drawing, ClipRectanglesNarrowWhereADCDraws) {
    EXPECT_EQ(IntersectClipRect(dc(), 10, 10, 30, 30), SIMPLEREGION);
    EXPECT_EQ(ExcludeClipRect(dc(), 15, 15, 20, 20), COMPLEXREGION);
    RECT box{};
    EXPECT_EQ(GetClipBox(dc(), &box), COMPLEXREGION);
    EXPECT_TRUE(rects_equal(box, RECT{10, 10, 30, 30}));
    const RECT all = whole_screen();
    FillRect(dc(), &all, HBRUSH(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(ink(all), 20 * 20 - 5 * 5);
    EXPECT_EQ(at(17, 17), white);
    EXPECT_EQ(IntersectClipRect(dc(), 100, 100, 110, 110), NULLREGION);
}

TEST_F(Drawing, ViewportOriginShiftsLogicalCoordinates) {
    POINT previous{-1, -1};
    ASSERT_TRUE(SetViewportOrgEx(dc(), 30, 40, &previous));
    EXPECT_EQ(previous.x, 0);
    const RECT r{0, 0, 5, 5};
    FillRect(dc(), &r, HBRUSH(GetStockObject(BLACK_BRUSH)));
    EXPECT_TRUE(rects_equal(ink_bounds(whole_screen()), RECT{30, 40, 35, 45}));
}

TEST_F(Drawing, PatBltAppliesTheBrushWithTheRasterOperation) {
    SelectObject(dc(), GetStockObject(BLACK_BRUSH));
    ASSERT_TRUE(PatBlt(dc(), 0, 0, 10, 10, PATCOPY));
    EXPECT_EQ(at(5, 5), black);
    ASSERT_TRUE(PatBlt(dc(), 5, 5, 10, 10, DSTINVERT));
    EXPECT_EQ(at(7, 7), white);
    EXPECT_EQ(at(12, 12), black);
    ASSERT_TRUE(PatBlt(dc(), 0, 20, 4, 4, WHITENESS));
    EXPECT_FALSE(PatBlt(dc(), 0, 0, 4, 4, SRCCOPY)); // no source to copy from
}

TEST_F(Drawing, FocusRectanglesInvertEveryOtherPixelAndUndoThemselves) {
    const RECT r{10, 10, 30, 20};
    ASSERT_TRUE(DrawFocusRect(dc(), &r));
    const int drawn = ink(RECT{0, 0, 40, 40});
    EXPECT_GT(drawn, 20);
    EXPECT_LT(drawn, 60);
    EXPECT_EQ(at(11, 15), white); // the inside is untouched
    DrawFocusRect(dc(), &r);
    EXPECT_EQ(ink(RECT{0, 0, 40, 40}), 0);
}

TEST_F(Drawing, SetPixelAndGetPixelAgreeAndRefusePointsOutsideTheScreen) {
    EXPECT_EQ(SetPixel(dc(), 3, 4, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(dc(), 3, 4), RGB(1, 2, 3));
    EXPECT_EQ(SetPixel(dc(), 240, 4, black), CLR_INVALID);
    EXPECT_EQ(GetPixel(dc(), -1, 0), CLR_INVALID);
}

TEST_F(Drawing, CallsOnAnUnknownDCFail) {
    const HDC bogus(0x12345678u);
    const RECT r{0, 0, 1, 1};
    EXPECT_EQ(FillRect(bogus, &r, HBRUSH(GetStockObject(BLACK_BRUSH))), 0);
    EXPECT_FALSE(Rectangle(bogus, 0, 0, 1, 1));
    EXPECT_FALSE(LineTo(bogus, 1, 1));
    EXPECT_EQ(SetBkMode(bogus, TRANSPARENT), 0);
    EXPECT_EQ(SetTextColor(bogus, black), CLR_INVALID);
    EXPECT_EQ(FillRect(dc(), nullptr, HBRUSH(GetStockObject(BLACK_BRUSH))), 0);
}

TEST_F(Drawing, TheDisplayHearsOfWhatChangedOnTheScreenOnly) {
    struct Counter : ScreenObserver {
        int notices = 0;
        void screen_changed() override { ++notices; }
    } counter;
    Screen::instance().set_observer(&counter);
    const RECT a{10, 10, 20, 20};
    const RECT b{30, 5, 40, 15};
    FillRect(dc(), &a, HBRUSH(GetStockObject(BLACK_BRUSH)));
    FillRect(dc(), &b, HBRUSH(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(counter.notices, 1); // one notice until the display takes the changes
    EXPECT_TRUE(rects_equal(Screen::instance().take_changes(), RECT{10, 5, 40, 20}));
    const HDC memory = CreateCompatibleDC(dc());
    const HBITMAP bitmap = CreateCompatibleBitmap(dc(), 10, 10);
    SelectObject(memory, bitmap);
    FillRect(memory, &a, HBRUSH(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(counter.notices, 1);
    EXPECT_TRUE(rect_is_empty(Screen::instance().take_changes()));
    Screen::instance().set_observer(nullptr);
    DeleteDC(memory);
    DeleteObject(bitmap);
}

} // namespace
} // namespace handset
