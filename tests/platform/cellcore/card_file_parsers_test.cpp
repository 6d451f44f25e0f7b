// The card's descriptions of its files: BER-TLV objects, FCP templates, the 2G SIM's GET
// RESPONSE and the records of EF_PBR, including the damaged ones a card may hold.
#include "cellcore/ber_tlv.h"
#include "cellcore/file_control.h"
#include "cellcore/phonebook_reference.h"

#include <gtest/gtest.h>

namespace {

using handset::Bytes;
using handset::FileStructure;
using handset::PhonebookLink;
namespace pbr_tag = handset::pbr_tag;

TEST(BerTlvTest, ReadsShortLongAndTwoByteTagsAndStopsAtPadding) {
    Bytes bytes{0x80, 0x01, 0xAA, 0x5F, 0x2D, 0x02, 0x65, 0x6E, 0x81, 0x81, 0x80};
    bytes += Bytes(0x80, 0x11);
    bytes += Bytes{0xFF, 0xFF};
    const auto objects = handset::parse_tlvs(bytes);
    ASSERT_TRUE(objects);
    ASSERT_EQ(objects->size(), 3u);
    EXPECT_EQ((*objects)[1].tag, 0x5F2D);
    EXPECT_EQ((*objects)[2].value.size(), 0x80u);
    EXPECT_EQ(handset::find_tlv(*objects, 0x80)->front(), 0xAA);
}

TEST(BerTlvTest, RefusesObjectsThatRunPastTheEnd) {
    for (const Bytes& bytes : {Bytes{0x80, 0x05, 0x01}, Bytes{0x5F}, Bytes{0x80, 0x82, 0x01},
                               Bytes{0x80, 0x83, 0, 0, 1, 0}}) {
        EXPECT_FALSE(handset::parse_tlvs(bytes)) << bytes.size();
    }
}

TEST(FileControlTest, ReadsARecordFilesTemplate) {
    const Bytes fcp{0x62, 0x0F, 0x82, 0x05, 0x02, 0x21, 0x00, 0x1C, 0xFA,
                    0x83, 0x02, 0x4F, 0x3A, 0x80, 0x02, 0x1B, 0x58};
    const auto info = handset::parse_fcp(fcp);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->structure, FileStructure::linear_fixed);
    EXPECT_EQ(info->record_length, 28);
    EXPECT_EQ(info->record_count, 250);
    EXPECT_EQ(info->size, 7000);
}

TEST(FileControlTest, ADirectorysPinTemplateSaysWhetherPin1IsEnabled) {
    const auto directory = [](uint8_t ps_do) {
        return Bytes{0x62,  0x12, 0x82, 0x02, 0x78, 0x21, 0xC6, 0x0C, 0x90, 0x01,
                     ps_do, 0x83, 0x01, 0x81, 0x83, 0x01, 0x01, 0x95, 0x01, 0x08};
    };
    EXPECT_EQ(handset::parse_fcp(directory(0x40))->pin_enabled, true)
        << "PIN1 listed second, its bit b7";
    EXPECT_EQ(handset::parse_fcp(directory(0x80))->pin_enabled, false);
    EXPECT_EQ(handset::parse_fcp(directory(0x40))->structure, FileStructure::directory);
    EXPECT_FALSE(handset::parse_fcp(Bytes{0x6F, 0x00})) << "not an FCP template";
}

TEST(FileControlTest, ReadsA2gSimsResponseForAFileAndADirectory) {
    const Bytes ef{0, 0, 0x00, 0x8C, 0x6F, 0x3A, 0x04, 0, 0, 0, 0, 0, 2, 0x01, 0x1C};
    const auto adn = handset::parse_gsm_response(ef);
    ASSERT_TRUE(adn);
    EXPECT_EQ(adn->record_count, 5);
    Bytes df(22, 0);
    df[6] = 0x02;
    df[13] = 0x80;
    df[18] = 0x82;
    const auto telecom = handset::parse_gsm_response(df);
    ASSERT_TRUE(telecom);
    EXPECT_EQ(telecom->pin_enabled, false);
    EXPECT_EQ(telecom->pin_tries, 2);
    EXPECT_FALSE(handset::parse_gsm_response(Bytes(ef.begin(), ef.begin() + 14)));
}

TEST(PhonebookReferenceTest, ListsTheFilesOfEachLinkType) {
    const Bytes record{0xA8, 0x0D, 0xC0, 0x03, 0x4F, 0x3A, 0x01, 0xC1, 0x02, 0x4F, 0x25,
                       0xC4, 0x02, 0x4F, 0x11, 0xA9, 0x08, 0xC4, 0x02, 0x4F, 0x12, 0xCA,
                       0x02, 0x4F, 0x50, 0xAA, 0x04, 0xC2, 0x02, 0x4F, 0x4A, 0xFF, 0xFF};
    const auto reference = handset::parse_phonebook_reference(record);
    ASSERT_TRUE(reference);
    EXPECT_EQ(reference->find(pbr_tag::adn, PhonebookLink::type1)->short_id, 0x01);
    EXPECT_EQ(reference->find(pbr_tag::anr, PhonebookLink::type1)->file_id, 0x4F11);
    EXPECT_EQ(reference->find(pbr_tag::anr, PhonebookLink::type2)->file_id, 0x4F12);
    EXPECT_EQ(reference->find(pbr_tag::ext1, PhonebookLink::type3)->file_id, 0x4F4A);
    EXPECT_FALSE(reference->find(pbr_tag::email, PhonebookLink::type1));
    EXPECT_EQ(reference->iap_position(pbr_tag::email), 1u) << "after the type 2 ANR";
}

TEST(PhonebookReferenceTest, AnEmptyRecordHasNoFilesAndADamagedOneIsRefused) {
    EXPECT_TRUE(handset::parse_phonebook_reference(Bytes(20, 0xFF))->files.empty());
    EXPECT_FALSE(handset::parse_phonebook_reference(Bytes{0xA8, 0x03, 0xC0, 0x01, 0x4F}));
    EXPECT_FALSE(handset::parse_phonebook_reference(Bytes{0xA0, 0x00})) << "an unknown template";
}

} // namespace
