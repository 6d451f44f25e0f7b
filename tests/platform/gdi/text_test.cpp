#include "gdi/rect_math.h"
#include "screen_fixture.h"

#include <cstdlib>

namespace handset {
namespace {

constexpr COLORREF white = RGB(255, 255, 255);

class Text : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        SetBkMode(dc(), TRANSPARENT);
    }

    HFONT make_font(LONG height, LONG weight = FW_NORMAL) {
        LOGFONTW logfont{};
        logfont.lfHeight = height;
        logfont.lfWeight = weight;
        const char16_t face[] = u"MS Shell Dlg";
        std::copy(std::begin(face), std::end(face), logfont.lfFaceName);
        const HFONT font = CreateFontIndirectW(&logfont);
        m_fonts.push_back(font);
        return font;
    }

    void TearDown() override {
        SelectObject(dc(), GetStockObject(SYSTEM_FONT));
        for (HFONT font : m_fonts) {
            DeleteObject(font);
        }
        ScreenTest::TearDown();
    }

    SIZE extent(const char16_t* text) {
        SIZE size{};
        EXPECT_TRUE(GetTextExtentPoint32W(dc(), text, static_cast<int>(std::u16string(text).size()),
                                          &size));
        return size;
    }

  private:
    std::vector<HFONT> m_fonts;
};

TEST_F(Text, DrawTextStaysInsideItsRectangle) {
    RECT box{20, 40, 120, 60};
    const int height = DrawTextW(dc(), u"SIM Memory: 12/250 and a lot more text", -1, &box, 0);
    EXPECT_GT(height, 0);
    EXPECT_GT(ink(box), 50);
    RECT outside = whole_screen();
    EXPECT_EQ(ink(outside) - ink(box), 0);
}

TEST_F(Text, DrawTextWithoutClippingSpillsOut) {
    RECT box{20, 40, 60, 50};
    DrawTextW(dc(), u"Wide text beyond the box", -1, &box, DT_NOCLIP | DT_SINGLELINE);
    EXPECT_GT(ink(whole_screen()), ink(box));
}

TEST_F(Text, CentredTextSitsInTheMiddleOfItsRectangle) {
    RECT box{0, 100, 240, 140};
    DrawTextW(dc(), u"Hello", -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    const RECT drawn = ink_bounds(box);
    const SIZE size = extent(u"Hello");
    EXPECT_LE(std::abs((drawn.left + drawn.right) / 2 - 120), 2);
    EXPECT_GE(drawn.top, 100 + (40 - size.cy) / 2);
    EXPECT_LE(drawn.bottom, 100 + (40 + size.cy) / 2);
}

TEST_F(Text, VerticalCentringAloneKeepsTextAtTheLeft) {
    // The status line's format: DT_VCENTER without DT_SINGLELINE.
    RECT box{0, 0, 240, 36};
    const int result = DrawTextW(dc(), u" SIM Memory:  12/250", -1, &box, DT_VCENTER);
    const RECT drawn = ink_bounds(box);
    const SIZE size = extent(u" SIM Memory:  12/250");
    EXPECT_LT(drawn.left, 10);
    EXPECT_GE(drawn.top, (36 - size.cy) / 2);
    EXPECT_LE(drawn.bottom, (36 + size.cy) / 2 + 1);
    EXPECT_EQ(result, (36 - size.cy) / 2 + size.cy); // the offset from the top to the text's end
}

TEST_F(Text, RightAlignedTextEndsAtTheRightEdge) {
    RECT box{0, 0, 200, 30};
    DrawTextW(dc(), u"x", -1, &box, DT_RIGHT | DT_SINGLELINE);
    const RECT drawn = ink_bounds(box);
    EXPECT_LE(drawn.right, 200);
    EXPECT_GE(drawn.right, 200 - extent(u"x").cx);
}

TEST_F(Text, BottomAlignmentAppliesToASingleLine) {
    RECT box{0, 0, 200, 100};
    DrawTextW(dc(), u"Low", -1, &box, DT_BOTTOM | DT_SINGLELINE);
    EXPECT_GT(ink_bounds(box).top, 100 - extent(u"Low").cy - 1);
}

TEST_F(Text, CalcRectMeasuresASingleLineLikeTheTextExtent) {
    const SIZE size = extent(u"Retrieve from Contacts");
    RECT box{10, 10, 11, 11};
    const int height =
        DrawTextW(dc(), u"Retrieve from Contacts", -1, &box, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(height, size.cy);
    EXPECT_EQ(box.right - box.left, size.cx);
    EXPECT_EQ(box.bottom - box.top, size.cy);
    EXPECT_EQ(ink(whole_screen()), 0); // measuring draws nothing
}

TEST_F(Text, CalcRectWithWordBreakGrowsDownwardInWholeLines) {
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(dc(), &tm));
    const char16_t* text = u"The SIM card is full. Delete some entries before retrieving.";
    const int line_width = extent(text).cx;
    RECT box{0, 0, line_width / 2 + 10, 0};
    const int height = DrawTextW(dc(), text, -1, &box, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_GE(height, 2 * tm.tmHeight);
    EXPECT_LE(height, 3 * tm.tmHeight);
    EXPECT_EQ(height % tm.tmHeight, 0);
    EXPECT_LE(box.right, line_width / 2 + 10);
    // Drawn into that rectangle, the text fills it and no more.
    DrawTextW(dc(), text, -1, &box, DT_WORDBREAK);
    const RECT drawn = ink_bounds(whole_screen());
    EXPECT_LE(drawn.bottom, box.bottom);
    EXPECT_GT(drawn.bottom, box.bottom - tm.tmHeight);
}

TEST_F(Text, OpaqueBackgroundFillsTheTextCell) {
    SetBkMode(dc(), OPAQUE);
    SetBkColor(dc(), RGB(0, 0, 255));
    SetTextColor(dc(), RGB(255, 255, 0));
    RECT box{10, 10, 200, 40};
    DrawTextW(dc(), u"ab", -1, &box, DT_SINGLELINE);
    const SIZE size = extent(u"ab");
    EXPECT_EQ(
        count(RECT{10, 10, 10 + size.cx, 10 + size.cy}, [](COLORREF c) { return c == white; }), 0);
    EXPECT_EQ(at(10 + size.cx + 1, 12), white);
    EXPECT_GT(count(box, [](COLORREF c) { return c == RGB(255, 255, 0); }), 0);
}

TEST_F(Text, GlyphsBlendTheTextColourIntoTheBackground) {
    SetTextColor(dc(), RGB(255, 0, 0));
    RECT box{10, 10, 200, 40};
    DrawTextW(dc(), u"Red", -1, &box, DT_SINGLELINE);
    EXPECT_GT(count(box, [](COLORREF c) { return c == RGB(255, 0, 0); }), 0);
    // Anti-aliased edges lie between red and white, never elsewhere.
    EXPECT_EQ(
        count(box, [](COLORREF c) { return GetRValue(c) != 255 || GetGValue(c) != GetBValue(c); }),
        0);
}

TEST_F(Text, APrefixUnderlinesItsCharacterBelowTheBaseline) {
    TEXTMETRICW tm{};
    GetTextMetricsW(dc(), &tm);
    RECT box{10, 10, 200, 40};
    DrawTextW(dc(), u"&Contacts", -1, &box, DT_SINGLELINE);
    const RECT below_baseline{10, 10 + tm.tmAscent + 1, 200, 40};
    const RECT underline = ink_bounds(below_baseline);
    ASSERT_FALSE(rect_is_empty(underline));
    EXPECT_EQ(underline.left, 10);
    EXPECT_EQ(underline.right - underline.left, extent(u"C").cx);
    const RECT all = whole_screen();
    FillRect(dc(), &all, HBRUSH(GetStockObject(WHITE_BRUSH)));
    DrawTextW(dc(), u"&Contacts", -1, &box, DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(ink(below_baseline), 0);
}

TEST_F(Text, NegativeHeightsAreCharacterHeightsAndPositiveOnesCellHeights) {
    SelectObject(dc(), make_font(-20));
    TEXTMETRICW character{};
    GetTextMetricsW(dc(), &character);
    EXPECT_EQ(character.tmHeight - character.tmInternalLeading, 20);
    SelectObject(dc(), make_font(20));
    TEXTMETRICW cell{};
    GetTextMetricsW(dc(), &cell);
    EXPECT_LE(std::abs(cell.tmHeight - 20), 1);
    EXPECT_EQ(cell.tmAscent + cell.tmDescent, cell.tmHeight);
}

TEST_F(Text, BoldIsWiderThanRegularAtTheSameSize) {
    SelectObject(dc(), make_font(-12));
    const LONG regular = extent(u"Phonebook entries").cx;
    SelectObject(dc(), make_font(-12, FW_BOLD));
    EXPECT_GT(extent(u"Phonebook entries").cx, regular);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc(), &tm);
    EXPECT_EQ(tm.tmWeight, FW_BOLD);
}

TEST_F(Text, AbsurdFontSizesAreHeldToSomethingDrawable) {
    SelectObject(dc(), make_font(-2000000000));
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(dc(), &tm));
    EXPECT_LE(tm.tmHeight, 1000);
    SelectObject(dc(), make_font(0)); // a template's zero-size font gets the default size
    ASSERT_TRUE(GetTextMetricsW(dc(), &tm));
    EXPECT_GT(tm.tmHeight, 8);
}

TEST_F(Text, TemplatePointSizesScaleWithTheScreenDensity) {
    SelectObject(dc(), make_font(font_height_for_points(8)));
    const SIZE qvga = extent(u"Name");
    use_profile(ScreenProfile::vga());
    SetBkMode(dc(), TRANSPARENT);
    EXPECT_EQ(font_height_for_points(8), -21);
    SelectObject(dc(), make_font(font_height_for_points(8)));
    const SIZE vga = extent(u"Name");
    // 8 points are 11 pixels on one and 21 on the other, so "about twice" is what to expect.
    EXPECT_NEAR(vga.cx, 2 * qvga.cx, qvga.cx / 5);
    EXPECT_NEAR(vga.cy, 2 * qvga.cy, 2);
}

TEST_F(Text, TheStockSystemFontKeepsItsPointSizeOnBothScreens) {
    const SIZE qvga = extent(u"Menu");
    use_profile(ScreenProfile::vga());
    const SIZE vga = extent(u"Menu");
    EXPECT_NEAR(vga.cy, 2 * qvga.cy, 2);
}

TEST_F(Text, ExtentsOfPartsAddUpAndFitCountsWhatFits) {
    const SIZE whole = extent(u"abcabc");
    EXPECT_EQ(whole.cx, 2 * extent(u"abc").cx);
    int fit = -1;
    int extents[6] = {};
    SIZE size{};
    ASSERT_TRUE(GetTextExtentExPointW(dc(), u"abcabc", 6, extent(u"abc").cx, &fit, extents, &size));
    EXPECT_EQ(fit, 3);
    EXPECT_EQ(extents[2], extent(u"abc").cx);
    EXPECT_EQ(extents[5], whole.cx);
    EXPECT_EQ(extent(u"").cx, 0);
    EXPECT_GT(extent(u"").cy, 0);
}

TEST_F(Text, ExtTextOutPlacesTextByItsAlignment) {
    TEXTMETRICW tm{};
    GetTextMetricsW(dc(), &tm);
    SetTextAlign(dc(), TA_BASELINE | TA_LEFT);
    ASSERT_TRUE(ExtTextOutW(dc(), 20, 100, 0, nullptr, u"Hx", 2, nullptr));
    const RECT on_baseline = ink_bounds(whole_screen());
    EXPECT_LE(on_baseline.bottom, 100 + 1); // "Hx" has no descenders
    EXPECT_GE(on_baseline.top, 100 - tm.tmAscent);
    const RECT all = whole_screen();
    FillRect(dc(), &all, HBRUSH(GetStockObject(WHITE_BRUSH)));
    SetTextAlign(dc(), TA_TOP | TA_RIGHT);
    ASSERT_TRUE(TextOutW(dc(), 200, 50, u"Hx", 2));
    const RECT right = ink_bounds(whole_screen());
    EXPECT_LE(right.right, 200);
    EXPECT_GE(right.top, 50);
}

TEST_F(Text, ExtTextOutFillsAndClipsToItsRectangle) {
    const RECT fill{10, 10, 40, 30};
    SetBkColor(dc(), RGB(0, 128, 0));
    ASSERT_TRUE(
        ExtTextOutW(dc(), 12, 12, ETO_OPAQUE | ETO_CLIPPED, &fill, u"Wide text here", 14, nullptr));
    EXPECT_EQ(at(38, 28), RGB(0, 128, 0));
    EXPECT_EQ(ink(whole_screen()), ink(fill));
}

TEST_F(Text, ExtTextOutUsesTheAdvancesItIsGiven) {
    const INT spread[] = {40, 40, 40};
    SetTextAlign(dc(), TA_UPDATECP);
    MoveToEx(dc(), 10, 10, nullptr);
    ASSERT_TRUE(ExtTextOutW(dc(), 0, 0, 0, nullptr, u"iii", 3, spread));
    const RECT drawn = ink_bounds(whole_screen());
    EXPECT_GT(drawn.right - drawn.left, 80);
    POINT position{};
    MoveToEx(dc(), 0, 0, &position);
    EXPECT_EQ(position.x, 130);
}

} // namespace
} // namespace handset
