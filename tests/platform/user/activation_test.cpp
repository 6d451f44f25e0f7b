#include "gdi/screen.h"
#include "message_log.h"
#include "user/window_lifecycle.h"

#include <gtest/gtest.h>
#include <winuser.h>

using namespace handset;
using namespace handset::testing;

namespace {

constexpr const char16_t* activation_class = u"ActivationWindow";

class Activation : public ::testing::Test {
  protected:
    void SetUp() override {
        Screen::instance().set_profile(ScreenProfile::qvga());
        register_test_class(activation_class);
        MessageLog::instance().clear();
        MessageLog::instance().ignore(
            {WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW, WM_DESTROY, WM_NCDESTROY});
    }

    void TearDown() override {
        for (auto it = m_windows.rbegin(); it != m_windows.rend(); ++it) {
            if (IsWindow(*it)) {
                DestroyWindow(*it);
            }
        }
        UnregisterClassW(activation_class, HINSTANCE());
    }

    HWND make(DWORD style, HWND parent = HWND()) {
        const HWND window = CreateWindowExW(0, activation_class, u"", style, 0, 0, 100, 100, parent,
                                            HMENU(), HINSTANCE(), nullptr);
        m_windows.push_back(window);
        return window;
    }

    std::vector<HWND> m_windows;
};

TEST_F(Activation, ShowingAWindowDeactivatesTheActiveOneFirst) {
    const HWND first = make(WS_POPUP | WS_VISIBLE);
    MessageLog::instance().take();
    const HWND second = make(WS_POPUP | WS_VISIBLE);
    EXPECT_TRUE(sequence_matches(
        MessageLog::instance().take(),
        {expect(first, WM_KILLFOCUS), expect(first, WM_ACTIVATE, WA_INACTIVE),
         expect(second, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), static_cast<LPARAM>(first.value())),
         expect(second, WM_SETFOCUS).by_default()}));
    EXPECT_EQ(GetActiveWindow(), second);
    EXPECT_EQ(GetFocus(), second);
    EXPECT_EQ(GetWindow(second, GW_HWNDFIRST), second);
}

TEST_F(Activation, AWindowThatNeverTakesActivationShowsAndMovesWithoutIt) {
    const HWND worked_in = make(WS_POPUP | WS_VISIBLE);
    WindowRequest request;
    request.class_name = activation_class;
    request.style = WS_POPUP;
    request.place(RECT{0, 200, 240, 226});
    request.takes_activation = false;
    const HWND band = create_window(request);
    ASSERT_TRUE(band);
    m_windows.push_back(band);
    MessageLog::instance().take();
    ShowWindow(band, SW_SHOW);
    ShowWindow(band, SW_SHOWNORMAL);
    SetWindowPos(band, HWND(), 0, 190, 0, 0, SWP_NOSIZE);
    EXPECT_TRUE(IsWindowVisible(band));
    EXPECT_EQ(GetActiveWindow(), worked_in);
    EXPECT_EQ(GetFocus(), worked_in);
    EXPECT_TRUE(sequence_matches(MessageLog::instance().take(), {}))
        << "no window is told of activation or focus";
}

TEST_F(Activation, HidingTheActiveWindowActivatesItsOwner) {
    const HWND owner = make(WS_POPUP | WS_VISIBLE);
    make(WS_POPUP | WS_VISIBLE);
    const HWND owned = make(WS_POPUP | WS_VISIBLE, owner);
    MessageLog::instance().take();
    ShowWindow(owned, SW_HIDE);
    EXPECT_TRUE(sequence_matches(
        MessageLog::instance().take(),
        {expect(owned, WM_KILLFOCUS), expect(owned, WM_ACTIVATE, WA_INACTIVE),
         expect(owner, WM_ACTIVATE, WA_ACTIVE), expect(owner, WM_SETFOCUS).by_default()}));
}

TEST_F(Activation, AnOwnedWindowStaysAboveItsOwnerWhenTheOwnerIsActivated) {
    const HWND owner = make(WS_POPUP | WS_VISIBLE);
    const HWND owned = make(WS_POPUP | WS_VISIBLE, owner);
    const HWND other = make(WS_POPUP | WS_VISIBLE);
    SetActiveWindow(owner);
    EXPECT_EQ(GetWindow(owner, GW_HWNDFIRST), owned);
    EXPECT_EQ(GetWindow(owned, GW_HWNDNEXT), owner);
    EXPECT_EQ(GetWindow(owner, GW_HWNDNEXT), other);
}

TEST_F(Activation, TheLowestBitAsksForTheLastActiveOwnedPopup) {
    const HWND owner = make(WS_POPUP | WS_VISIBLE);
    const HWND popup = make(WS_POPUP | WS_VISIBLE, owner);
    const HWND other = make(WS_POPUP | WS_VISIBLE);
    ASSERT_EQ(GetActiveWindow(), other);
    EXPECT_TRUE(SetForegroundWindow(HWND(owner.value() | 1u)));
    EXPECT_EQ(GetForegroundWindow(), popup);
    SetActiveWindow(other);
    EXPECT_TRUE(SetForegroundWindow(owner));
    EXPECT_EQ(GetForegroundWindow(), owner);
}

TEST_F(Activation, FocusMovesWithKillFocusBeforeSetFocus) {
    const HWND top = make(WS_POPUP | WS_VISIBLE);
    const HWND first = make(WS_CHILD | WS_VISIBLE, top);
    const HWND second = make(WS_CHILD | WS_VISIBLE, top);
    SetFocus(first);
    MessageLog::instance().take();
    EXPECT_EQ(SetFocus(second), first);
    EXPECT_TRUE(
        sequence_matches(MessageLog::instance().take(),
                         {expect(first, WM_KILLFOCUS, static_cast<WPARAM>(second.value())),
                          expect(second, WM_SETFOCUS, static_cast<WPARAM>(first.value()))}));
}

TEST_F(Activation, DisablingTheFocusedWindowTakesTheFocusAway) {
    const HWND top = make(WS_POPUP | WS_VISIBLE);
    const HWND child = make(WS_CHILD | WS_VISIBLE, top);
    SetFocus(child);
    MessageLog::instance().take();
    EXPECT_FALSE(EnableWindow(child, FALSE));
    EXPECT_TRUE(sequence_matches(MessageLog::instance().take(),
                                 {expect(child, WM_KILLFOCUS), expect(child, WM_ENABLE, FALSE)}));
    EXPECT_FALSE(GetFocus());
    EXPECT_FALSE(IsWindowEnabled(child));
    EXPECT_TRUE(EnableWindow(child, TRUE));
}

TEST_F(Activation, DestroyingTheActiveWindowActivatesTheNextOneBeforeItsDestroyMessages) {
    const HWND below = make(WS_POPUP | WS_VISIBLE);
    const HWND top = make(WS_POPUP | WS_VISIBLE);
    MessageLog::instance().clear();
    DestroyWindow(top);
    EXPECT_TRUE(sequence_matches(MessageLog::instance().take(),
                                 {expect(top, WM_KILLFOCUS), expect(top, WM_ACTIVATE, WA_INACTIVE),
                                  expect(below, WM_ACTIVATE, WA_ACTIVE),
                                  expect(below, WM_SETFOCUS).by_default(), expect(top, WM_DESTROY),
                                  expect(top, WM_NCDESTROY)}));
}

} // namespace
