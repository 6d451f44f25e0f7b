#include "shell_fixture.h"

#include "aygshell/hardware_keys.h"
#include "aygshell/input_panel.h"
#include "base/debug_output.h"
#include "user/input.h"

#include <future>
#include <thread>

using handset::InputPanel;
using handset::shell_takes_key;

namespace {

class MenuBarTest : public ShellFixture {};

WPARAM command(UINT id) {
    return MAKEWPARAM(id, 0);
}

} // namespace

TEST_F(MenuBarTest, SitsInTheBottomBandOwnedByItsWindow) {
    const HWND bar = create_menu_bar(owner(), 100);
    ASSERT_TRUE(bar);
    expect_rect(window_rect(bar), 0, 294, 240, 320);
    EXPECT_EQ(GetWindow(bar, GW_OWNER), owner());
    EXPECT_TRUE(IsWindowVisible(bar));
    WCHAR name[32] = {};
    GetClassNameW(bar, name, 32);
    EXPECT_EQ(std::u16string(name), u"menu_worker");
    EXPECT_EQ(GetForegroundWindow(), owner()) << "the bar never takes the activation";
}

TEST_F(MenuBarTest, RefusesBadRequestsWithoutABar) {
    handset::DebugCapture capture;
    EXPECT_FALSE(SHCreateMenuBar(nullptr));
    SHMENUBARINFO info{};
    info.cbSize = 20;
    info.hwndParent = owner();
    info.dwFlags = SHCMBF_HMENU;
    info.nToolBarId = 100;
    info.hInstRes = GetModuleHandleW(nullptr);
    EXPECT_FALSE(SHCreateMenuBar(&info));
    info.cbSize = sizeof(info);
    info.nToolBarId = 999;
    EXPECT_FALSE(SHCreateMenuBar(&info));
    EXPECT_FALSE(info.hwndMB);
    info.nToolBarId = 100;
    info.hwndParent = HWND(0x1234);
    EXPECT_FALSE(SHCreateMenuBar(&info));
    EXPECT_FALSE(info.hwndMB);
    EXPECT_GE(capture.lines().size(), 4u);
}

TEST_F(MenuBarTest, ACommandKeySendsItsCommandToTheOwnerWhenTapped) {
    const HWND bar = create_menu_bar(owner(), 101);
    tap(bar, soft_key_point(bar, 0));
    tap(bar, soft_key_point(bar, 1));
    EXPECT_TRUE(
        sequence_matches(told({WM_COMMAND}), {expect(owner(), WM_COMMAND, command(361)).posted(),
                                              expect(owner(), WM_COMMAND, command(362)).posted()}));
}

TEST_F(MenuBarTest, TheHardwareSoftKeysPressTheKeysOfTheBarInFront) {
    create_menu_bar(owner(), 101);
    EXPECT_TRUE(shell_takes_key(VK_TSOFT2, true));
    EXPECT_TRUE(shell_takes_key(VK_TSOFT2, false));
    EXPECT_TRUE(shell_takes_key(VK_TSOFT1, true));
    pump();
    EXPECT_TRUE(
        sequence_matches(told({WM_COMMAND}), {expect(owner(), WM_COMMAND, command(362)).posted(),
                                              expect(owner(), WM_COMMAND, command(361)).posted()}));
}

TEST_F(MenuBarTest, SoftKeysAreDisabledAndEnabledByPositionOrCommand) {
    const HWND bar = create_menu_bar(owner(), 101);
    EXPECT_EQ(SHEnableSoftkey(bar, 0, TRUE, FALSE), S_OK);
    EXPECT_EQ(SHEnableSoftkey(bar, 362, FALSE, FALSE), S_OK);
    tap(bar, soft_key_point(bar, 0));
    tap(bar, soft_key_point(bar, 1));
    shell_takes_key(VK_TSOFT1, true);
    pump();
    EXPECT_TRUE(sequence_matches(told({WM_COMMAND}), {}));

    EXPECT_EQ(SHEnableSoftkey(bar, 1, TRUE, TRUE), S_OK);
    tap(bar, soft_key_point(bar, 0));
    tap(bar, soft_key_point(bar, 1));
    EXPECT_TRUE(
        sequence_matches(told({WM_COMMAND}), {expect(owner(), WM_COMMAND, command(362)).posted()}));
}

TEST_F(MenuBarTest, EnablingAKeyThatIsNotThereFails) {
    const HWND bar = create_menu_bar(owner(), 103);
    EXPECT_EQ(SHEnableSoftkey(bar, 1, TRUE, TRUE), E_FAIL);
    EXPECT_EQ(SHEnableSoftkey(bar, 999, FALSE, TRUE), E_FAIL);
    EXPECT_EQ(SHEnableSoftkey(owner(), 0, TRUE, TRUE), E_FAIL);
    EXPECT_EQ(SHEnableSoftkey(bar, 0, TRUE, FALSE), S_OK);
}

TEST_F(MenuBarTest, AWorkerThreadDisablesTheKeysThroughTheBarsOwnThread) {
    const HWND bar = create_menu_bar(owner(), 101);
    std::promise<HRESULT> result;
    std::future<HRESULT> answer = result.get_future();
    std::thread worker([&] { result.set_value(SHEnableSoftkey(bar, 1, TRUE, FALSE)); });
    // The worker's send is carried out while this thread pumps.
    while (answer.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready) {
        pump();
    }
    worker.join();
    EXPECT_EQ(answer.get(), S_OK);
    tap(bar, soft_key_point(bar, 1));
    EXPECT_TRUE(sequence_matches(told({WM_COMMAND}), {}));
}

TEST_F(MenuBarTest, TheRightKeysPopupOpensAboveTheKeyAndSendsTheChosenCommand) {
    const HWND bar = create_menu_bar(owner(), 100);
    post_tap(bar, soft_key_point(bar, 1));
    // Queued behind the tap, these reach the popup once it is open: look at it, then choose its
    // second item (the separator is passed over).
    PostMessageW(owner(), popup_probe, 0, 0);
    PostMessageW(owner(), WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(owner(), WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(owner(), WM_KEYDOWN, VK_RETURN, 0);
    pump();
    ASSERT_EQ(probes().popup_rects.size(), 1u);
    EXPECT_EQ(probes().popup_rects[0].bottom, 294);
    EXPECT_EQ(probes().popup_rects[0].right, 240);
    EXPECT_TRUE(
        sequence_matches(told({WM_COMMAND}), {expect(owner(), WM_COMMAND, command(351)).posted()}));
}

TEST_F(MenuBarTest, APopupClosedWithoutAChoiceSendsNothing) {
    create_menu_bar(owner(), 100);
    EXPECT_TRUE(shell_takes_key(VK_TSOFT2, true));
    // Input, as the soft key's press is, so it reaches the popup the press opens.
    handset::inject_key(VK_ESCAPE, true);
    handset::inject_key(VK_ESCAPE, false);
    pump();
    EXPECT_TRUE(sequence_matches(told({WM_COMMAND}), {}));
}

TEST_F(MenuBarTest, GetSubMenuAnswersTheRightKeysPopupForIdZero) {
    const HWND bar = create_menu_bar(owner(), 100);
    const HMENU popup = HMENU(static_cast<uint32_t>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 0)));
    ASSERT_TRUE(popup);
    EXPECT_EQ(GetMenuItemCount(popup), 3);
    EXPECT_EQ(GetMenuItemID(popup, 0), 360u);
    EXPECT_EQ(GetMenuItemID(popup, 2), 351u);
}

TEST_F(MenuBarTest, GetSubMenuFindsAPopupByItsButtonsId) {
    const HWND bar = create_menu_bar(owner(), 102);
    const HMENU popup = HMENU(static_cast<uint32_t>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 500)));
    ASSERT_TRUE(popup);
    EXPECT_EQ(GetMenuItemID(popup, 0), 505u);
    EXPECT_EQ(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 499), 0) << "a command key has no popup";
    EXPECT_EQ(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 501), 0);
}

TEST_F(MenuBarTest, ABarOfCommandsHasNoPopupForTheRightKey) {
    const HWND bar = create_menu_bar(owner(), 101);
    EXPECT_EQ(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 0), 0);
}

TEST_F(MenuBarTest, TheOverriddenTalkKeyArrivesAtTheOwnerAsOneHotKeyPerPress) {
    const HWND bar = create_menu_bar(owner(), 100);
    EXPECT_FALSE(shell_takes_key(VK_TTALK, true)) << "not overridden: the key goes on";
    SendMessageW(bar, SHCMBM_OVERRIDEKEY, VK_TTALK,
                 MAKELPARAM(SHMBOF_NODEFAULT | SHMBOF_NOTIFY, SHMBOF_NODEFAULT | SHMBOF_NOTIFY));
    EXPECT_TRUE(shell_takes_key(VK_TTALK, true));
    EXPECT_TRUE(shell_takes_key(VK_TTALK, false));
    pump();
    EXPECT_TRUE(
        sequence_matches(told({WM_HOTKEY}),
                         {expect(owner(), WM_HOTKEY, VK_TTALK, MAKELPARAM(0, VK_TTALK)).posted()}));
}

TEST_F(MenuBarTest, NotifyWithoutNoDefaultLetsTheKeyGoOnAsWell) {
    const HWND bar = create_menu_bar(owner(), 100);
    SendMessageW(bar, SHCMBM_OVERRIDEKEY, VK_TTALK, MAKELPARAM(SHMBOF_NOTIFY, SHMBOF_NOTIFY));
    EXPECT_FALSE(shell_takes_key(VK_TTALK, true));
    pump();
    EXPECT_TRUE(sequence_matches(told({WM_HOTKEY}), {expect(owner(), WM_HOTKEY).posted()}));
}

TEST_F(MenuBarTest, OnlyTheWindowInFrontGetsTheTalkKey) {
    const HWND bar = create_menu_bar(owner(), 100);
    SendMessageW(bar, SHCMBM_OVERRIDEKEY, VK_TTALK, MAKELPARAM(3, 3));
    create_owner(u"Other");
    EXPECT_FALSE(shell_takes_key(VK_TTALK, true));
    pump();
    EXPECT_TRUE(sequence_matches(told({WM_HOTKEY}), {}));
}

TEST_F(MenuBarTest, ThePanelButtonTogglesTheInputPanelUnlessHidden) {
    const HWND with_button = create_menu_bar(owner(), 101, SHCMBF_HMENU);
    RECT client;
    GetClientRect(with_button, &client);
    const POINT middle{client.right / 2, client.bottom / 2};
    tap(with_button, middle);
    EXPECT_TRUE(InputPanel::instance().is_up());
    tap(with_button, middle);
    EXPECT_FALSE(InputPanel::instance().is_up());
    EXPECT_TRUE(sequence_matches(told({WM_COMMAND}), {}));

    DestroyWindow(with_button);
    const HWND without = create_menu_bar(owner(), 101, SHCMBF_HMENU | SHCMBF_HIDESIPBUTTON);
    tap(without, POINT{middle.x - 1, middle.y});
    EXPECT_FALSE(InputPanel::instance().is_up());
    EXPECT_TRUE(
        sequence_matches(told({WM_COMMAND}), {expect(owner(), WM_COMMAND, command(361)).posted()}));
}

TEST_F(MenuBarTest, DestroyingTheOwnerTakesItsBarWithIt) {
    const HWND other = create_owner(u"Other");
    const HWND bar = create_menu_bar(other, 100);
    DestroyWindow(other);
    pump();
    EXPECT_FALSE(IsWindow(bar));
    EXPECT_EQ(SHEnableSoftkey(bar, 0, TRUE, TRUE), E_FAIL);
}
