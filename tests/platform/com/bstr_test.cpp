#include <oleauto.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

uint32_t byte_prefix(BSTR text) {
    uint32_t bytes;
    std::memcpy(&bytes, reinterpret_cast<const char*>(text) - sizeof bytes, sizeof bytes);
    return bytes;
}

TEST(Bstr, CarriesItsByteLengthBeforeTheTextAndATerminatorAfterIt) {
    BSTR text = SysAllocString(u"Anna");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(byte_prefix(text), 8u);
    EXPECT_EQ(SysStringLen(text), 4u);
    EXPECT_EQ(text[4], u'\0');
    EXPECT_EQ(std::u16string_view(text), u"Anna");
    SysFreeString(text);
}

TEST(Bstr, KeepsEmbeddedZerosThatAZeroTerminatedCopyWouldLose) {
    BSTR text = SysAllocStringLen(u"a\0b", 3);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringLen(text), 3u);
    EXPECT_EQ(text[2], u'b');
    SysFreeString(text);
}

TEST(Bstr, TreatsNullAsTheEmptyStringEverywhere) {
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    SysFreeString(nullptr);

    BSTR empty = SysAllocString(u"");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(SysStringLen(empty), 0u);
    EXPECT_EQ(empty[0], u'\0');
    SysFreeString(empty);
}

TEST(Bstr, MakesAZeroedStringOfTheGivenLengthFromNoSource) {
    BSTR text = SysAllocStringLen(nullptr, 5);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringLen(text), 5u);
    EXPECT_EQ(std::u16string(text, 6), std::u16string(6, u'\0'));
    SysFreeString(text);
}

TEST(Bstr, RefusesALengthItsPrefixCannotHold) {
    EXPECT_EQ(SysAllocStringLen(nullptr, 0x80000000u), nullptr);
    EXPECT_EQ(SysAllocStringLen(u"x", 0xFFFFFFFFu), nullptr);
}

} // namespace
