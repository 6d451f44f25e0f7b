#include "shell_fixture.h"

#include "aygshell/input_panel.h"
#include "aygshell/keyboard_layout.h"
#include "aygshell/shell_windows.h"

#include <string>

using handset::InputPanel;
using handset::KeyboardLayout;
using handset::PanelKey;
using handset::ShellWindows;

namespace {

class InputPanelTest : public ShellFixture {
  protected:
    static SIPINFO panel_info() {
        SIPINFO info{};
        info.cbSize = sizeof(info);
        EXPECT_TRUE(SipGetInfo(&info));
        return info;
    }

    static SHACTIVATEINFO fresh_record() {
        SHACTIVATEINFO record{};
        record.cbSize = sizeof(record);
        return record;
    }

    // Taps the panel's key that types `character` (or does `action`).
    static void tap_key(PanelKey::Action action, char16_t character = 0) {
        const HWND panel = ShellWindows::instance().input_panel();
        RECT client;
        GetClientRect(panel, &client);
        const KeyboardLayout layout(client.right, client.bottom);
        for (const PanelKey& key : layout.keys()) {
            if (key.action == action && (character == 0 || key.character(false) == character)) {
                tap(panel, POINT{(key.area.left + key.area.right) / 2,
                                 (key.area.top + key.area.bottom) / 2});
                return;
            }
        }
        ADD_FAILURE() << "no such key";
    }
};

} // namespace

TEST_F(InputPanelTest, RaisingItShrinksTheVisibleDesktopAndTellsTheWindowInFront) {
    EXPECT_EQ(panel_info().fdwFlags & SIPF_ON, 0u);
    expect_rect(panel_info().rcVisibleDesktop, 0, 26, 240, 294);

    ASSERT_TRUE(SHSipPreference(owner(), SIP_UP));
    pump();
    const SIPINFO up = panel_info();
    EXPECT_NE(up.fdwFlags & SIPF_ON, 0u);
    expect_rect(up.rcVisibleDesktop, 0, 26, 240, 214);
    expect_rect(up.rcSipRect, 0, 214, 240, 294);
    EXPECT_TRUE(IsWindowVisible(ShellWindows::instance().input_panel()));

    ASSERT_TRUE(SHSipPreference(owner(), SIP_FORCEDOWN));
    pump();
    expect_rect(panel_info().rcVisibleDesktop, 0, 26, 240, 294);
    EXPECT_FALSE(IsWindowVisible(ShellWindows::instance().input_panel()));
    EXPECT_TRUE(sequence_matches(told({WM_SETTINGCHANGE}),
                                 {expect(owner(), WM_SETTINGCHANGE, SPI_SETSIPINFO),
                                  expect(owner(), WM_SETTINGCHANGE, SPI_SETSIPINFO)}));
}

TEST_F(InputPanelTest, AskingForTheStateItIsInAlreadyTellsNobody) {
    SHSipPreference(owner(), SIP_UP);
    SHSipPreference(owner(), SIP_UP);
    SHSipPreference(owner(), SIP_UNCHANGED);
    pump();
    EXPECT_TRUE(sequence_matches(told({WM_SETTINGCHANGE}),
                                 {expect(owner(), WM_SETTINGCHANGE, SPI_SETSIPINFO)}));
}

TEST_F(InputPanelTest, AtVgaThePanelAndTheDesktopAreTwiceAsTall) {
    handset::Screen::instance().set_profile(handset::ScreenProfile::vga());
    SHSipPreference(owner(), SIP_UP);
    expect_rect(panel_info().rcVisibleDesktop, 0, 52, 480, 428);
}

TEST_F(InputPanelTest, RefusesRecordsOfTheWrongSize) {
    SIPINFO info{};
    info.cbSize = 48;
    EXPECT_FALSE(SipGetInfo(&info));
    EXPECT_FALSE(SipGetInfo(nullptr));
    SHACTIVATEINFO record{};
    EXPECT_FALSE(SHHandleWMActivate(owner(), WA_ACTIVE, 0, &record, 0));
    EXPECT_FALSE(SHHandleWMSettingChange(owner(), SPI_SETSIPINFO, 0, nullptr));
    EXPECT_FALSE(SHSipPreference(HWND(0x1357), SIP_UP));
}

TEST_F(InputPanelTest, ADialogGetsItsPanelBackWhenActivatedAgain) {
    SHACTIVATEINFO record = fresh_record();
    SHSipPreference(owner(), SIP_UP);
    ASSERT_TRUE(SHHandleWMActivate(owner(), WA_ACTIVE, 0, &record, SHA_INPUTDIALOG));
    EXPECT_TRUE(InputPanel::instance().is_up()) << "the first activation keeps the set-up's panel";
    EXPECT_EQ(record.fSipUp, 1u);

    ASSERT_TRUE(SHHandleWMActivate(owner(), WA_INACTIVE, 0, &record, SHA_INPUTDIALOG));
    EXPECT_EQ(record.fSipOnDeactivation, 1u);
    EXPECT_EQ(record.fActive, 0u);
    EXPECT_TRUE(record.hwndLastFocus);
    InputPanel::instance().set_up(false);

    ASSERT_TRUE(SHHandleWMActivate(owner(), WA_ACTIVE, 0, &record, SHA_INPUTDIALOG));
    EXPECT_TRUE(InputPanel::instance().is_up());
    EXPECT_EQ(record.fActive, 1u);
}

TEST_F(InputPanelTest, APanelRaisedForAFullScreenDialogGoesDownWhenTheDialogEnds) {
    const HWND editor = create_owner(u"Editor");
    SHINITDLGINFO init{SHIDIM_FLAGS, editor, SHIDIF_SIZEDLG};
    ASSERT_TRUE(SHInitDialog(&init));
    SHSipPreference(editor, SIP_UP);
    pump();
    told({});
    DestroyWindow(editor);
    pump();
    EXPECT_FALSE(InputPanel::instance().is_up());
    EXPECT_TRUE(sequence_matches(told({WM_SETTINGCHANGE}),
                                 {expect(owner(), WM_SETTINGCHANGE, SPI_SETSIPINFO)}))
        << "the window in front is told";
}

TEST_F(InputPanelTest, APanelThePersonRaisedStaysWhenADialogEnds) {
    const HWND editor = create_owner(u"Editor");
    SHINITDLGINFO init{SHIDIM_FLAGS, editor, SHIDIF_SIZEDLG};
    ASSERT_TRUE(SHInitDialog(&init));
    SHSipPreference(editor, SIP_UP);
    InputPanel::instance().toggle();
    InputPanel::instance().toggle();
    DestroyWindow(editor);
    pump();
    EXPECT_TRUE(InputPanel::instance().is_up());
}

TEST_F(InputPanelTest, ASettingChangeRefitsADialogSizedToTheVisibleDesktop) {
    SHINITDLGINFO init{SHIDIM_FLAGS, owner(), SHIDIF_SIZEDLG};
    ASSERT_TRUE(SHInitDialog(&init));
    SHACTIVATEINFO record = fresh_record();
    SHHandleWMActivate(owner(), WA_ACTIVE, 0, &record, 0);
    SHSipPreference(owner(), SIP_UP);
    ASSERT_TRUE(SHHandleWMSettingChange(owner(), SPI_SETSIPINFO, 0, &record));
    EXPECT_EQ(record.fSipUp, 1u);
    expect_rect(window_rect(owner()), 0, 26, 240, 214);
}

TEST_F(InputPanelTest, TapsOnTheKeysTypeIntoTheFocusedField) {
    const HWND field = CreateWindowExW(0, u"Edit", u"", WS_CHILD | WS_VISIBLE | WS_BORDER, 5, 5,
                                       150, 20, owner(), HMENU(604), HINSTANCE(), nullptr);
    ASSERT_TRUE(field);
    SetFocus(field);
    SHSipPreference(owner(), SIP_UP);
    pump();
    tap_key(PanelKey::Action::character, u'a');
    tap_key(PanelKey::Action::shift);
    tap_key(PanelKey::Action::character, u'b');
    tap_key(PanelKey::Action::character, u'1');
    tap_key(PanelKey::Action::character, u'c');
    tap_key(PanelKey::Action::backspace);
    WCHAR text[32] = {};
    GetWindowTextW(field, text, 32);
    EXPECT_EQ(std::u16string(text), u"aB1");
    EXPECT_EQ(GetFocus(), field) << "the panel never takes the focus";
}

TEST_F(InputPanelTest, ThePreferenceControlIsMadeFromATemplateAndStaysOutOfTheWay) {
    HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(200), RT_DIALOG);
    ASSERT_TRUE(found);
    const auto* dialog_template =
        static_cast<LPCDLGTEMPLATEW>(LockResource(LoadResource(module, found)));
    const HWND dialog = CreateDialogIndirectParamW(module, dialog_template, owner(), nullptr, 0);
    ASSERT_TRUE(dialog);
    HWND control = GetWindow(dialog, GW_CHILD);
    while (control && GetDlgCtrlID(control) == 604) {
        control = GetWindow(control, GW_HWNDNEXT);
    }
    ASSERT_TRUE(control);
    WCHAR name[16] = {};
    GetClassNameW(control, name, 16);
    EXPECT_EQ(std::u16string(name), u"SIPPREF");
    const RECT area = window_rect(control);
    EXPECT_EQ(area.right - area.left, 0);
    EXPECT_EQ(GetWindowLongW(control, GWL_STYLE) & WS_TABSTOP, 0);
    DestroyWindow(dialog);
}
