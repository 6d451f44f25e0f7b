#include "base/debug_output.h"
#include "gdi/screen.h"
#include "message_log.h"
#include "user/foreign_windows.h"

#include <gtest/gtest.h>
#include <winbase.h>
#include <wingdi.h>
#include <winuser.h>

#include <string>

using namespace handset;
using namespace handset::testing;

namespace {

constexpr const char16_t* logged_class = u"LoggedWindow";

class Windows : public ::testing::Test {
  protected:
    void SetUp() override {
        Screen::instance().set_profile(ScreenProfile::qvga());
        register_test_class(logged_class, logging_procedure, HBRUSH(GetStockObject(WHITE_BRUSH)),
                            8);
        MessageLog::instance().clear();
    }

    void TearDown() override {
        for (HWND window : m_windows) {
            if (IsWindow(window)) {
                DestroyWindow(window);
            }
        }
        UnregisterClassW(logged_class, HINSTANCE());
    }

    HWND make(DWORD style, HWND parent = HWND(), const char16_t* title = u"", int x = 0, int y = 0,
              int width = 100, int height = 80, UINT id = 0) {
        const HWND window = CreateWindowExW(0, logged_class, title, style, x, y, width, height,
                                            parent, HMENU(id), HINSTANCE(), nullptr);
        m_windows.push_back(window);
        return window;
    }

    std::vector<HWND> m_windows;
};

TEST_F(Windows, ClassNamesAreUniqueWithoutRegardToCase) {
    WNDCLASSW record{};
    record.lpfnWndProc = DefWindowProcW;
    record.lpszClassName = u"loggedwindow";
    EXPECT_EQ(RegisterClassW(&record), 0);
    EXPECT_EQ(GetLastError(), 1410u);
    WNDCLASSW found{};
    ASSERT_TRUE(GetClassInfoW(HINSTANCE(), u"LOGGEDWINDOW", &found));
    EXPECT_EQ(found.lpfnWndProc, logging_procedure);
    EXPECT_EQ(found.cbWndExtra, 8);
}

TEST_F(Windows, AClassWithWindowsCannotBeUnregistered) {
    const HWND window = make(WS_POPUP);
    EXPECT_FALSE(UnregisterClassW(logged_class, HINSTANCE()));
    DestroyWindow(window);
    EXPECT_TRUE(UnregisterClassW(logged_class, HINSTANCE()));
}

TEST_F(Windows, AnUnknownClassFailsTheCreationWithADebugLine) {
    DebugCapture capture;
    const HWND window = CreateWindowExW(0, u"NoSuchClass", u"", WS_POPUP, 0, 0, 10, 10, HWND(),
                                        HMENU(), HINSTANCE(), nullptr);
    EXPECT_FALSE(window);
    EXPECT_EQ(GetLastError(), 1407u);
    EXPECT_NE(capture.text().find("NoSuchClass"), std::string::npos) << capture.text();
}

TEST_F(Windows, CreationSendsNcCreateCreateSizeAndMoveAndShowsLast) {
    const HWND window = make(WS_POPUP | WS_VISIBLE, HWND(), u"Title", 10, 20, 100, 80);
    ASSERT_TRUE(window);
    MessageLog& log = MessageLog::instance();
    EXPECT_TRUE(sequence_matches(log.take(),
                                 {
                                     expect(window, WM_NCCREATE),
                                     expect(window, WM_CREATE),
                                     expect(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(100, 80)),
                                     expect(window, WM_MOVE, 0, MAKELPARAM(10, 20)),
                                     expect(window, WM_SHOWWINDOW, TRUE),
                                     expect(window, WM_ACTIVATE, WA_ACTIVE),
                                     expect(window, WM_SETFOCUS).by_default(),
                                 }));
    WCHAR title[16];
    EXPECT_EQ(GetWindowTextW(window, title, 16), 5);
    EXPECT_EQ(std::u16string(title), u"Title");
}

LRESULT CALLBACK refusing_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    MessageLog::instance().record(window, message, wparam, lparam);
    if (message == WM_CREATE) {
        return -1;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

TEST_F(Windows, CreateAnsweringMinusOneDestroysTheWindowAndFailsTheCreation) {
    register_test_class(u"Refusing", refusing_procedure);
    const HWND window = CreateWindowExW(0, u"Refusing", u"", WS_POPUP, 0, 0, 10, 10, HWND(),
                                        HMENU(), HINSTANCE(), nullptr);
    EXPECT_FALSE(window);
    // The window never reached the caller, so the table leaves its handle open.
    const std::vector<LoggedMessage> log = MessageLog::instance().take();
    EXPECT_TRUE(sequence_matches(log, {expect(HWND(), WM_NCCREATE), expect(HWND(), WM_CREATE),
                                       expect(HWND(), WM_DESTROY), expect(HWND(), WM_NCDESTROY)}));
    ASSERT_FALSE(log.empty());
    EXPECT_FALSE(IsWindow(log[0].window));
    UnregisterClassW(u"Refusing", HINSTANCE());
}

TEST_F(Windows, AChildWindowNeedsAParent) {
    EXPECT_FALSE(make(WS_CHILD));
    EXPECT_EQ(GetLastError(), 1406u);
}

TEST_F(Windows, DestroyTellsParentsBeforeChildrenAndFreesChildrenFirst) {
    const HWND parent = make(WS_POPUP);
    const HWND first = make(WS_CHILD, parent);
    const HWND grandchild = make(WS_CHILD, first);
    const HWND second = make(WS_CHILD, parent);
    MessageLog::instance().take();
    EXPECT_TRUE(DestroyWindow(parent));
    EXPECT_TRUE(
        sequence_matches(MessageLog::instance().take(), {
                                                            expect(parent, WM_DESTROY),
                                                            expect(first, WM_DESTROY),
                                                            expect(grandchild, WM_DESTROY),
                                                            expect(second, WM_DESTROY),
                                                            expect(grandchild, WM_NCDESTROY),
                                                            expect(first, WM_NCDESTROY),
                                                            expect(second, WM_NCDESTROY),
                                                            expect(parent, WM_NCDESTROY),
                                                        }));
    EXPECT_FALSE(IsWindow(parent));
    EXPECT_FALSE(IsWindow(grandchild));
}

TEST_F(Windows, DestroyingAnOwnerDestroysItsOwnedPopupsFirst) {
    const HWND owner = make(WS_POPUP);
    const HWND owned = make(WS_POPUP, owner);
    MessageLog::instance().take();
    DestroyWindow(owner);
    EXPECT_TRUE(sequence_matches(MessageLog::instance().take(), {
                                                                    expect(owned, WM_DESTROY),
                                                                    expect(owned, WM_NCDESTROY),
                                                                    expect(owner, WM_DESTROY),
                                                                    expect(owner, WM_NCDESTROY),
                                                                }));
}

TEST_F(Windows, HandlesKeepTheirLowestBitClearAndGoStaleWhenTheWindowGoes) {
    const HWND first = make(WS_POPUP);
    EXPECT_EQ(first.value() & 1u, 0u);
    DestroyWindow(first);
    const HWND second = make(WS_POPUP);
    EXPECT_NE(first, second);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_FALSE(IsWindow(HWND(second.value() | 1u)));
}

TEST_F(Windows, WindowLongsHoldUserDataStyleIdAndExtraBytes) {
    const HWND parent = make(WS_POPUP);
    const HWND child = make(WS_CHILD | WS_BORDER, parent, u"", 0, 0, 10, 10, 42);
    EXPECT_EQ(SetWindowLongW(child, GWL_USERDATA, 0x800), 0);
    EXPECT_EQ(GetWindowLongW(child, GWL_USERDATA), 0x800);
    EXPECT_EQ(GetWindowLongW(child, GWL_ID), 42);
    EXPECT_EQ(GetDlgCtrlID(child), 42);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE)),
              static_cast<DWORD>(WS_CHILD | WS_BORDER));
    EXPECT_EQ(GetWindowLongW(child, 4), 0);
    EXPECT_EQ(SetWindowLongW(child, 4, -7), 0);
    EXPECT_EQ(GetWindowLongW(child, 4), -7);
    // Eight extra bytes: an index whose four bytes would run past them names nothing.
    EXPECT_EQ(GetWindowLongW(child, 5), 0);
    EXPECT_EQ(GetLastError(), 1413u);
    EXPECT_EQ(GetWindowLongPtrW(child, 0), static_cast<LONG_PTR>(-7) << 32);
}

TEST_F(Windows, ChangingTheStyleTellsTheWindowOldAndNew) {
    const HWND window = make(WS_POPUP);
    MessageLog::instance().take();
    SetWindowLongW(window, GWL_STYLE, static_cast<LONG>(WS_POPUP | WS_BORDER));
    EXPECT_TRUE(
        sequence_matches(MessageLog::instance().take(),
                         {expect(window, WM_STYLECHANGED, static_cast<WPARAM>(GWL_STYLE))}));
}

LRESULT CALLBACK upper_casing_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_SETTEXT) {
        std::u16string text(reinterpret_cast<LPCWSTR>(lparam));
        for (char16_t& c : text) {
            c = static_cast<char16_t>(c >= u'a' && c <= u'z' ? c - 32 : c);
        }
        return DefWindowProcW(window, message, wparam, reinterpret_cast<LPARAM>(text.c_str()));
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

TEST_F(Windows, SubclassingReplacesTheProcedureAndChainsToThePreviousOne) {
    const HWND window = make(WS_POPUP);
    const LONG_PTR original = GetWindowLongPtrW(window, GWL_WNDPROC);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(original), logging_procedure);
    EXPECT_EQ(
        SetWindowLongPtrW(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(upper_casing_procedure)),
        original);
    MessageLog::instance().watch(window);
    MessageLog::instance().take();
    SetWindowTextW(window, u"abc");
    WCHAR text[8];
    GetWindowTextW(window, text, 8);
    EXPECT_EQ(std::u16string(text), u"ABC");
    EXPECT_TRUE(sequence_matches(MessageLog::instance().take(),
                                 {expect(window, WM_SETTEXT), expect(window, WM_GETTEXT, 8)}));
}

TEST_F(Windows, The32BitFormsRefuseProcedureAddressesThatWouldNotFit) {
    const HWND window = make(WS_POPUP);
    DebugCapture capture;
    EXPECT_EQ(GetWindowLongW(window, GWL_WNDPROC), 0);
    EXPECT_EQ(GetLastError(), 1413u);
    EXPECT_EQ(SetWindowLongW(window, GWL_WNDPROC, 1234), 0);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWL_WNDPROC)), logging_procedure);
    EXPECT_EQ(capture.lines().size(), 2u);
}

TEST_F(Windows, AnInvalidHandleGivesZeroAnErrorCodeAndADebugLine) {
    const HWND window = make(WS_POPUP);
    DestroyWindow(window);
    DebugCapture capture;
    EXPECT_EQ(SetWindowLongW(window, GWL_USERDATA, 5), 0);
    EXPECT_EQ(GetLastError(), 1400u);
    EXPECT_EQ(GetWindowLongW(HWND(0x12345678), GWL_STYLE), 0);
    EXPECT_EQ(SendMessageW(window, WM_USER, 0, 0), 0);
    EXPECT_FALSE(PostMessageW(window, WM_USER, 0, 0));
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_EQ(capture.lines().size(), 5u) << capture.text();
}

TEST_F(Windows, GetWindowTextCutsToTheBufferAndAlwaysTerminates) {
    const HWND window = make(WS_POPUP, HWND(), u"Phonebook");
    WCHAR text[5] = {u'x', u'x', u'x', u'x', u'x'};
    EXPECT_EQ(GetWindowTextW(window, text, 5), 4);
    EXPECT_EQ(std::u16string(text), u"Phon");
    EXPECT_EQ(GetWindowTextW(window, text, 1), 0);
    EXPECT_EQ(text[0], u'\0');
    EXPECT_EQ(GetWindowTextW(window, text, 0), 0);
    EXPECT_EQ(GetWindowTextLengthW(window), 9);
}

TEST_F(Windows, RelationsFollowParentsOwnersAndCreationOrder) {
    const HWND owner = make(WS_POPUP);
    const HWND popup = make(WS_POPUP, owner);
    const HWND first = make(WS_CHILD, popup, u"", 0, 0, 10, 10, 7);
    const HWND second = make(WS_CHILD, popup, u"", 0, 0, 10, 10, 8);
    EXPECT_EQ(GetParent(popup), owner);
    EXPECT_EQ(GetWindow(popup, GW_OWNER), owner);
    EXPECT_EQ(GetParent(first), popup);
    EXPECT_EQ(GetWindow(popup, GW_CHILD), first);
    EXPECT_EQ(GetWindow(first, GW_HWNDNEXT), second);
    EXPECT_FALSE(GetWindow(second, GW_HWNDNEXT));
    EXPECT_EQ(GetDlgItem(popup, 8), second);
    EXPECT_TRUE(IsChild(popup, second));
    EXPECT_FALSE(IsChild(owner, second));
}

TEST_F(Windows, FindWindowMatchesClassAndTitleWithoutRegardToCase) {
    const HWND window = make(WS_POPUP, HWND(), u"Telvane");
    EXPECT_EQ(FindWindowW(u"LOGGEDWINDOW", u"telvane"), window);
    EXPECT_EQ(FindWindowW(nullptr, u"TELVANE"), window);
    EXPECT_EQ(FindWindowW(u"loggedwindow", nullptr), window);
    EXPECT_FALSE(FindWindowW(u"LoggedWindow", u"Other"));
}

class FakeDirectory : public ForeignWindowDirectory {
  public:
    std::optional<uint64_t> find_window(std::optional<std::u16string_view> window_class,
                                        std::optional<std::u16string_view> title) override {
        if (gone || !window_class || *window_class != u"TELVANE" || !title) {
            return std::nullopt;
        }
        return 77;
    }
    std::optional<LONG_PTR> user_data(uint64_t) override {
        return gone ? std::nullopt : std::optional<LONG_PTR>(2048);
    }
    std::optional<bool> set_foreground(uint64_t, bool last_active_popup) override {
        foreground_popup = last_active_popup;
        return true;
    }
    std::optional<bool> post_message(uint64_t, UINT message, WPARAM, LPARAM) override {
        posted = message;
        return true;
    }
    std::optional<LRESULT> send_message(uint64_t, UINT message, WPARAM, LPARAM) override {
        if (gone) {
            return std::nullopt;
        }
        sent = message;
        return 0;
    }

    bool gone = false;
    bool foreground_popup = false;
    UINT posted = 0;
    UINT sent = 0;
};

TEST_F(Windows, FindWindowReachesAnotherProcessThroughTheDirectory) {
    FakeDirectory directory;
    set_foreign_window_directory(&directory);
    const HWND proxy = FindWindowW(u"TELVANE", u"Telvane");
    ASSERT_TRUE(proxy);
    EXPECT_EQ(FindWindowW(u"TELVANE", u"Telvane"), proxy);
    EXPECT_EQ(GetWindowLongW(proxy, GWL_USERDATA), 2048);
    EXPECT_TRUE(SetForegroundWindow(HWND(proxy.value() | 1u)));
    EXPECT_TRUE(directory.foreground_popup);
    SendMessageW(proxy, WM_CLOSE, 0, 0);
    EXPECT_EQ(directory.sent, static_cast<UINT>(WM_CLOSE));
    EXPECT_EQ(GetWindowLongW(proxy, GWL_STYLE), 0);
    EXPECT_EQ(GetLastError(), 5u);
    directory.gone = true;
    DebugCapture capture;
    EXPECT_EQ(SendMessageW(proxy, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(IsWindow(proxy));
    set_foreign_window_directory(nullptr);
    EXPECT_FALSE(FindWindowW(u"TELVANE", u"Telvane"));
}

TEST_F(Windows, TheClientAreaLeavesOutTheBorderAndTheCaption) {
    const HWND window = make(WS_POPUP | WS_CAPTION, HWND(), u"", 10, 10, 100, 80);
    RECT client;
    GetClientRect(window, &client);
    const LONG border = GetSystemMetrics(SM_CXBORDER);
    const LONG caption = GetSystemMetrics(SM_CYCAPTION);
    EXPECT_EQ(client.right, 100 - 2 * border);
    EXPECT_EQ(client.bottom, 80 - 2 * border - caption);
    POINT corner{0, 0};
    ClientToScreen(window, &corner);
    EXPECT_EQ(corner.x, 10 + border);
    EXPECT_EQ(corner.y, 10 + border + caption);
}

TEST_F(Windows, CoordinatesMapBetweenNestedWindowsAndTheScreen) {
    const HWND top = make(WS_POPUP, HWND(), u"", 20, 30, 200, 200);
    const HWND child = make(WS_CHILD, top, u"", 5, 6, 50, 50);
    POINT point{1, 2};
    ClientToScreen(child, &point);
    EXPECT_EQ(point.x, 26);
    EXPECT_EQ(point.y, 38);
    ScreenToClient(top, &point);
    EXPECT_EQ(point.x, 6);
    EXPECT_EQ(point.y, 8);
    POINT points[2] = {{0, 0}, {10, 10}};
    MapWindowPoints(child, top, points, 2);
    EXPECT_EQ(points[1].x, 15);
    EXPECT_EQ(points[1].y, 16);
    RECT rect;
    GetWindowRect(child, &rect);
    EXPECT_EQ(rect.left, 25);
    EXPECT_EQ(rect.bottom, 86);
}

TEST_F(Windows, MovingAWindowReportsOnlyWhatChanged) {
    const HWND parent = make(WS_POPUP, HWND(), u"", 0, 0, 200, 200);
    const HWND child = make(WS_CHILD, parent, u"", 0, 0, 50, 50);
    MessageLog::instance().take();
    MoveWindow(child, 0, 0, 60, 50, FALSE);
    SetWindowPos(child, HWND(), 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW);
    EXPECT_TRUE(sequence_matches(MessageLog::instance().take(),
                                 {expect(child, WM_SIZE, SIZE_RESTORED, MAKELPARAM(60, 50)),
                                  expect(child, WM_MOVE, 0, MAKELPARAM(5, 5))}));
}

} // namespace
