// A parent window on the test's thread that records what its controls tell it, with helpers to
// make controls, pump messages, touch the screen with the stylus and read the screen's pixels.
#pragma once

#include "gdi/screen.h"
#include "user/input_state.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

struct ParentLog {
    std::vector<UINT> notifications;    // WM_NOTIFY codes
    std::vector<WPARAM> commands;       // WM_COMMAND first parameters
    std::vector<WPARAM> scrolls;        // WM_VSCROLL first parameters
    std::vector<LPARAM> context_points; // WM_CONTEXTMENU second parameters
    std::vector<HWND> context_windows;  // WM_CONTEXTMENU first parameters
    std::vector<DWORD> click_positions; // GetMessagePos while NM_CLICK is handled
    // Runs for WM_CTLCOLORSTATIC; answers what the parent answers (0 leaves the default).
    std::function<LRESULT(HDC, HWND)> on_static_colors;
};

class ControlFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    HWND create(LPCWSTR class_name, DWORD style, RECT rect, LPCWSTR text = u"", int id = 100);
    static void pump();
    // A stylus tap, or a tap-and-hold (the hold arrives as WM_CONTEXTMENU while the stylus is
    // down), at a point in the window's client coordinates.
    static void tap(HWND window, POINT client_point);
    static void hold(HWND window, POINT client_point);
    static void press_key(HWND window, UINT key);
    static void type_text(HWND window, std::u16string_view text);

    // The screen's colour at a point, as composed.
    static COLORREF pixel(POINT screen_point);
    static std::u16string text_of(HWND window);

    static ParentLog& log();
    HWND parent() const { return m_parent; }

  private:
    HWND m_parent;
};
