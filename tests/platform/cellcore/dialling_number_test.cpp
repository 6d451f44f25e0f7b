#include "cellcore/dialling_number.h"

#include "codec_test_support.h"

#include <gtest/gtest.h>

using handset::DiallingNumber;
using handset::NumberError;

namespace {

std::optional<handset::NumberError> refusal(std::u16string_view text, size_t limit = 20) {
    auto number = DiallingNumber::parse(text);
    if (!number) {
        return number.error();
    }
    auto block = number->encode(limit);
    if (!block) {
        return block.error();
    }
    return std::nullopt;
}

} // namespace

TEST(DiallingNumber, HoldsTwentyDigitsWithOrWithoutPlus) {
    const std::u16string twenty(20, u'7');
    EXPECT_EQ(refusal(twenty), std::nullopt);
    EXPECT_EQ(refusal(u"+" + twenty), std::nullopt);
    EXPECT_EQ(refusal(twenty + u"7"), NumberError::too_long);
    EXPECT_EQ(refusal(u"+" + twenty + u"7"), NumberError::too_long);
}

TEST(DiallingNumber, RefusesLettersSpacesAndInnerPlus) {
    EXPECT_EQ(refusal(u"030 1234"), NumberError::bad_character);
    EXPECT_EQ(refusal(u"0800CALLME"), NumberError::bad_character);
    EXPECT_EQ(refusal(u"49+30"), NumberError::bad_character);
    EXPECT_EQ(refusal(u"++49"), NumberError::bad_character);
    EXPECT_EQ(refusal(u"123P"), NumberError::bad_character);
}

TEST(DiallingNumber, CodesStarHashAndPauseAsExtendedBcd) {
    auto number = DiallingNumber::parse(u"*31#p5");
    ASSERT_TRUE(number);
    auto block = number->encode(20);
    ASSERT_TRUE(block);
    EXPECT_EQ(hex_of(*block), "04813AB15CFFFFFFFFFFFFFF");
    EXPECT_EQ(DiallingNumber::decode(*block), *number);
}

TEST(DiallingNumber, MarksInternationalByTypeNotByDigit) {
    auto number = DiallingNumber::parse(u"4930", true);
    ASSERT_TRUE(number);
    EXPECT_EQ(number->digits(), u"4930");
    EXPECT_EQ(number->type(), DiallingNumber::international_type);
    EXPECT_EQ(number->text(), u"+4930");
    EXPECT_EQ(DiallingNumber::parse(u"+4930").value(), *number);
}

TEST(DiallingNumber, TheEmptyNumberIsAnUnusedBlock) {
    auto block = DiallingNumber().encode(20);
    ASSERT_TRUE(block);
    EXPECT_EQ(hex_of(*block), std::string(24, 'F'));
    EXPECT_TRUE(DiallingNumber::decode(*block)->empty());
    EXPECT_TRUE(DiallingNumber::decode(hex_bytes("0081FFFFFFFFFFFFFFFFFFFF"))->empty());
    // A type without digits is written back as an unused block, so it reads as one.
    EXPECT_EQ(DiallingNumber::decode(hex_bytes("0100FFFFFFFFFFFFFFFFFFFF")), DiallingNumber());
    EXPECT_TRUE(DiallingNumber::decode(hex_bytes("0191FFFFFFFFFFFFFFFFFFFF"))->international());
}

TEST(DiallingNumber, KeepsTheTypeOfNumberItRead) {
    std::optional<DiallingNumber> national =
        DiallingNumber::decode(hex_bytes("03A12143FFFFFFFFFFFFFFFF"));
    ASSERT_TRUE(national);
    EXPECT_EQ(national->type(), 0xA1);
    EXPECT_FALSE(national->international());
    EXPECT_EQ(hex_of(*national->encode(20)), "03A12143FFFFFFFFFFFFFFFF");
}

TEST(DiallingNumber, RejectsDigitsOutsideTheExtendedBcdSet) {
    EXPECT_FALSE(DiallingNumber::decode(hex_bytes("0381D1FFFFFFFFFFFFFFFFFF")));
    EXPECT_FALSE(DiallingNumber::decode(hex_bytes("0381E1FFFFFFFFFFFFFFFFFF")));
    EXPECT_FALSE(DiallingNumber::decode(hex_bytes("0381")));
}
