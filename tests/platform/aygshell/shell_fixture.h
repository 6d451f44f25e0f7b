// A top-level window on the test's thread that stands for a program's dialog: it records the
// commands, hot keys and setting changes the shell sends it. With helpers to make menu bars from
// the test program's own resources, pump messages, tap windows and read the screen.
#pragma once

#include "gdi/screen.h"

#include <aygshell.h>
#include <gtest/gtest.h>
#include <wingdi.h>

#include <vector>

struct OwnerLog {
    std::vector<WPARAM> commands;        // WM_COMMAND first parameters
    std::vector<LPARAM> hot_keys;        // WM_HOTKEY second parameters
    std::vector<WPARAM> setting_changes; // WM_SETTINGCHANGE first parameters
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

    // A shown, active top-level window with a caption; its messages go to log().
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

    static OwnerLog& log();
    HWND owner() const { return m_owner; }

  private:
    HWND m_owner;
    std::vector<HWND> m_windows;
};

void expect_rect(const RECT& actual, LONG left, LONG top, LONG right, LONG bottom);
