#include "gdi/screen.h"
#include "gdi/surface.h"
#include "message_log.h"
#include "ui_thread.h"
#include "user/input.h"
#include "user/message_box.h"

#include <gtest/gtest.h>
#include <wingdi.h>
#include <winuser.h>

#include <future>

using namespace handset;
using namespace handset::testing;

namespace {

constexpr const char16_t* owner_class = u"BoxOwner";

class MessageBoxes : public ::testing::Test {
  protected:
    void SetUp() override {
        Screen::instance().set_profile(ScreenProfile::qvga());
        MessageLog::instance().clear();
        m_owner = make_owner_window(m_ui, owner_class);
    }

    void TearDown() override {
        m_ui.run([this] { return DestroyWindow(m_owner); });
        UnregisterClassW(owner_class, HINSTANCE());
    }

    std::future<int> show(HWND owner, std::u16string text, std::u16string caption, UINT style) {
        return std::async(std::launch::async, [=, this] {
            return m_ui.run(
                [=] { return MessageBoxW(owner, text.c_str(), caption.c_str(), style); });
        });
    }

    static HWND wait_for_box() {
        HWND box;
        wait_until(
            [&] {
                const std::vector<HWND> boxes = open_message_boxes();
                box = boxes.empty() ? HWND() : boxes.front();
                return box && GetForegroundWindow() == box;
            },
            "a message box appearing");
        return box;
    }

    UiThread m_ui;
    HWND m_owner;
};

TEST_F(MessageBoxes, TheDriverReadsTheTextCaptionAndStyleAndAnswersIt) {
    std::future<int> answer =
        show(m_owner, u"SIM card is full.", u"Warning", MB_OK | MB_ICONEXCLAMATION);
    const HWND box = wait_for_box();
    const std::optional<MessageBoxContent> content = message_box_content(box);
    ASSERT_TRUE(content);
    EXPECT_EQ(content->text, u"SIM card is full.");
    EXPECT_EQ(content->caption, u"Warning");
    EXPECT_EQ(content->style, static_cast<UINT>(MB_ICONEXCLAMATION));
    WCHAR caption[16];
    GetWindowTextW(box, caption, 16);
    EXPECT_EQ(std::u16string(caption), u"Warning");
    EXPECT_EQ(GetWindow(box, GW_OWNER), m_owner);
    EXPECT_EQ(GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_TRUE(answer_message_box(box));
    EXPECT_EQ(wait_or_fail(answer, "the message box closing"), IDOK);
    EXPECT_FALSE(answer_message_box(box));
}

TEST_F(MessageBoxes, ABoxWithoutAnOwnerOrWithTopmostStaysOnTop) {
    std::future<int> unowned = show(HWND(), u"No pictures could be loaded!", u"Warning", 0x30);
    HWND box = wait_for_box();
    EXPECT_EQ(GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST, WS_EX_TOPMOST);
    answer_message_box(box);
    wait_or_fail(unowned, "the message box closing");
    std::future<int> owned = show(m_owner, u"Text", u"Error", MB_ICONHAND | MB_TOPMOST);
    box = wait_for_box();
    EXPECT_EQ(GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST, WS_EX_TOPMOST);
    answer_message_box(box);
    wait_or_fail(owned, "the message box closing");
}

TEST_F(MessageBoxes, TheOwnerIsDisabledMeanwhileAndActivatedAgainAfterwards) {
    MessageLog::instance().ignore(
        {WM_PAINT, WM_ERASEBKGND, WM_NCPAINT, WM_KILLFOCUS, WM_SETFOCUS, WM_KEYUP});
    MessageLog::instance().take();
    std::future<int> answer = show(m_owner, u"Saved.", u"Information", MB_ICONASTERISK);
    const HWND box = wait_for_box();
    EXPECT_FALSE(IsWindowEnabled(m_owner));
    // Enter answers the box as its OK button does.
    inject_key(VK_RETURN, true);
    inject_key(VK_RETURN, false);
    EXPECT_EQ(wait_or_fail(answer, "the message box closing"), IDOK);
    EXPECT_TRUE(IsWindowEnabled(m_owner));
    EXPECT_TRUE(sequence_matches(
        MessageLog::instance().take(),
        {expect(m_owner, WM_ENABLE, FALSE),
         expect(m_owner, WM_ACTIVATE, WA_INACTIVE, static_cast<LPARAM>(box.value())),
         expect(m_owner, WM_ENABLE, TRUE), expect(m_owner, WM_ACTIVATE, WA_ACTIVE)}));
}

bool any_pixel_in(HWND window, COLORREF wanted) {
    RECT client;
    GetClientRect(window, &client);
    POINT corner{0, 0};
    ClientToScreen(window, &corner);
    const Surface screen = Screen::instance().compose();
    for (LONG y = 0; y < client.bottom; ++y) {
        for (LONG x = 0; x < client.right; ++x) {
            if (colorref_from_pixel(screen.pixel(corner.x + x, corner.y + y)) == wanted) {
                return true;
            }
        }
    }
    return false;
}

TEST_F(MessageBoxes, TheBoxShowsItsIconAndWrapsLongTextToItsWidth) {
    std::future<int> short_box = show(m_owner, u"Short.", u"Error", MB_ICONHAND);
    HWND box = wait_for_box();
    m_ui.run([box] { return UpdateWindow(box); });
    EXPECT_TRUE(any_pixel_in(box, RGB(200, 30, 30))) << "the error icon is red";
    RECT short_rect;
    GetWindowRect(box, &short_rect);
    answer_message_box(box);
    wait_or_fail(short_box, "the message box closing");

    std::u16string long_text;
    for (int i = 0; i < 12; ++i) {
        long_text += u"The number of selected items is over the storage space. ";
    }
    std::future<int> long_box = show(m_owner, long_text, u"Warning", MB_ICONEXCLAMATION);
    box = wait_for_box();
    RECT long_rect;
    GetWindowRect(box, &long_rect);
    EXPECT_EQ(long_rect.right - long_rect.left, short_rect.right - short_rect.left);
    EXPECT_GT(long_rect.bottom - long_rect.top, 2 * (short_rect.bottom - short_rect.top));
    EXPECT_LE(long_rect.right, 240);
    answer_message_box(box);
    wait_or_fail(long_box, "the message box closing");
}

} // namespace
