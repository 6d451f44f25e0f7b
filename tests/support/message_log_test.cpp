#include "gdi/screen.h"
#include "message_log.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <winuser.h>

#include <cstdio>
#include <string>

using namespace handset;
using namespace handset::testing;

namespace {

constexpr const char16_t* logged_class = u"SequenceWindow";
constexpr UINT ping = WM_APP + 3;

class Sequences : public ::testing::Test {
  protected:
    void SetUp() override {
        Screen::instance().set_profile(ScreenProfile::qvga());
        register_test_class(logged_class);
        m_window = CreateWindowExW(0, logged_class, u"", WS_POPUP, 0, 0, 50, 50, HWND(), HMENU(),
                                   HINSTANCE(), nullptr);
        pump_messages();
        MessageLog::instance().clear();
    }

    void TearDown() override {
        if (IsWindow(m_window)) {
            DestroyWindow(m_window);
        }
        UnregisterClassW(logged_class, HINSTANCE());
        pump_messages();
    }

    static std::vector<LoggedMessage> take() { return MessageLog::instance().take(); }

    HWND m_window;
};

TEST_F(Sequences, AnOptionalEntryMayBeMissingOrPresentButARequiredOneMayNot) {
    SendMessageW(m_window, ping, 1, 0);
    SendMessageW(m_window, ping, 3, 0);
    const std::vector<LoggedMessage> log = take();
    EXPECT_TRUE(
        sequence_matches(log, {expect(m_window, ping, 1), expect(m_window, ping, 2).optionally(),
                               expect(m_window, ping, 3)}));
    EXPECT_TRUE(
        sequence_matches(log, {expect(m_window, ping, 1).optionally(), expect(m_window, ping, 3)}));
    EXPECT_FALSE(sequence_matches(
        log, {expect(m_window, ping, 1), expect(m_window, ping, 2), expect(m_window, ping, 3)}));
    EXPECT_FALSE(sequence_matches(log, {expect(m_window, ping, 1)})) << "nothing may be added";
}

TEST_F(Sequences, PostedAndSentMessagesAreToldApart) {
    PostMessageW(m_window, ping, 1, 0);
    SendMessageW(m_window, ping, 2, 0);
    pump_messages();
    const std::vector<LoggedMessage> log = take();
    EXPECT_TRUE(
        sequence_matches(log, {expect(m_window, ping, 2), expect(m_window, ping, 1).posted()}));
    EXPECT_FALSE(sequence_matches(
        log, {expect(m_window, ping, 2).posted(), expect(m_window, ping, 1).posted()}))
        << "a posted entry does not match a sent message";
    EXPECT_FALSE(sequence_matches(log, {expect(m_window, ping, 2), expect(m_window, ping, 1)}))
        << "a sent entry does not match a posted message";
}

TEST_F(Sequences, AMessageTheTestPostsIsPostedWhicheverLoopDispatchesIt) {
    ASSERT_TRUE(MessageLog::instance().post(m_window, ping, 5, 6));
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, HWND(), 0, 0, PM_REMOVE));
    DispatchMessageW(&message);
    // Sent afterwards with the same content: the post was used up by its own delivery.
    SendMessageW(m_window, ping, 5, 6);
    EXPECT_TRUE(sequence_matches(
        take(), {expect(m_window, ping, 5, 6).posted(), expect(m_window, ping, 5, 6)}));
}

TEST_F(Sequences, WhatTheDefaultProcedureCausesIsMarkedAsSuch) {
    SendMessageW(m_window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(sequence_matches(take(), {expect(m_window, WM_CLOSE),
                                          expect(m_window, WM_DESTROY).by_default(),
                                          expect(m_window, WM_NCDESTROY).by_default()}));
}

TEST_F(Sequences, ParentEntriesMatchOnlyTheMarkedParentAndCompareTheNotificationCode) {
    register_test_class(u"SequenceChild");
    const HWND child = CreateWindowExW(0, u"SequenceChild", u"", WS_CHILD, 0, 0, 10, 10, m_window,
                                       HMENU(7), HINSTANCE(), nullptr);
    MessageLog::instance().mark_parent(m_window);
    take();
    NMHDR header{child, 7, static_cast<UINT>(NM_CLICK)};
    SendMessageW(m_window, WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&header));
    SendMessageW(child, ping, 0, 0);
    const std::vector<LoggedMessage> log = take();
    EXPECT_TRUE(sequence_matches(log, {notification(NM_CLICK), expect(child, ping)}));
    EXPECT_FALSE(sequence_matches(log, {notification(NM_RETURN), expect(child, ping)}));
    EXPECT_FALSE(sequence_matches(log, {expect(m_window, WM_NOTIFY), expect(child, ping)}))
        << "a message to the parent matches only an entry that says so";
    EXPECT_FALSE(sequence_matches(log, {notification(NM_CLICK), to_parent(ping)}));
    DestroyWindow(child);
    UnregisterClassW(u"SequenceChild", HINSTANCE());
}

TEST_F(Sequences, TheFailureShowsBothSequencesSideBySideFromWhereTheyPart) {
    SendMessageW(m_window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"x"));
    SendMessageW(m_window, WM_KILLFOCUS, 0, 0);
    SendMessageW(m_window, 0x7FF0, 0, 0);
    const ::testing::AssertionResult result =
        sequence_matches(take(), {expect(m_window, WM_SETTEXT), expect(m_window, WM_SETFOCUS),
                                  maybe(m_window, WM_ENABLE)});
    ASSERT_FALSE(result);
    const std::string text = result.message();
    const std::string window = "0x" + [&] {
        char digits[16];
        std::snprintf(digits, sizeof(digits), "%x", m_window.value());
        return std::string(digits);
    }();
    EXPECT_NE(text.find("differs from row 2"), std::string::npos) << text;
    // The parting row holds the expected entry on the left and what came instead on the right.
    const size_t parting = text.find("> ");
    ASSERT_NE(parting, std::string::npos) << text;
    const std::string row = text.substr(parting, text.find('\n', parting) - parting);
    EXPECT_NE(row.find(window + " WM_SETFOCUS sent"), std::string::npos) << text;
    EXPECT_LT(row.find("WM_SETFOCUS"), row.find(" | ")) << text;
    EXPECT_GT(row.find("WM_KILLFOCUS"), row.find(" | ")) << text;
    EXPECT_NE(text.find("(optional) " + window + " WM_ENABLE"), std::string::npos) << text;
    EXPECT_NE(text.find("0x7ff0 sent"), std::string::npos) << "unknown messages show in hex\n"
                                                           << text;
}

TEST_F(Sequences, IgnoredMessagesStayOutOfTheLogUntilCleared) {
    MessageLog::instance().ignore({ping});
    SendMessageW(m_window, ping, 0, 0);
    SendMessageW(m_window, ping + 1, 0, 0);
    EXPECT_TRUE(sequence_matches(take(), {expect(m_window, ping + 1)}));
    MessageLog::instance().clear();
    SendMessageW(m_window, ping, 0, 0);
    EXPECT_TRUE(sequence_matches(take(), {expect(m_window, ping)}));
}

} // namespace
