#include "shell_fixture.h"

#include "aygshell/hardware_keys.h"
#include "aygshell/input_panel.h"
#include "aygshell/shell_windows.h"

#include <gmock/gmock.h>

using handset::InputPanel;
using handset::Screen;
using handset::ScreenProfile;
using handset::ShellWindows;
using testing::ElementsAre;

namespace {

class FullScreenDialogTest : public ShellFixture {
  protected:
    static BOOL init_dialog(HWND dialog, DWORD flags) {
        SHINITDLGINFO info{};
        info.dwMask = SHIDIM_FLAGS;
        info.hDlg = dialog;
        info.dwFlags = flags;
        const BOOL done = SHInitDialog(&info);
        pump();
        return done;
    }

    static POINT task_bar_button() {
        RECT client;
        GetClientRect(ShellWindows::instance().task_bar(), &client);
        return POINT{client.right - 4, client.bottom / 2};
    }
};

WPARAM button(UINT id) {
    return MAKEWPARAM(id, BN_CLICKED);
}

} // namespace

TEST_F(FullScreenDialogTest, SizedToTheVisibleDesktopAtQvga) {
    ASSERT_TRUE(init_dialog(owner(), SHIDIF_SIZEDLG));
    expect_rect(window_rect(owner()), 0, 26, 240, 294);
}

TEST_F(FullScreenDialogTest, SizedToTheVisibleDesktopAtVga) {
    Screen::instance().set_profile(ScreenProfile::vga());
    ASSERT_TRUE(init_dialog(owner(), SHIDIF_SIZEDLG | SHIDIF_CANCELBUTTON));
    expect_rect(window_rect(owner()), 0, 52, 480, 588);
    // The shell's own bands follow the screen it finds.
    expect_rect(window_rect(ShellWindows::instance().task_bar()), 0, 0, 480, 52);
}

TEST_F(FullScreenDialogTest, TheRaisedPanelShortensOnlyDialogsSizedToTheVisibleDesktop) {
    InputPanel::instance().set_up(true);
    ASSERT_TRUE(init_dialog(owner(), SHIDIF_SIZEDLG));
    expect_rect(window_rect(owner()), 0, 26, 240, 214);
    const HWND full = create_owner(u"Full");
    ASSERT_TRUE(init_dialog(full, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN));
    expect_rect(window_rect(full), 0, 26, 240, 294);
}

TEST_F(FullScreenDialogTest, TheCaptionMovesFromTheWindowToTheTaskBar) {
    RECT before;
    GetClientRect(owner(), &before);
    ASSERT_TRUE(init_dialog(owner(), SHIDIF_SIZEDLG));
    RECT client;
    GetClientRect(owner(), &client);
    const RECT frame = window_rect(owner());
    EXPECT_EQ(client.bottom, frame.bottom - frame.top - 2) << "only the border is left";
    EXPECT_TRUE(IsWindowVisible(ShellWindows::instance().task_bar()));
    expect_rect(window_rect(ShellWindows::instance().task_bar()), 0, 0, 240, 26);
}

TEST_F(FullScreenDialogTest, TheTaskBarShowsTheCaptionOfTheDialogInFrontAndFollowsItsChanges) {
    // The caption's part of the band: the bright pixels of its text.
    const auto caption_pixels = [] {
        pump();
        const handset::Surface screen = Screen::instance().compose();
        int bright = 0;
        for (int x = 0; x < 180; ++x) {
            for (int y = 4; y < 22; ++y) {
                bright += GetRValue(handset::colorref_from_pixel(screen.pixel(x, y))) > 200 ? 1 : 0;
            }
        }
        return bright;
    };
    ASSERT_TRUE(init_dialog(owner(), SHIDIF_SIZEDLG));
    const int short_caption = caption_pixels();
    EXPECT_GT(short_caption, 0);
    SetWindowTextW(owner(), u"A much longer caption");
    EXPECT_GT(caption_pixels(), short_caption);
    DestroyWindow(owner());
    EXPECT_EQ(caption_pixels(), 0) << "no full-screen dialog: an empty band";
}

TEST_F(FullScreenDialogTest, TheDoneButtonSendsIdOkAndTheCancelButtonIdCancel) {
    ASSERT_TRUE(init_dialog(owner(), SHIDIF_DONEBUTTON | SHIDIF_SIZEDLG));
    tap(ShellWindows::instance().task_bar(), task_bar_button());
    ASSERT_TRUE(init_dialog(owner(), SHIDIF_CANCELBUTTON | SHIDIF_SIZEDLG));
    tap(ShellWindows::instance().task_bar(), task_bar_button());
    EXPECT_TRUE(sequence_matches(told({WM_COMMAND}),
                                 {expect(owner(), WM_COMMAND, button(IDOK)).posted(),
                                  expect(owner(), WM_COMMAND, button(IDCANCEL)).posted()}));
}

TEST_F(FullScreenDialogTest, EscPressesTheTaskBarsButtonWhenThereIsOne) {
    ASSERT_TRUE(init_dialog(owner(), SHIDIF_SIZEDLG));
    EXPECT_FALSE(handset::shell_takes_key(VK_ESCAPE, true)) << "no button: Esc goes on";
    ASSERT_TRUE(init_dialog(owner(), SHIDIF_SIZEDLG | SHIDIF_CANCELBUTTON));
    EXPECT_TRUE(handset::shell_takes_key(VK_ESCAPE, true));
    EXPECT_TRUE(handset::shell_takes_key(VK_ESCAPE, false));
    pump();
    EXPECT_TRUE(sequence_matches(told({WM_COMMAND}),
                                 {expect(owner(), WM_COMMAND, button(IDCANCEL)).posted()}));
}

TEST_F(FullScreenDialogTest, EscClosesAnOpenPopupMenuBeforeItPressesTheTaskBarsButton) {
    ASSERT_TRUE(init_dialog(owner(), SHIDIF_SIZEDLG | SHIDIF_CANCELBUTTON));
    const HWND bar = create_menu_bar(owner(), 100);
    post_tap(bar, soft_key_point(bar, 1));
    // Handled inside the popup's loop, once it is open.
    PostMessageW(owner(), escape_probe, 0, 0);
    PostMessageW(owner(), WM_KEYDOWN, VK_ESCAPE, 0);
    pump();
    EXPECT_THAT(probes().escapes_taken, ElementsAre(false));
    EXPECT_FALSE(FindWindowW(u"#32768", nullptr)) << "Esc closed the popup";
    EXPECT_TRUE(sequence_matches(told({WM_COMMAND}), {}));
    EXPECT_TRUE(handset::shell_takes_key(VK_ESCAPE, true));
    EXPECT_TRUE(handset::shell_takes_key(VK_ESCAPE, false));
    pump();
    EXPECT_TRUE(sequence_matches(told({WM_COMMAND}),
                                 {expect(owner(), WM_COMMAND, button(IDCANCEL)).posted()}));
}

TEST_F(FullScreenDialogTest, ADisabledDialogTakesNoCommandFromTheTaskBar) {
    ASSERT_TRUE(init_dialog(owner(), SHIDIF_CANCELBUTTON | SHIDIF_SIZEDLG));
    EnableWindow(owner(), FALSE);
    tap(ShellWindows::instance().task_bar(), task_bar_button());
    EXPECT_TRUE(sequence_matches(told({WM_COMMAND}), {}));
}

TEST_F(FullScreenDialogTest, TheTaskBarSpeaksForTheDialogActivatedLast) {
    ASSERT_TRUE(init_dialog(owner(), SHIDIF_CANCELBUTTON | SHIDIF_SIZEDLG));
    const HWND second = create_owner(u"Second");
    ASSERT_TRUE(init_dialog(second, SHIDIF_SIZEDLG));
    // The second has no button, so the tap does nothing; back in front, the first takes it.
    tap(ShellWindows::instance().task_bar(), task_bar_button());
    EXPECT_TRUE(sequence_matches(told({WM_COMMAND}), {}));
    DestroyWindow(second);
    pump();
    tap(ShellWindows::instance().task_bar(), task_bar_button());
    EXPECT_TRUE(sequence_matches(told({WM_COMMAND}),
                                 {expect(owner(), WM_COMMAND, button(IDCANCEL)).posted()}));
}

TEST_F(FullScreenDialogTest, RefusesAMissingRecordOrWindow) {
    EXPECT_FALSE(SHInitDialog(nullptr));
    SHINITDLGINFO info{};
    info.dwMask = SHIDIM_FLAGS;
    info.hDlg = HWND(0x2468);
    EXPECT_FALSE(SHInitDialog(&info));
}
