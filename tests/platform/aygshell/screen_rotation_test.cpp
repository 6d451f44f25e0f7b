#include "shell_fixture.h"

#include "aygshell/hardware_keys.h"
#include "aygshell/screen_rotation.h"
#include "aygshell/shell_windows.h"

using handset::Screen;
using handset::ShellWindows;

namespace {

class ScreenRotationTest : public ShellFixture {
  protected:
    void make_full_screen(HWND dialog, DWORD flags) {
        SHINITDLGINFO init{SHIDIM_FLAGS, dialog, flags};
        ASSERT_TRUE(SHInitDialog(&init));
        pump();
        told({});
    }
};

} // namespace

TEST_F(ScreenRotationTest, TheShellAndItsDialogsTakeTheNewShapeAndTheDialogsAreTold) {
    make_full_screen(owner(), SHIDIF_SIZEDLG | SHIDIF_CANCELBUTTON);
    const HWND bar = create_menu_bar(owner(), 100);
    handset::rotate_screen();
    pump();
    EXPECT_EQ(Screen::instance().profile().width, 320);
    expect_rect(window_rect(owner()), 0, 26, 320, 214);
    expect_rect(window_rect(bar), 0, 214, 320, 240);
    expect_rect(window_rect(ShellWindows::instance().task_bar()), 0, 0, 320, 26);
    EXPECT_TRUE(sequence_matches(told({WM_SETTINGCHANGE}),
                                 {expect(owner(), WM_SETTINGCHANGE, SETTINGCHANGE_RESET)}));
}

TEST_F(ScreenRotationTest, EveryFullScreenDialogIsToldTheOneInFrontFirst) {
    make_full_screen(owner(), SHIDIF_SIZEDLG);
    const HWND second = create_owner(u"Second");
    make_full_screen(second, SHIDIF_SIZEDLGFULLSCREEN);
    handset::rotate_screen();
    pump();
    EXPECT_TRUE(sequence_matches(told({WM_SETTINGCHANGE}),
                                 {expect(second, WM_SETTINGCHANGE, SETTINGCHANGE_RESET),
                                  expect(owner(), WM_SETTINGCHANGE, SETTINGCHANGE_RESET)}));
    expect_rect(window_rect(second), 0, 26, 320, 214);
    handset::rotate_screen();
    pump();
    expect_rect(window_rect(owner()), 0, 26, 240, 294);
}

TEST_F(ScreenRotationTest, ARotationRequestFromTheDisplayTurnsTheScreenOnTheShellsThread) {
    make_full_screen(owner(), SHIDIF_SIZEDLG);
    handset::request_screen_rotation();
    EXPECT_EQ(Screen::instance().profile().width, 240) << "not before the shell's thread runs";
    pump();
    EXPECT_EQ(Screen::instance().profile().width, 320);
    EXPECT_TRUE(sequence_matches(told({WM_SETTINGCHANGE}),
                                 {expect(owner(), WM_SETTINGCHANGE, SETTINGCHANGE_RESET)}));
}
