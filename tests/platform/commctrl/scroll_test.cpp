#include "commctrl/scroll_state.h"
#include "control_fixture.h"

namespace {

SCROLLINFO record(UINT mask, int minimum = 0, int maximum = 0, UINT page = 0, int position = 0) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = mask;
    info.nMin = minimum;
    info.nMax = maximum;
    info.nPage = page;
    info.nPos = position;
    return info;
}

class ScrollTest : public ControlFixture {};

} // namespace

TEST(ScrollState, KeepsThePositionWhereAFullPageStillFits) {
    handset::ScrollState state;
    EXPECT_EQ(state.apply(record(SIF_RANGE | SIF_PAGE | SIF_POS, 0, 50, 20, 49)), 31);
    EXPECT_EQ(state.last_position(), 31);
    EXPECT_EQ(state.set_position(-5), 0);
    EXPECT_TRUE(state.scrollable());
    EXPECT_EQ(state.position_after(SB_PAGEDOWN, 0, 10, 10), 10);
    EXPECT_EQ(state.position_after(SB_THUMBTRACK, 99, 10, 10), 31);
    EXPECT_EQ(state.position_after(SB_LINEUP, 0, 10, 10), 0);
}

TEST(ScrollState, APageLargerThanTheRangeShrinksToItAndLeavesNothingToScroll) {
    handset::ScrollState state;
    state.apply(record(SIF_RANGE | SIF_PAGE, 0, 9, 100));
    EXPECT_EQ(state.page(), 10u);
    EXPECT_FALSE(state.scrollable());
    EXPECT_EQ(state.set_position(5), 0);
}

TEST_F(ScrollTest, AWindowKeepsItsOwnScrollInformation) {
    SCROLLINFO info = record(SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL, 0, 46, 20, 0);
    EXPECT_EQ(SetScrollInfo(parent(), SB_VERT, &info, TRUE), 0);
    int minimum = -1;
    int maximum = -1;
    EXPECT_TRUE(GetScrollRange(parent(), SB_VERT, &minimum, &maximum));
    EXPECT_EQ(minimum, 0);
    EXPECT_EQ(maximum, 46);
    EXPECT_EQ(SetScrollPos(parent(), SB_VERT, 10, TRUE), 0);
    SCROLLINFO read = record(SIF_ALL);
    EXPECT_TRUE(GetScrollInfo(parent(), SB_VERT, &read));
    EXPECT_EQ(read.nPage, 20u);
    EXPECT_EQ(read.nPos, 10);
    EXPECT_FALSE(GetScrollInfo(parent(), SB_HORZ, &read));
    SCROLLINFO bad = record(SIF_POS);
    bad.cbSize = 3;
    EXPECT_EQ(SetScrollInfo(parent(), SB_VERT, &bad, TRUE), 0);
    EXPECT_EQ(GetScrollPos(parent(), SB_VERT), 10);
}

TEST_F(ScrollTest, TheScrollBarControlKeepsItsInformationAndAsksItsParentToScroll) {
    const HWND bar = create(u"SCROLLBAR", SBS_VERT, RECT{227, 0, 240, 200}, u"", 625);
    SCROLLINFO info = record(SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 20, 40);
    EXPECT_EQ(SetScrollInfo(bar, SB_CTL, &info, TRUE), 40);
    int minimum = -1;
    int maximum = -1;
    GetScrollRange(bar, SB_CTL, &minimum, &maximum);
    EXPECT_EQ(maximum, 100);
    MessageLog::instance().take();
    tap(bar, POINT{6, 3});
    tap(bar, POINT{6, 196});
    tap(bar, POINT{6, 20});
    const auto scroll = [bar](WORD code) {
        return to_parent(WM_VSCROLL, MAKEWPARAM(code, 0), static_cast<LPARAM>(bar.value()));
    };
    EXPECT_TRUE(sequence_matches(told({WM_VSCROLL}),
                                 {scroll(SB_LINEUP), scroll(SB_ENDSCROLL), scroll(SB_LINEDOWN),
                                  scroll(SB_ENDSCROLL), scroll(SB_PAGEUP), scroll(SB_ENDSCROLL)}));
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 40);
}

TEST_F(ScrollTest, DraggingTheThumbTracksAndEndsWithItsPosition) {
    const HWND bar = create(u"SCROLLBAR", SBS_VERT, RECT{227, 0, 240, 200}, u"", 625);
    SCROLLINFO info = record(SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 20, 0);
    SetScrollInfo(bar, SB_CTL, &info, TRUE);
    MessageLog::instance().take();
    PostMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(6, 20));
    PostMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(6, 400));
    PostMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(6, 400));
    pump();
    const LPARAM from_bar = static_cast<LPARAM>(bar.value());
    EXPECT_TRUE(sequence_matches(told({WM_VSCROLL}),
                                 {to_parent(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 81), from_bar),
                                  to_parent(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 81), from_bar),
                                  to_parent(WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), from_bar)}));
}

TEST_F(ScrollTest, ScrollWindowExMovesTheChildren) {
    const HWND field = create(u"EDIT", WS_BORDER, RECT{5, 100, 200, 123});
    RECT update{};
    EXPECT_EQ(ScrollWindowEx(parent(), 0, -10, nullptr, nullptr, HRGN(), &update,
                             SW_SCROLLCHILDREN | SW_INVALIDATE),
              SIMPLEREGION);
    RECT rect{};
    GetWindowRect(field, &rect);
    EXPECT_EQ(rect.top, 90);
    EXPECT_EQ(rect.left, 5);
    EXPECT_EQ(update.bottom, 320);
}
