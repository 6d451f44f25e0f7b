#include "base/debug_output.h"
#include "gdi/screen.h"
#include "message_log.h"
#include "ui_thread.h"
#include "user/input.h"
#include "user/popup_menu.h"

#include <gtest/gtest.h>
#include <winbase.h>
#include <winuser.h>

#include <future>
#include <string>

using namespace handset;
using namespace handset::testing;

namespace {

constexpr UINT dial = 359;
constexpr UINT edit = 360;
constexpr UINT exit_command = 369;

std::u16string item_text(HMENU menu, UINT position) {
    WCHAR text[64];
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_TYPE;
    info.dwTypeData = text;
    info.cch = 64;
    if (!GetMenuItemInfoW(menu, position, TRUE, &info)) {
        return u"(none)";
    }
    return text;
}

TEST(Menus, ItemsGoInByPositionOrBeforeACommand) {
    const HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 1, u"One");
    AppendMenuW(menu, MF_STRING, 3, u"Three");
    InsertMenuW(menu, 1, MF_BYPOSITION | MF_STRING, 2, u"Two");
    InsertMenuW(menu, 1, MF_BYCOMMAND | MF_STRING, 0, u"Zero");
    InsertMenuW(menu, static_cast<UINT>(-1), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 5);
    EXPECT_EQ(item_text(menu, 0), u"Zero");
    EXPECT_EQ(item_text(menu, 1), u"One");
    EXPECT_EQ(item_text(menu, 2), u"Two");
    EXPECT_EQ(GetMenuItemID(menu, 3), 3u);
    EXPECT_EQ(GetMenuState(menu, 4, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_FALSE(InsertMenuW(menu, 99, MF_BYCOMMAND | MF_STRING, 9, u"Nowhere"));
    DestroyMenu(menu);
}

TEST(Menus, EnablingByCommandReachesIntoPopupsAndAnswersThePreviousState) {
    const HMENU bar = CreateMenu();
    const HMENU popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING, edit, u"Edit");
    AppendMenuW(bar, MF_STRING | MF_POPUP, static_cast<UINT_PTR>(popup.value()), u"Menu");
    EXPECT_EQ(EnableMenuItem(bar, edit, MF_BYCOMMAND | MF_GRAYED), static_cast<UINT>(MF_ENABLED));
    EXPECT_EQ(EnableMenuItem(bar, edit, MF_BYCOMMAND | MF_ENABLED), static_cast<UINT>(MF_GRAYED));
    EXPECT_EQ(EnableMenuItem(popup, 0, MF_BYPOSITION | MF_GRAYED), static_cast<UINT>(MF_ENABLED));
    EXPECT_EQ(GetMenuState(popup, edit, MF_BYCOMMAND) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
    EXPECT_EQ(EnableMenuItem(bar, 999, MF_BYCOMMAND | MF_GRAYED), 0xFFFFFFFFu);
    EXPECT_EQ(CheckMenuItem(bar, edit, MF_BYCOMMAND | MF_CHECKED),
              static_cast<DWORD>(MF_UNCHECKED));
    EXPECT_EQ(CheckMenuItem(bar, edit, MF_BYCOMMAND | MF_UNCHECKED),
              static_cast<DWORD>(MF_CHECKED));
    EXPECT_EQ(GetSubMenu(bar, 0), popup);
    EXPECT_EQ(GetMenuItemID(bar, 0), 0xFFFFFFFFu);
    DestroyMenu(bar);
    EXPECT_FALSE(IsMenu(popup)) << "destroying a menu takes its popups along";
}

TEST(Menus, TextChangesThroughModifyMenuAndSetMenuItemInfo) {
    const HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 1, u"Old");
    ModifyMenuW(menu, 1, MF_BYCOMMAND | MF_STRING, 1, u"Newer");
    EXPECT_EQ(item_text(menu, 0), u"Newer");
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_TYPE;
    info.fType = MFT_STRING;
    info.dwTypeData = const_cast<LPWSTR>(u"Newest");
    EXPECT_TRUE(SetMenuItemInfoW(menu, 0, TRUE, &info));
    WCHAR small[4];
    info.dwTypeData = small;
    info.cch = 4;
    ASSERT_TRUE(GetMenuItemInfoW(menu, 0, TRUE, &info));
    EXPECT_EQ(std::u16string(small), u"New");
    EXPECT_EQ(info.cch, 6u);
    info.cbSize = 12;
    DebugCapture capture;
    EXPECT_FALSE(SetMenuItemInfoW(menu, 0, TRUE, &info));
    DestroyMenu(menu);
}

TEST(Menus, LoadMenuBuildsAWindresTemplateFromAResourceModule) {
    const HMODULE module =
        LoadLibraryExW(u"" USER_FIXTURE_FILE, HANDLE(), LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(module);
    const HMENU menu = LoadMenuW(module, MAKEINTRESOURCE(200));
    ASSERT_TRUE(menu);
    const HMENU popup = GetSubMenu(menu, 0);
    ASSERT_TRUE(popup);
    EXPECT_EQ(GetMenuItemCount(popup), 4);
    EXPECT_EQ(GetMenuItemID(popup, 0), dial);
    EXPECT_EQ(GetMenuState(popup, edit, MF_BYCOMMAND) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
    EXPECT_EQ(item_text(popup, 3), u"&Exit");
    DestroyMenu(menu);
    DebugCapture capture;
    EXPECT_FALSE(LoadMenuW(module, MAKEINTRESOURCE(201)));
    EXPECT_FALSE(capture.text().empty());
    FreeLibrary(module);
}

constexpr const char16_t* owner_class = u"MenuOwner";

// Tracks a popup menu on a UI thread while the test plays the user.
class PopupMenus : public ::testing::Test {
  protected:
    void SetUp() override {
        Screen::instance().set_profile(ScreenProfile::qvga());
        MessageLog::instance().clear();
        m_owner = make_owner_window(m_ui, owner_class);
        m_menu = CreatePopupMenu();
        AppendMenuW(m_menu, MF_STRING, dial, u"Dial");
        AppendMenuW(m_menu, MF_STRING | MF_GRAYED, edit, u"Edit");
        AppendMenuW(m_menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(m_menu, MF_STRING, exit_command, u"&Exit");
    }

    void TearDown() override {
        DestroyMenu(m_menu);
        m_ui.run([this] { return DestroyWindow(m_owner); });
        UnregisterClassW(owner_class, HINSTANCE());
    }

    // Opens the menu on the UI thread; the future holds TrackPopupMenuEx's answer.
    std::future<BOOL> open(UINT flags) {
        return std::async(std::launch::async, [this, flags] {
            return m_ui.run([this, flags] {
                return TrackPopupMenuEx(m_menu, flags, 20, 40, m_owner, nullptr);
            });
        });
    }

    static HWND wait_for_menu_window() {
        HWND window;
        wait_until(
            [&] {
                window = FindWindowW(u"#32768", nullptr);
                return window && IsWindowVisible(window);
            },
            "the popup menu window appearing");
        return window;
    }

    static POINT centre_of(HWND menu_window, int position) {
        const std::optional<RECT> rect = popup_menu_item_rect(menu_window, position);
        EXPECT_TRUE(rect.has_value());
        return POINT{(rect->left + rect->right) / 2, (rect->top + rect->bottom) / 2};
    }

    static void tap(POINT point) {
        inject_stylus_down(point);
        inject_stylus_up(point);
    }

    static void press(UINT key) {
        inject_key(key, true);
        inject_key(key, false);
    }

    UiThread m_ui;
    HWND m_owner;
    HMENU m_menu;
};

TEST_F(PopupMenus, ATapOnAnItemAnswersItsCommand) {
    std::future<BOOL> answer = open(TPM_RETURNCMD);
    const HWND window = wait_for_menu_window();
    EXPECT_EQ(popup_menu_of(window), m_menu);
    RECT bounds;
    GetWindowRect(window, &bounds);
    EXPECT_EQ(bounds.left, 20);
    EXPECT_EQ(bounds.top, 40);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)) & WS_EX_TOPMOST,
              static_cast<DWORD>(WS_EX_TOPMOST));
    tap(centre_of(window, 0));
    EXPECT_EQ(wait_or_fail(answer, "the menu answering"), static_cast<BOOL>(dial));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(GetForegroundWindow(), m_owner) << "the menu never takes the activation";
}

TEST_F(PopupMenus, TheKeysMoveTheHighlightPastSeparatorsAndEnterChooses) {
    std::future<BOOL> answer = open(TPM_RETURNCMD);
    wait_for_menu_window();
    press(VK_DOWN);
    press(VK_DOWN);
    press(VK_DOWN);
    press(VK_RETURN);
    EXPECT_EQ(wait_or_fail(answer, "the menu answering"), static_cast<BOOL>(exit_command));
}

TEST_F(PopupMenus, AMnemonicChoosesItsItem) {
    std::future<BOOL> answer = open(TPM_RETURNCMD);
    wait_for_menu_window();
    inject_character(u'E');
    EXPECT_EQ(wait_or_fail(answer, "the menu answering"), static_cast<BOOL>(exit_command));
}

TEST_F(PopupMenus, AGrayedItemCannotBeChosenAndEscapeClosesWithNothing) {
    std::future<BOOL> answer = open(TPM_RETURNCMD);
    const HWND window = wait_for_menu_window();
    tap(centre_of(window, 1));
    tap(centre_of(window, 2));
    press(VK_ESCAPE);
    EXPECT_EQ(wait_or_fail(answer, "the menu answering"), 0);
}

TEST_F(PopupMenus, ATapOutsideTheMenuClosesItWithNothing) {
    std::future<BOOL> answer = open(TPM_RETURNCMD);
    wait_for_menu_window();
    tap(POINT{200, 300});
    EXPECT_EQ(wait_or_fail(answer, "the menu answering"), 0);
}

TEST_F(PopupMenus, WithoutReturnCmdTheOwnerGetsTheCommandPostedAfterInitMenuPopup) {
    MessageLog::instance().ignore({WM_PAINT, WM_ERASEBKGND, WM_NCPAINT});
    MessageLog::instance().take();
    std::future<BOOL> answer = open(0);
    const HWND window = wait_for_menu_window();
    tap(centre_of(window, 0));
    EXPECT_EQ(wait_or_fail(answer, "the menu answering"), TRUE);
    m_ui.run([] { return 0; });
    EXPECT_TRUE(
        sequence_matches(MessageLog::instance().take(),
                         {expect(m_owner, WM_INITMENUPOPUP, static_cast<WPARAM>(m_menu.value())),
                          expect(m_owner, WM_COMMAND, MAKEWPARAM(dial, 0), 0).posted()}));
}

TEST_F(PopupMenus, AnItemWithAPopupOpensItBesideAndItsChoiceComesBack) {
    const HMENU inner = CreatePopupMenu();
    AppendMenuW(inner, MF_STRING, 501, u"Inner");
    InsertMenuW(m_menu, 0, MF_BYPOSITION | MF_POPUP, static_cast<UINT_PTR>(inner.value()), u"More");
    std::future<BOOL> answer = open(TPM_RETURNCMD);
    const HWND outer_window = wait_for_menu_window();
    tap(centre_of(outer_window, 0));
    HWND inner_window;
    wait_until(
        [&] {
            inner_window = GetWindow(outer_window, GW_HWNDPREV);
            return inner_window && popup_menu_of(inner_window) == inner;
        },
        "the inner popup menu appearing");
    RECT outer_rect;
    RECT inner_rect;
    GetWindowRect(outer_window, &outer_rect);
    GetWindowRect(inner_window, &inner_rect);
    EXPECT_GE(inner_rect.left, outer_rect.right - 2);
    tap(centre_of(inner_window, 0));
    EXPECT_EQ(wait_or_fail(answer, "the menu answering"), 501);
}

TEST_F(PopupMenus, BadInputFailsWithoutOpeningAnything) {
    DebugCapture capture;
    EXPECT_FALSE(TrackPopupMenuEx(HMENU(), TPM_RETURNCMD, 0, 0, m_owner, nullptr));
    EXPECT_FALSE(TrackPopupMenuEx(m_menu, TPM_RETURNCMD, 0, 0, HWND(0x1230), nullptr));
    EXPECT_EQ(capture.lines().size(), 2u);
    EXPECT_FALSE(FindWindowW(u"#32768", nullptr));
}

} // namespace
