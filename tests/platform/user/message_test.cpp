#include "gdi/screen.h"
#include "message_log.h"
#include "user/input.h"
#include "user/input_state.h"

#include <gtest/gtest.h>
#include <winbase.h>
#include <winuser.h>

#include <utility>
#include <vector>

using namespace handset;
using namespace handset::testing;

namespace {

constexpr const char16_t* queue_class = u"QueueWindow";

class Messages : public ::testing::Test {
  protected:
    void SetUp() override {
        Screen::instance().set_profile(ScreenProfile::qvga());
        register_test_class(queue_class);
        m_window = CreateWindowExW(0, queue_class, u"", WS_POPUP, 0, 0, 50, 50, HWND(), HMENU(),
                                   HINSTANCE(), nullptr);
        MessageLog::instance().clear();
        pump_messages();
    }

    void TearDown() override {
        DestroyWindow(m_window);
        UnregisterClassW(queue_class, HINSTANCE());
        pump_messages();
    }

    HWND m_window;
};

TEST_F(Messages, PostedMessagesComeOutInTheOrderTheyWerePosted) {
    PostMessageW(m_window, WM_USER + 1, 1, 0);
    PostMessageW(HWND(), WM_USER + 2, 2, 0);
    PostThreadMessageW(GetCurrentThreadId(), WM_USER + 3, 3, 0);
    PostMessageW(m_window, WM_USER + 4, 4, 0);
    for (UINT expected = 1; expected <= 4; ++expected) {
        MSG message;
        ASSERT_TRUE(PeekMessageW(&message, HWND(), 0, 0, PM_REMOVE));
        EXPECT_EQ(message.message, WM_USER + expected);
        EXPECT_EQ(message.wParam, expected);
        EXPECT_EQ(message.hwnd, expected == 1 || expected == 4 ? m_window : HWND());
    }
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, HWND(), 0, 0, PM_REMOVE));
}

TEST_F(Messages, PeekingWithoutRemovingLeavesTheMessageQueued) {
    PostMessageW(m_window, WM_USER, 7, 0);
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, HWND(), 0, 0, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessageW(&message, HWND(), 0, 0, PM_REMOVE));
    EXPECT_EQ(message.wParam, 7u);
    EXPECT_FALSE(PeekMessageW(&message, HWND(), 0, 0, PM_REMOVE));
}

TEST_F(Messages, AFilterTakesOnlyItsRangeAndLeavesTheRestInOrder) {
    PostMessageW(m_window, WM_USER + 1, 0, 0);
    PostMessageW(m_window, WM_USER + 5, 0, 0);
    PostMessageW(m_window, WM_USER + 2, 0, 0);
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, HWND(), WM_USER + 5, WM_USER + 9, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_USER + 5));
    EXPECT_FALSE(PeekMessageW(&message, HWND(), WM_USER + 5, WM_USER + 9, PM_REMOVE));
    ASSERT_TRUE(GetMessageW(&message, m_window, 0, 0));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_USER + 1));
    ASSERT_TRUE(GetMessageW(&message, m_window, 0, 0));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_USER + 2));
}

TEST_F(Messages, TheQuitRequestComesAfterWhatWasPostedAndEndsGetMessage) {
    PostQuitMessage(3);
    PostMessageW(m_window, WM_USER, 0, 0);
    MSG message;
    EXPECT_TRUE(GetMessageW(&message, HWND(), 0, 0));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_USER));
    EXPECT_FALSE(GetMessageW(&message, HWND(), 0, 0));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 3u);
    EXPECT_FALSE(PeekMessageW(&message, HWND(), 0, 0, PM_REMOVE));
}

TEST_F(Messages, PaintComesWhenNothingElseIsQueuedAndUntilTheWindowIsValid) {
    ShowWindow(m_window, SW_SHOWNA);
    PostMessageW(m_window, WM_USER, 0, 0);
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, HWND(), 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_USER));
    ASSERT_TRUE(PeekMessageW(&message, HWND(), 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_PAINT));
    EXPECT_EQ(message.hwnd, m_window);
    // Taking WM_PAINT out does not validate the window; painting does.
    ASSERT_TRUE(PeekMessageW(&message, HWND(), 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_PAINT));
    DispatchMessageW(&message);
    EXPECT_FALSE(PeekMessageW(&message, HWND(), 0, 0, PM_REMOVE));
    InvalidateRect(m_window, nullptr, FALSE);
    ASSERT_TRUE(PeekMessageW(&message, HWND(), 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_PAINT));
    ValidateRect(m_window, nullptr);
    EXPECT_FALSE(PeekMessageW(&message, HWND(), 0, 0, PM_REMOVE));
}

TEST_F(Messages, TranslateMessageTurnsKeysIntoCharactersWithTheShiftState) {
    MSG key{};
    key.hwnd = m_window;
    key.message = WM_KEYDOWN;
    key.wParam = 'A';
    EXPECT_TRUE(TranslateMessage(&key));
    set_key_held(VK_SHIFT, true);
    TranslateMessage(&key);
    set_key_held(VK_SHIFT, false);
    key.wParam = VK_LEFT;
    TranslateMessage(&key);
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, HWND(), 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(message.wParam, static_cast<WPARAM>(u'a'));
    ASSERT_TRUE(PeekMessageW(&message, HWND(), 0, 0, PM_REMOVE));
    EXPECT_EQ(message.wParam, static_cast<WPARAM>(u'A'));
    EXPECT_FALSE(PeekMessageW(&message, HWND(), 0, 0, PM_REMOVE));
}

TEST_F(Messages, TheCharacterOfAKeyComesBeforeTheKeysPressedAfterIt) {
    ShowWindow(m_window, SW_SHOW);
    SetFocus(m_window);
    pump_messages();
    MessageLog::instance().ignore({WM_PAINT, WM_ERASEBKGND, WM_NCPAINT});
    MessageLog::instance().take();
    // Two keys pressed before the program gets to its queue: the character that TranslateMessage
    // posts for the first is read before the input that followed it.
    inject_key('A', true);
    inject_key('A', false);
    inject_key('B', true);
    pump_messages();
    EXPECT_TRUE(sequence_matches(
        MessageLog::instance().take(),
        {expect(m_window, WM_KEYDOWN, 'A').posted(), expect(m_window, WM_CHAR, u'a').posted(),
         expect(m_window, WM_KEYUP, 'A').posted(), expect(m_window, WM_KEYDOWN, 'B').posted(),
         expect(m_window, WM_CHAR, u'b').posted()}));
    inject_key('B', false);
    pump_messages();
}

TEST_F(Messages, TheMessagePositionIsWhereTheStylusWasWhenTheMessageWasPosted) {
    set_stylus_position(POINT{12, 34});
    PostMessageW(m_window, WM_USER, 0, 0);
    set_stylus_position(POINT{99, 99});
    MSG message;
    ASSERT_TRUE(GetMessageW(&message, HWND(), 0, 0));
    EXPECT_EQ(GetMessagePos(), static_cast<DWORD>(MAKELONG(12, 34)));
    EXPECT_EQ(message.pt.x, 12);
    EXPECT_EQ(static_cast<DWORD>(GetMessageTime()), message.time);
}

TEST_F(Messages, DispatchingAMessageForADestroyedWindowDoesNothing) {
    PostMessageW(m_window, WM_USER, 0, 0);
    DestroyWindow(m_window);
    MessageLog::instance().take();
    MSG message;
    ASSERT_TRUE(GetMessageW(&message, HWND(), 0, 0));
    EXPECT_EQ(DispatchMessageW(&message), 0);
    EXPECT_TRUE(MessageLog::instance().take().empty());
}

} // namespace
