// A parent window on the test's thread whose messages, what its controls tell it, go to the
// message log as the parent's; with helpers to make controls, pump messages, touch the screen with
// the stylus and read the screen's pixels.
#pragma once

#include "gdi/screen.h"
#include "message_log.h"
#include "user/input_state.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

using handset::testing::LoggedMessage;
using handset::testing::MessageLog;
using handset::testing::notification;
using handset::testing::sequence_matches;
using handset::testing::to_parent;

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

    // What the parent was told since the last call, of the given kinds only.
    static std::vector<LoggedMessage> told(std::initializer_list<UINT> messages);
    // Runs for WM_CTLCOLORSTATIC; answers what the parent answers (0 leaves the default).
    static std::function<LRESULT(HDC, HWND)>& static_colors();
    HWND parent() const { return m_parent; }

  private:
    HWND m_parent;
};
