#include "commctrl/edit_buffer.h"

#include <gtest/gtest.h>

using handset::EditBuffer;

TEST(EditBuffer, TypingStopsAtTheLimitButTypingOverASelectionStillFits) {
    EditBuffer buffer;
    buffer.set_limit(3);
    EXPECT_TRUE(buffer.type(u'a'));
    EXPECT_TRUE(buffer.type(u'b'));
    EXPECT_TRUE(buffer.type(u'c'));
    EXPECT_FALSE(buffer.type(u'd'));
    EXPECT_EQ(buffer.text(), u"abc");
    buffer.select(1, 2);
    EXPECT_TRUE(buffer.type(u'X'));
    EXPECT_EQ(buffer.text(), u"aXc");
    EXPECT_EQ(buffer.caret(), 2u);
}

TEST(EditBuffer, ProgramSetTextBeyondTheLimitIsKeptAndCanOnlyShrink) {
    EditBuffer buffer;
    buffer.set_limit(4);
    buffer.set_text(u"0123456789");
    EXPECT_EQ(buffer.text(), u"0123456789");
    EXPECT_EQ(buffer.caret(), 0u);
    buffer.move_end();
    EXPECT_FALSE(buffer.type(u'x'));
    EXPECT_TRUE(buffer.backspace());
    EXPECT_EQ(buffer.text(), u"012345678");
    EXPECT_FALSE(buffer.can_type());
}

TEST(EditBuffer, ArrowsBackspaceAndDeleteWorkAroundTheCaret) {
    EditBuffer buffer;
    for (const char16_t c : std::u16string(u"hello")) {
        buffer.type(c);
    }
    buffer.move_left();
    buffer.move_left();
    EXPECT_TRUE(buffer.backspace());
    EXPECT_EQ(buffer.text(), u"helo");
    EXPECT_TRUE(buffer.erase_forward());
    EXPECT_EQ(buffer.text(), u"heo");
    buffer.move_home();
    EXPECT_FALSE(buffer.backspace());
    buffer.move_end();
    EXPECT_FALSE(buffer.erase_forward());
    buffer.move_right();
    EXPECT_EQ(buffer.caret(), 3u);
}

TEST(EditBuffer, ASurrogatePairMovesAndErasesAsOneCharacter) {
    EditBuffer buffer;
    buffer.set_text(u"a\U0001F600b");
    buffer.move_end();
    buffer.move_left();
    buffer.move_left();
    EXPECT_EQ(buffer.caret(), 1u);
    buffer.move_right();
    EXPECT_EQ(buffer.caret(), 3u);
    EXPECT_TRUE(buffer.backspace());
    EXPECT_EQ(buffer.text(), u"ab");
    buffer.place_caret(2);
    EXPECT_EQ(buffer.caret(), 2u);
}

TEST(EditBuffer, SelectionFollowsTheDeviceRulesForNegativeBounds) {
    EditBuffer buffer;
    buffer.set_text(u"abcdef");
    buffer.select(0, -1);
    EXPECT_EQ(buffer.selection_start(), 0u);
    EXPECT_EQ(buffer.selection_end(), 6u);
    buffer.select(-1, 0);
    EXPECT_FALSE(buffer.has_selection());
    buffer.select(4, 99);
    EXPECT_EQ(buffer.selection_end(), 6u);
    buffer.set_limit(0);
    EXPECT_EQ(buffer.limit(), EditBuffer::largest_limit);
}
