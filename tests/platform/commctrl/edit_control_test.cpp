#include "control_fixture.h"

#include <string>

namespace {

class EditControlTest : public ControlFixture {
  protected:
    HWND make_edit(DWORD style = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP) {
        return create(u"EDIT", style, RECT{5, 28, 200, 51}, u"", 604);
    }
};

} // namespace

TEST_F(EditControlTest, TypingStopsAtTheLimitAndTellsTheParentOfEachChange) {
    const HWND edit = make_edit();
    SendMessageW(edit, EM_LIMITTEXT, 5, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 5);
    SetFocus(edit);
    MessageLog::instance().take();
    type_text(edit, u"1234567");
    EXPECT_EQ(text_of(edit), u"12345");
    const auto command = [edit](WORD code) {
        return to_parent(WM_COMMAND, MAKEWPARAM(604, code), static_cast<LPARAM>(edit.value()));
    };
    EXPECT_TRUE(sequence_matches(told({WM_COMMAND}),
                                 {command(EN_CHANGE), command(EN_CHANGE), command(EN_CHANGE),
                                  command(EN_CHANGE), command(EN_CHANGE), command(EN_MAXTEXT),
                                  command(EN_MAXTEXT)}));
}

TEST_F(EditControlTest, ProgramSetTextIsNotCutByTheLimit) {
    const HWND edit = make_edit();
    SendMessageW(edit, EM_SETLIMITTEXT, 3, 0);
    SetWindowTextW(edit, u"+441234567890");
    EXPECT_EQ(text_of(edit), u"+441234567890");
    EXPECT_EQ(GetWindowTextLengthW(edit), 13);
    press_key(edit, VK_END);
    type_text(edit, u"9");
    EXPECT_EQ(text_of(edit), u"+441234567890");
    type_text(edit, u"\b\b");
    EXPECT_EQ(text_of(edit), u"+4412345678");
}

TEST_F(EditControlTest, GetTextHonoursTheCallersBound) {
    const HWND edit = make_edit();
    SetWindowTextW(edit, u"abcdefgh");
    WCHAR buffer[4] = {u'x', u'x', u'x', u'x'};
    EXPECT_EQ(SendMessageW(edit, WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buffer)), 3);
    EXPECT_EQ(std::u16string(buffer), u"abc");
    EXPECT_EQ(SendMessageW(edit, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
    EXPECT_EQ(buffer[0], u'a');
}

TEST_F(EditControlTest, ArrowsAndBackspaceEditAtTheCaret) {
    const HWND edit = make_edit();
    SetFocus(edit);
    type_text(edit, u"abd");
    press_key(edit, VK_LEFT);
    type_text(edit, u"c");
    EXPECT_EQ(text_of(edit), u"abcd");
    press_key(edit, VK_HOME);
    press_key(edit, VK_RIGHT);
    type_text(edit, u"\b");
    EXPECT_EQ(text_of(edit), u"bcd");
    DWORD start = 99;
    DWORD end = 99;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 0u);
}

TEST_F(EditControlTest, WithoutAutoScrollTypingStopsWhereTheFieldIsFull) {
    const HWND edit = create(u"EDIT", WS_BORDER, RECT{5, 60, 45, 80}, u"", 605);
    type_text(edit, u"WWWWWWWWWWWWWWWWWWWW");
    const std::u16string kept = text_of(edit);
    EXPECT_GT(kept.size(), 0u);
    EXPECT_LT(kept.size(), 20u);
    const HWND scrolling = make_edit();
    SetWindowPos(scrolling, HWND(), 0, 0, 40, 20, SWP_NOMOVE | SWP_NOZORDER);
    type_text(scrolling, u"WWWWWWWWWWWWWWWWWWWW");
    EXPECT_EQ(text_of(scrolling).size(), 20u);
}

TEST_F(EditControlTest, ShowsTypedTextAndTheCaretWhenFocused) {
    const HWND edit = make_edit(ES_AUTOHSCROLL);
    SetFocus(edit);
    pump();
    POINT caret{5 + 2, 28 + 11};
    EXPECT_EQ(pixel(caret), GetSysColor(COLOR_WINDOWTEXT));
    type_text(edit, u"   ");
    EXPECT_EQ(pixel(caret), GetSysColor(COLOR_WINDOW));
}
