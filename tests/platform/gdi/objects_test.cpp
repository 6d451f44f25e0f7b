#include "screen_fixture.h"

namespace handset {
namespace {

class Objects : public ScreenTest {};

TEST_F(Objects, StockObjectsAreTheSameEveryTimeAndSurviveDeletion) {
    const HGDIOBJ black = GetStockObject(BLACK_BRUSH);
    ASSERT_TRUE(black);
    EXPECT_EQ(GetStockObject(BLACK_BRUSH), black);
    EXPECT_TRUE(DeleteObject(black));
    EXPECT_EQ(GetObjectType(black), DWORD(OBJ_BRUSH));
    for (int index : {WHITE_BRUSH, LTGRAY_BRUSH, GRAY_BRUSH, DKGRAY_BRUSH, NULL_BRUSH}) {
        EXPECT_EQ(GetObjectType(GetStockObject(index)), DWORD(OBJ_BRUSH)) << index;
    }
    for (int index : {WHITE_PEN, BLACK_PEN, NULL_PEN}) {
        EXPECT_EQ(GetObjectType(GetStockObject(index)), DWORD(OBJ_PEN)) << index;
    }
    EXPECT_EQ(GetObjectType(GetStockObject(SYSTEM_FONT)), DWORD(OBJ_FONT));
    EXPECT_FALSE(GetStockObject(9));
    EXPECT_FALSE(GetStockObject(-1));
}

TEST_F(Objects, StockBrushesHaveTheirDocumentedColours) {
    LOGBRUSH brush{};
    ASSERT_EQ(GetObjectW(GetStockObject(LTGRAY_BRUSH), sizeof(brush), &brush), int(sizeof(brush)));
    EXPECT_EQ(brush.lbColor, RGB(192, 192, 192));
    GetObjectW(GetStockObject(DKGRAY_BRUSH), sizeof(brush), &brush);
    EXPECT_EQ(brush.lbColor, RGB(64, 64, 64));
    GetObjectW(GetStockObject(NULL_BRUSH), sizeof(brush), &brush);
    EXPECT_EQ(brush.lbStyle, UINT(BS_NULL));
}

TEST_F(Objects, ADeletedHandleNamesNothingEvenWhenItsSlotIsReused) {
    const HBRUSH first = CreateSolidBrush(RGB(1, 2, 3));
    ASSERT_TRUE(DeleteObject(first));
    const HBRUSH second = CreateSolidBrush(RGB(4, 5, 6));
    EXPECT_NE(first, second);
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_FALSE(DeleteObject(first));
    EXPECT_FALSE(SelectObject(dc(), first));
    const RECT r{0, 0, 1, 1};
    EXPECT_EQ(FillRect(dc(), &r, first), 0);
    DeleteObject(second);
}

TEST_F(Objects, SelectObjectHandsBackWhatWasSelectedBefore) {
    const HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    EXPECT_EQ(SelectObject(dc(), red), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(dc(), OBJ_PEN), HGDIOBJ(red));
    EXPECT_EQ(SelectObject(dc(), GetStockObject(WHITE_BRUSH)), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetCurrentObject(dc(), OBJ_FONT), GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(SelectObject(dc(), GetStockObject(BLACK_PEN)), HGDIOBJ(red));
    DeleteObject(red);
}

TEST_F(Objects, DeletingASelectedPenKeepsTheDCDrawingWithIt) {
    const HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    SelectObject(dc(), red);
    EXPECT_TRUE(DeleteObject(red));
    MoveToEx(dc(), 0, 0, nullptr);
    LineTo(dc(), 5, 0);
    EXPECT_EQ(at(2, 0), RGB(255, 0, 0));
    SelectObject(dc(), GetStockObject(BLACK_PEN));
}

TEST_F(Objects, ObjectsDescribeThemselves) {
    const HPEN pen = CreatePen(PS_DASH, 1, RGB(9, 8, 7));
    LOGPEN logpen{};
    ASSERT_EQ(GetObjectW(pen, sizeof(logpen), &logpen), int(sizeof(logpen)));
    EXPECT_EQ(logpen.lopnStyle, UINT(PS_DASH));
    EXPECT_EQ(logpen.lopnColor, RGB(9, 8, 7));
    LOGFONTW asked{};
    asked.lfHeight = -13;
    asked.lfWeight = FW_BOLD;
    const HFONT font = CreateFontIndirectW(&asked);
    LOGFONTW told{};
    ASSERT_EQ(GetObjectW(font, sizeof(told), &told), int(sizeof(LOGFONTW)));
    EXPECT_EQ(told.lfHeight, -13);
    EXPECT_EQ(told.lfWeight, FW_BOLD);
    EXPECT_EQ(GetObjectW(HGDIOBJ(0x4242u), sizeof(told), &told), 0);
    DeleteObject(pen);
    DeleteObject(font);
}

TEST_F(Objects, PenStylesTheDeviceLacksAreRefused) {
    EXPECT_FALSE(CreatePen(3 /* PS_DASHDOT */, 1, 0));
    const HPEN wide_dash = CreatePen(PS_DASH, 2, 0);
    LOGPEN logpen{};
    GetObjectW(wide_dash, sizeof(logpen), &logpen);
    EXPECT_EQ(logpen.lopnStyle, UINT(PS_SOLID)); // wide dashed pens draw solid
    EXPECT_FALSE(CreateFontIndirectW(nullptr));
    DeleteObject(wide_dash);
}

TEST_F(Objects, DCsAndObjectsAreToldApart) {
    const HDC memory = CreateCompatibleDC(HDC());
    ASSERT_TRUE(memory);
    EXPECT_EQ(GetObjectType(HGDIOBJ(memory)), DWORD(OBJ_MEMDC));
    EXPECT_EQ(GetObjectType(HGDIOBJ(dc())), DWORD(OBJ_DC));
    EXPECT_EQ(GetObjectType(GetCurrentObject(memory, OBJ_BITMAP)), DWORD(OBJ_BITMAP));
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_FALSE(DeleteDC(memory));
    EXPECT_FALSE(CreateCompatibleDC(HDC(0x1234u)));
}

} // namespace
} // namespace handset
