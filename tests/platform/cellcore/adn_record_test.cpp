#include "cellcore/adn_record.h"

#include "codec_test_support.h"

#include <gtest/gtest.h>

using handset::AdnError;
using handset::AdnRecord;
using handset::decode_adn;
using handset::DiallingNumber;
using handset::encode_adn;

namespace {

const std::string voice_mail = "566F696365204D61696C07918150367742F3FFFFFFFFFFFF";
const std::string kundenbetreuung = "4B756E64656E626574726575756E67FF0791947112122721FFFFFFFFFFFF";

AdnRecord record(std::u16string name, std::u16string number) {
    return AdnRecord{std::move(name), DiallingNumber::parse(number).value()};
}

} // namespace

TEST(AdnRecord, DecodesRecordsReadFromRealCards) {
    std::optional<AdnRecord> first = decode_adn(hex_bytes(voice_mail));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->name, u"Voice Mail");
    EXPECT_EQ(first->number.digits(), u"18056377243");
    EXPECT_TRUE(first->number.international());

    std::optional<AdnRecord> second = decode_adn(hex_bytes(kundenbetreuung));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->name, u"Kundenbetreuung");
    EXPECT_EQ(second->number.text(), u"+491721217212");
}

TEST(AdnRecord, EncodesThoseRecordsByteForByte) {
    auto first = encode_adn(record(u"Voice Mail", u"+18056377243"), 10, 20);
    ASSERT_TRUE(first);
    EXPECT_EQ(hex_of(*first), voice_mail);

    auto second = encode_adn(record(u"Kundenbetreuung", u"+491721217212"), 16, 20);
    ASSERT_TRUE(second);
    EXPECT_EQ(hex_of(*second), kundenbetreuung);
}

TEST(AdnRecord, AnEmptySlotIsPaddingThroughout) {
    auto empty = encode_adn(AdnRecord{}, 14, 20);
    ASSERT_TRUE(empty);
    EXPECT_EQ(hex_of(*empty), std::string(56, 'F'));
    std::optional<AdnRecord> decoded = decode_adn(*empty);
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded->empty());
}

TEST(AdnRecord, RefusesWhatDoesNotFitInsteadOfShortening) {
    auto long_name = encode_adn(record(u"Kundenbetreuung", u"0"), 14, 20);
    ASSERT_FALSE(long_name);
    EXPECT_EQ(long_name.error(), AdnError::name_too_long);

    const AdnRecord long_number{u"A", DiallingNumber(std::u16string(21, u'1'), 0x81)};
    auto number = encode_adn(long_number, 14, 20);
    ASSERT_FALSE(number);
    EXPECT_EQ(number.error(), AdnError::number_too_long);

    // A card whose profile keeps fewer digits than the record could hold.
    auto short_card = encode_adn(record(u"A", u"0123456789"), 14, 9);
    ASSERT_FALSE(short_card);
    EXPECT_EQ(short_card.error(), AdnError::number_too_long);
}

TEST(AdnRecord, RejectsDamagedRecords) {
    // Shorter than the 14-byte trailer.
    EXPECT_FALSE(decode_adn(hex_bytes("07918150367742F3FFFFFFFF")));
    // A byte above 0x7F in a default-alphabet name.
    EXPECT_FALSE(decode_adn(hex_bytes("41C1FFFF07918150367742F3FFFFFFFFFFFF")));
    // A length byte beyond the number block.
    EXPECT_FALSE(decode_adn(hex_bytes("41FFFFFF0C918150367742F3FFFFFFFFFFFF")));
    // The number continues in an extension record, which this card does not keep.
    EXPECT_FALSE(decode_adn(hex_bytes("41FFFFFF07918150367742F3FFFFFFFFFF01")));
}

TEST(AdnRecord, ReadsRecordsOfAnyAlphaLength) {
    std::optional<AdnRecord> nameless = decode_adn(hex_bytes("0381214300FFFFFFFFFFFFFFFFFF"));
    ASSERT_TRUE(nameless);
    EXPECT_EQ(nameless->name, u"");
    EXPECT_EQ(nameless->number.text(), u"1234");
}
