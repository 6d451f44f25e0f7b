// Top-level windows on the test's thread that stand for a program's dialogs: what the shell tells
// them (commands, hot keys, setting changes) goes to the message log. With helpers to make menu
// bars from the test program's own resources, pump messages, tap windows and read the screen.
#pragma once

#include "gdi/screen.h"
#include "message_log.h"

#include <aygshell.h>
#include <gtest/gtest.h>
#include <wingdi.h>

#include <initializer_list>
#include <vector>

using handset::testing::expect;
using handset::testing::LoggedMessage;
using handset::testing::sequence_matches;

// What the owner saw of the shell's state while a probe message was handled.
struct Probes {
    // Where the open popup menu was whenever the owner got popup_probe.
    std::vector<RECT> popup_rects;
    // Whether the shell took Esc whenever the owner got escape_probe.
    std::vector<bool> escapes_taken;
};

// Posted to the owner to look at the popup menu that is open meanwhile.
inline constexpr UINT popup_probe = WM_APP + 1;
// Posted to the owner to offer the shell an Esc key press meanwhile.
inline constexpr UINT escape_probe = WM_APP + 2;

class ShellFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A shown, active top-level window with a caption; its messages go to the message log.
    HWND create_owner(LPCWSTR caption = u"Owner");
    // SHCreateMenuBar for menu resource `menu` of the test program.
    HWND create_menu_bar(HWND owner, UINT menu, DWORD flags = SHCMBF_HMENU);

    static void pump();
    // A stylus tap at a point of the window's client area, as the window system delivers it;
    // post_tap only queues it.
    static void tap(HWND window, POINT client_point);
    static void post_tap(HWND window, POINT client_point);
    // The centre of the menu bar's left (0) or right (1) soft key, in its client coordinates.
    static POINT soft_key_point(HWND menu_bar, int position);
    static RECT window_rect(HWND window);
    static COLORREF pixel(POINT screen_point);

    // What the owners were told since the last call, of the given kinds only.
    static std::vector<LoggedMessage> told(std::initializer_list<UINT> messages);
    static Probes& probes();
    HWND owner() const { return m_owner; }

  private:
    HWND m_owner;
    std::vector<HWND> m_windows;
};

void expect_rect(const RECT& actual, LONG left, LONG top, LONG right, LONG bottom);
