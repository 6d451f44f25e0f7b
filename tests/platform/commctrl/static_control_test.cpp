#include "control_fixture.h"

#include "gdi/bitmap_access.h"

namespace {

class StaticControlTest : public ControlFixture {};

constexpr COLORREF grey = RGB(172, 172, 172);

// What the handset's views do for their status lines: paint the control themselves while it
// asks for its colours, and answer no brush.
LRESULT paint_grey(HDC, HWND control) {
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(control, &paint);
    RECT client{};
    GetClientRect(control, &client);
    const HBRUSH brush = CreateSolidBrush(grey);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    EndPaint(control, &paint);
    return 0;
}

} // namespace

TEST_F(StaticControlTest, WhatTheParentPaintsWhileAskedForColoursStaysVisible) {
    static_colors() = paint_grey;
    const HWND status = create(u"STATIC", SS_LEFT, RECT{0, 0, 240, 18}, u"", 600);
    UpdateWindow(status);
    EXPECT_EQ(pixel(POINT{3, 3}), grey);
    EXPECT_EQ(pixel(POINT{236, 14}), grey);
    InvalidateRect(status, nullptr, TRUE);
    EXPECT_EQ(pixel(POINT{120, 9}), grey);
}

TEST_F(StaticControlTest, ABrushTheParentAnswersPaintsTheBackground) {
    const HBRUSH red = CreateSolidBrush(RGB(200, 0, 0));
    static_colors() = [red](HDC, HWND) { return static_cast<LRESULT>(red.value()); };
    create(u"STATIC", SS_CENTER, RECT{10, 100, 110, 120}, u"", 601);
    EXPECT_EQ(pixel(POINT{12, 102}), RGB(200, 0, 0));
    static_colors() = nullptr;
    DeleteObject(red);
}

TEST_F(StaticControlTest, WithoutAnAnswerTheDefaultColoursAndTheTextShow) {
    const HWND label = create(u"STATIC", SS_LEFT | SS_NOPREFIX, RECT{0, 50, 200, 70}, u"&Name:");
    EXPECT_EQ(pixel(POINT{190, 52}), GetSysColor(COLOR_STATIC));
    bool ink = false;
    for (int x = 0; x < 60 && !ink; ++x) {
        for (int y = 50; y < 70 && !ink; ++y) {
            ink = pixel(POINT{x, y}) == GetSysColor(COLOR_STATICTEXT);
        }
    }
    EXPECT_TRUE(ink);
    EXPECT_EQ(text_of(label), u"&Name:");
}

TEST_F(StaticControlTest, ABitmapStaticTakesTheBitmapsSizeAndDrawsIt) {
    handset::Surface pixels(30, 12, handset::pixel_from_colorref(RGB(0, 0, 255)));
    const HBITMAP bitmap = handset::create_bitmap(handset::BitmapPixels{std::move(pixels), false});
    const HWND picture = create(u"STATIC", SS_BITMAP, RECT{100, 200, 110, 210}, u"", 615);
    EXPECT_EQ(
        SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, static_cast<LPARAM>(bitmap.value())), 0);
    RECT rect{};
    GetClientRect(picture, &rect);
    EXPECT_EQ(rect.right, 30);
    EXPECT_EQ(rect.bottom, 12);
    EXPECT_EQ(pixel(POINT{128, 210}), RGB(0, 0, 255));
    EXPECT_EQ(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0),
              static_cast<LRESULT>(bitmap.value()));
    EXPECT_EQ(SendMessageW(picture, STM_SETIMAGE, IMAGE_ICON, 0), 0);
    DestroyWindow(picture);
    DeleteObject(bitmap);
}
