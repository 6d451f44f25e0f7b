#include "resources/string_table.h"

#include "base/debug_output.h"
#include "resource_bytes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace handset {
namespace {

using testing::Bytes;
using ::testing::HasSubstr;

std::u16string as_text(std::span<const BYTE> bytes) {
    std::u16string text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text.push_back(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));
    }
    return text;
}

TEST(StringTable, NumbersBlocksFromOneSixteenIdsEach) {
    EXPECT_EQ(string_block_id(0), 1);
    EXPECT_EQ(string_block_id(15), 1);
    EXPECT_EQ(string_block_id(16), 2);
    EXPECT_EQ(string_block_id(700), 44);
    EXPECT_EQ(string_block_id(0xFFFF), 4096);
}

TEST(StringTable, FindsStringsByTheirPlaceInTheBlock) {
    Bytes block;
    block.word(0).word(2).text(u"ab", false).word(0).word(3).text(u"xyz", false);
    for (int i = 4; i < 16; ++i) {
        block.word(0);
    }

    EXPECT_EQ(as_text(string_in_block(block, 33).value()), u"ab");
    EXPECT_EQ(as_text(string_in_block(block, 35).value()), u"xyz");
    EXPECT_TRUE(string_in_block(block, 34).value().empty());
    EXPECT_TRUE(string_in_block(block, 47).value().empty());
}

TEST(StringTable, RefusesALengthThatRunsPastTheBlock) {
    Bytes block;
    block.word(1).text(u"a", false).word(40).text(u"short", false);
    DebugCapture capture;

    EXPECT_EQ(as_text(string_in_block(block, 0).value()), u"a") << "strings before the damage";
    EXPECT_FALSE(string_in_block(block, 1).has_value());
    EXPECT_FALSE(string_in_block(block, 9).has_value());
    ASSERT_EQ(capture.lines().size(), 2u);
    EXPECT_THAT(capture.lines()[0], HasSubstr("block 1 is damaged at string 1"));
    EXPECT_THAT(capture.lines()[0], HasSubstr("string text needs 80 bytes"));
}

TEST(StringTable, RefusesABlockCutShort) {
    DebugCapture capture;
    EXPECT_FALSE(string_in_block(Bytes().word(0), 17).has_value());
    EXPECT_FALSE(string_in_block(Bytes().byte(3), 16).has_value());
    EXPECT_EQ(capture.lines().size(), 2u);
}

} // namespace
} // namespace handset
