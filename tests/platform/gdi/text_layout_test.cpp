#include "gdi/text_layout.h"

#include <wingdi.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace handset {
namespace {

// Every character is 10 pixels wide, which makes widths easy to reason about.
int ten_wide(char32_t) {
    return 10;
}

std::vector<std::u32string> texts(const std::vector<TextLine>& lines) {
    std::vector<std::u32string> out;
    for (const TextLine& line : lines) {
        out.push_back(line.chars);
    }
    return out;
}

std::vector<TextLine> lay_out(std::u16string_view text, UINT format, int width = 1000) {
    return lay_out_text(text, TextLayoutRules{format, width, 80}, ten_wide);
}

TEST(TextLayout, WordBreakWrapsBetweenWordsAndDropsTheSpacesAtTheBreak) {
    const auto lines = lay_out(u"one two three four", DT_WORDBREAK, 95);
    EXPECT_THAT(texts(lines), ::testing::ElementsAre(U"one two", U"three", U"four"));
    EXPECT_EQ(lines[0].width, 70);
}

TEST(TextLayout, AWordWiderThanTheBoxIsCutAtTheLastCharacterThatFits) {
    EXPECT_THAT(texts(lay_out(u"a abcdefghij", DT_WORDBREAK, 40)),
                ::testing::ElementsAre(U"a", U"abcd", U"efgh", U"ij"));
    // Even a box narrower than one character takes one character per line, so nothing is lost.
    EXPECT_THAT(texts(lay_out(u"xyz", DT_WORDBREAK, 5)), ::testing::ElementsAre(U"x", U"y", U"z"));
}

TEST(TextLayout, LineBreaksEndLinesUnlessTheFormatIsSingleLine) {
    EXPECT_THAT(texts(lay_out(u"a\r\nb\nc\rd", 0)), ::testing::ElementsAre(U"a", U"b", U"c", U"d"));
    EXPECT_THAT(texts(lay_out(u"a\r\nb\n\nc", DT_SINGLELINE)), ::testing::ElementsAre(U"abc"));
    EXPECT_THAT(texts(lay_out(u"a\n\nb", 0)), ::testing::ElementsAre(U"a", U"", U"b"));
}

TEST(TextLayout, SingleLineIgnoresWordBreak) {
    EXPECT_THAT(texts(lay_out(u"one two three", DT_SINGLELINE | DT_WORDBREAK, 30)),
                ::testing::ElementsAre(U"one two three"));
}

TEST(TextLayout, EmptyTextIsOneEmptyLine) {
    const auto lines = lay_out(u"", DT_WORDBREAK, 50);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].width, 0);
}

TEST(TextLayout, PrefixesUnderlineTheNextCharacterAndDoubleAmpersandsShowOne) {
    auto lines = lay_out(u"&File && &Edit&", 0);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].chars, U"File & Edit");
    EXPECT_EQ(lines[0].underlined, 7); // the last marked character wins
    lines = lay_out(u"&File", DT_NOPREFIX);
    EXPECT_EQ(lines[0].chars, U"&File");
    EXPECT_EQ(lines[0].underlined, -1);
}

TEST(TextLayout, TabsMoveToTheNextStopOnlyWhenExpanded) {
    auto lines = lay_out(u"ab\tc", DT_EXPANDTABS);
    EXPECT_EQ(lines[0].chars, U"abc");
    EXPECT_THAT(lines[0].x, ::testing::ElementsAre(0, 10, 80));
    EXPECT_EQ(lines[0].width, 90);
    lines = lay_out(u"ab\tc", 0);
    EXPECT_THAT(lines[0].x, ::testing::ElementsAre(0, 10, 20));
}

TEST(TextLayout, EndEllipsisCutsTheLineSoThatTheDotsFit) {
    const auto lines = lay_out(u"abcdefghij", DT_SINGLELINE | DT_END_ELLIPSIS, 65);
    EXPECT_EQ(lines[0].chars, U"abc...");
    EXPECT_EQ(lines[0].width, 60);
    EXPECT_EQ(lay_out(u"abc", DT_SINGLELINE | DT_END_ELLIPSIS, 65)[0].chars, U"abc");
}

TEST(TextLayout, SurrogatePairsAreOneCharacterAndStrayHalvesBecomeReplacements) {
    EXPECT_EQ(decode_utf16(u"a\U0001F600b"), U"a\U0001F600b");
    const char16_t broken[] = {u'a', 0xD800, u'b', 0xDC00, 0};
    EXPECT_EQ(decode_utf16(broken), U"a\uFFFDb\uFFFD");
}

} // namespace
} // namespace handset
