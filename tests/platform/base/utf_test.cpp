#include "base/utf.h"

#include <gtest/gtest.h>

using handset::utf16_to_utf8;
using handset::utf8_to_utf16;

TEST(Utf, RoundTripsTextFromEveryPlane) {
    const std::string text = "A\xC3\xA9\xE4\xB8\xAD\xE2\x82\xAC\xF0\x9F\x98\x80z"; // A é 中 € 😀 z
    const std::u16string wide = utf8_to_utf16(text);
    EXPECT_EQ(wide, u"A\u00e9\u4e2d\u20ac\U0001F600z");
    EXPECT_EQ(utf16_to_utf8(wide), text);
}

TEST(Utf, EncodesTheEdgesOfEachSequenceLength) {
    EXPECT_EQ(utf16_to_utf8(u"\u007f\u0080\u07ff\u0800\uffff"),
              "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF");
    EXPECT_EQ(utf16_to_utf8(u"\U00010000\U0010FFFF"), "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF");
    EXPECT_EQ(utf8_to_utf16("\xF4\x8F\xBF\xBF"), u"\U0010FFFF");
}

TEST(Utf, KeepsEmbeddedNulCharacters) {
    EXPECT_EQ(utf8_to_utf16(std::string_view("a\0b", 3)), std::u16string(u"a\0b", 3));
    EXPECT_EQ(utf16_to_utf8(std::u16string_view(u"a\0b", 3)), std::string("a\0b", 3));
}

TEST(Utf, ReplacesEachMaximalIllFormedSubpartWithOneReplacementCharacter) {
    struct Case {
        const char* name;
        std::string input;
        std::u16string expected;
    };
    const Case cases[] = {
        {"stray continuation",
         "a\x80"
         "b",
         u"a\uFFFDb"},
        {"lead bytes that never start a sequence", "\xC0\xC1\xF5\xFF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"overlong two-byte slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"overlong three-byte form", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"past U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"sequence cut by the end", "ok\xE4\xB8", u"ok\uFFFD"},
        {"sequence cut by ASCII",
         "\xF0\x9F\x98"
         "x",
         u"\uFFFDx"},
        {"two cut sequences in a row", "\xE4\xB8\xE4\xB8", u"\uFFFD\uFFFD"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utf8_to_utf16(c.input), c.expected) << c.name;
    }
}

TEST(Utf, ReplacesUnpairedSurrogates) {
    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(utf16_to_utf8(u"a\xD800"), "a" + replacement);
    EXPECT_EQ(utf16_to_utf8(u"\xDC00"
                            "b"),
              replacement + "b");
    EXPECT_EQ(utf16_to_utf8(u"\xD83D\xD83D\xDE00"), replacement + "\xF0\x9F\x98\x80");
    EXPECT_EQ(utf16_to_utf8(u"\xDE00\xD83D"), replacement + replacement);
}

TEST(Utf, ConvertsEveryByteStringWithoutFailing) {
    std::string all_bytes;
    for (int byte = 0; byte < 256; ++byte) {
        all_bytes.push_back(static_cast<char>(byte));
    }
    const std::u16string wide = utf8_to_utf16(all_bytes + all_bytes);
    // Back and forth again, the text is stable: only well-formed text survives the first pass.
    EXPECT_EQ(utf8_to_utf16(utf16_to_utf8(wide)), wide);
}
