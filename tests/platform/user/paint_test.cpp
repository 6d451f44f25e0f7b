#include "gdi/screen.h"
#include "gdi/surface.h"
#include "message_log.h"

#include <gtest/gtest.h>
#include <wingdi.h>
#include <winuser.h>

#include <functional>

using namespace handset;
using namespace handset::testing;

namespace {

constexpr COLORREF red = RGB(255, 0, 0);
constexpr COLORREF green = RGB(0, 255, 0);
constexpr COLORREF blue = RGB(0, 0, 255);
constexpr COLORREF grey = RGB(172, 172, 172);

COLORREF pixel_at(LONG x, LONG y) {
    return colorref_from_pixel(Screen::instance().compose().pixel(x, y));
}

COLORREF desktop() {
    return GetSysColor(COLOR_BACKGROUND);
}

// Runs what the queue holds, painting included, until it is empty.
void pump() {
    MSG message;
    while (PeekMessageW(&message, HWND(), 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Fills all of the window's client area, as far as the DC reaches.
void fill_client(HWND window, HDC dc, COLORREF color) {
    RECT client;
    GetClientRect(window, &client);
    const HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
}

std::function<void(HWND)> g_paint;

LRESULT CALLBACK painting_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    MessageLog::instance().record(window, message, wparam, lparam);
    if (message == WM_PAINT && g_paint) {
        g_paint(window);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

class Painting : public ::testing::Test {
  protected:
    void SetUp() override {
        Screen::instance().set_profile(ScreenProfile::qvga());
        add_class(u"Red", red);
        add_class(u"Green", green);
        add_class(u"Blue", blue);
        MessageLog::instance().clear();
    }

    void TearDown() override {
        g_paint = nullptr;
        for (auto it = m_windows.rbegin(); it != m_windows.rend(); ++it) {
            if (IsWindow(*it)) {
                DestroyWindow(*it);
            }
        }
        for (HBRUSH brush : m_brushes) {
            DeleteObject(brush);
        }
        for (const char16_t* name : {u"Red", u"Green", u"Blue"}) {
            UnregisterClassW(name, HINSTANCE());
        }
    }

    void add_class(const char16_t* name, COLORREF color) {
        const HBRUSH brush = CreateSolidBrush(color);
        m_brushes.push_back(brush);
        register_test_class(name, painting_procedure, brush);
    }

    HWND make(const char16_t* name, DWORD style, int x, int y, int width, int height,
              HWND parent = HWND()) {
        const HWND window = CreateWindowExW(0, name, u"", style, x, y, width, height, parent,
                                            HMENU(), HINSTANCE(), nullptr);
        m_windows.push_back(window);
        return window;
    }

    std::vector<HWND> m_windows;
    std::vector<HBRUSH> m_brushes;
};

TEST_F(Painting, TheClassBrushErasesTheClientAreaAndNothingElse) {
    make(u"Red", WS_POPUP | WS_VISIBLE, 10, 10, 50, 40);
    pump();
    EXPECT_EQ(pixel_at(10, 10), red);
    EXPECT_EQ(pixel_at(59, 49), red);
    EXPECT_EQ(pixel_at(60, 49), desktop());
    EXPECT_EQ(pixel_at(59, 50), desktop());
}

TEST_F(Painting, BeginPaintReportsTheUpdateAreaAndValidatesIt) {
    const HWND window = make(u"Red", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    pump();
    RECT seen{};
    g_paint = [&](HWND painted) {
        PAINTSTRUCT paint;
        BeginPaint(painted, &paint);
        seen = paint.rcPaint;
        EXPECT_TRUE(paint.fErase == FALSE) << "the class brush erased the background";
        EndPaint(painted, &paint);
    };
    const RECT part{10, 20, 30, 40};
    InvalidateRect(window, &part, TRUE);
    MessageLog::instance().take();
    pump();
    EXPECT_TRUE(EqualRect(&seen, &part));
    EXPECT_TRUE(sequence_matches(MessageLog::instance().take(),
                                 {expect(window, WM_PAINT), expect(window, WM_ERASEBKGND)}));
    RECT update;
    EXPECT_FALSE(GetUpdateRect(window, &update, FALSE));
}

TEST_F(Painting, AWindowDrawsOnlyInsideItselfWhateverItAsksFor) {
    const HWND parent = make(u"Red", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
    const HWND child = make(u"Green", WS_CHILD | WS_VISIBLE, 50, 50, 20, 20, parent);
    pump();
    const HDC dc = GetDC(child);
    const HBRUSH brush = CreateSolidBrush(blue);
    const RECT everything{-1000, -1000, 1000, 1000};
    FillRect(dc, &everything, brush);
    DeleteObject(brush);
    ReleaseDC(child, dc);
    EXPECT_EQ(pixel_at(50, 50), blue);
    EXPECT_EQ(pixel_at(69, 69), blue);
    EXPECT_EQ(pixel_at(49, 50), red);
    EXPECT_EQ(pixel_at(70, 69), red);
}

TEST_F(Painting, ParentsPaintBeforeTheirChildrenSoChildrenStayOnTop) {
    const HWND parent = make(u"Red", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    const HWND child = make(u"Green", WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, parent);
    pump();
    MessageLog::instance().take();
    InvalidateRect(parent, nullptr, TRUE);
    MessageLog::instance().ignore({WM_ERASEBKGND, WM_NCPAINT});
    pump();
    EXPECT_TRUE(sequence_matches(MessageLog::instance().take(),
                                 {expect(parent, WM_PAINT), expect(child, WM_PAINT)}));
    EXPECT_EQ(pixel_at(15, 15), green);
    EXPECT_EQ(pixel_at(5, 5), red);
}

TEST_F(Painting, AWindowBelowNeverPaintsOverTheOneAbove) {
    const HWND below = make(u"Red", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    make(u"Green", WS_POPUP | WS_VISIBLE, 50, 50, 100, 100);
    pump();
    InvalidateRect(below, nullptr, TRUE);
    UpdateWindow(below);
    EXPECT_EQ(pixel_at(60, 60), green);
    EXPECT_EQ(pixel_at(40, 40), red);
}

TEST_F(Painting, HidingAWindowRepaintsWhatItCoveredAndTheDesktop) {
    make(u"Red", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    const HWND above = make(u"Green", WS_POPUP | WS_VISIBLE, 50, 50, 100, 100);
    pump();
    ShowWindow(above, SW_HIDE);
    EXPECT_EQ(pixel_at(120, 120), desktop()) << "the desktop repaints at once";
    pump();
    EXPECT_EQ(pixel_at(60, 60), red);
}

TEST_F(Painting, MovingAChildRepaintsItsOldPlaceInTheParent) {
    const HWND parent = make(u"Red", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    const HWND child = make(u"Green", WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, parent);
    pump();
    MoveWindow(child, 50, 50, 20, 20, TRUE);
    pump();
    EXPECT_EQ(pixel_at(15, 15), red);
    EXPECT_EQ(pixel_at(55, 55), green);
}

TEST_F(Painting, BeginPaintReachesOnlyWhatWasInvalidated) {
    const HWND parent = make(u"Red", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    make(u"Green", WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, parent);
    pump();
    g_paint = [&](HWND painted) {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(painted, &paint);
        if (painted == parent) {
            fill_client(parent, dc, blue);
        }
        EndPaint(painted, &paint);
    };
    const RECT part{50, 50, 90, 90};
    InvalidateRect(parent, &part, TRUE);
    pump();
    EXPECT_EQ(pixel_at(60, 60), blue);
    EXPECT_EQ(pixel_at(40, 40), red) << "outside the update region";
    EXPECT_EQ(pixel_at(15, 15), green) << "the child beside it stays valid and stays drawn";
}

TEST_F(Painting, WhatTheParentPaintsIntoAControlDuringItsPaintingStays) {
    const HWND dialog = make(u"Red", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    const HWND status = make(u"Blue", WS_CHILD | WS_VISIBLE, 0, 0, 100, 18, dialog);
    pump();
    // The control asks its parent for colours while it paints, as a static does; the parent
    // paints the control itself then, between BeginPaint and EndPaint of its own on the control.
    g_paint = [&](HWND painted) {
        if (painted != status) {
            PAINTSTRUCT paint;
            BeginPaint(painted, &paint);
            EndPaint(painted, &paint);
            return;
        }
        PAINTSTRUCT outer;
        const HDC dc = BeginPaint(status, &outer);
        PAINTSTRUCT inner;
        fill_client(status, BeginPaint(status, &inner), grey);
        EndPaint(status, &inner);
        (void)dc;
        EndPaint(status, &outer);
    };
    InvalidateRect(status, nullptr, TRUE);
    pump();
    EXPECT_EQ(pixel_at(50, 9), grey);
    EXPECT_EQ(pixel_at(50, 30), red);
}

TEST_F(Painting, BordersAndCaptionsAreDrawnAroundTheClientArea) {
    const HWND framed = make(u"Red", WS_POPUP | WS_VISIBLE | WS_CAPTION, 20, 20, 100, 80);
    SetWindowTextW(framed, u"Caption");
    pump();
    const LONG caption = GetSystemMetrics(SM_CYCAPTION);
    EXPECT_EQ(pixel_at(20, 60), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(pixel_at(119, 60), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(pixel_at(22, 22), GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(pixel_at(30, 20 + caption + 3), red);
}

TEST_F(Painting, TheWaitCursorShowsWhileItIsSet) {
    const HCURSOR wait = LoadCursorW(HINSTANCE(), IDC_WAIT);
    ASSERT_TRUE(wait);
    EXPECT_FALSE(SetCursor(wait));
    EXPECT_TRUE(Screen::instance().wait_cursor_shown());
    EXPECT_EQ(SetCursor(HCURSOR()), wait);
    EXPECT_FALSE(Screen::instance().wait_cursor_shown());
    EXPECT_FALSE(LoadCursorW(HINSTANCE(), MAKEINTRESOURCE(1)));
}

} // namespace
