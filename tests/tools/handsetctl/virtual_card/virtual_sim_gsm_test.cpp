// The virtual card as a 2G SIM: what a reader speaking class A0 finds, reads and writes, and how
// PIN1 guards it.
#include "virtual_card_fixture.h"

#include "cellcore/entry_codec.h"

#include <gmock/gmock.h>

using ::testing::StartsWith;

namespace {

handset::PhonebookEntry entry(std::u16string name, std::u16string_view number) {
    return {std::move(name), handset::DiallingNumber::parse(number).value(), {}, {}};
}

} // namespace

class VirtualSimGsmTest : public VirtualCardTest {
  protected:
    void SetUp() override {
        make();
        handset_side().store(1, entry(u"Mailbox", u"333"), handset::EntryFields::all);
    }

    void select_adn() {
        ASSERT_EQ(send("A0A40000027F10"), "9F16");
        ASSERT_EQ(send("A0A40000026F3A"), "9F0F");
    }
};

TEST_F(VirtualSimGsmTest, ServesTheStoredAdnRecordsByteForByteAndFreeOnesAsPadding) {
    select_adn();
    // 250 records of 28 bytes, linear fixed, read and update after CHV1.
    EXPECT_EQ(send("A0C000000F"), "00001B586F3A0400110044010201"
                                  "1C"
                                  "9000");
    const std::string stored = handset_side().export_adn()[0];
    EXPECT_EQ(send("A0B201041C"), hex({stored, "9000"}));
    EXPECT_EQ(send("A0B202041C"), hex({padding(28), "9000"}));
}

TEST_F(VirtualSimGsmTest, SelectsRelativeToTheCurrentFolderOnly) {
    // EF_ADN lies in DF_TELECOM, not in the MF.
    EXPECT_EQ(send("A0A40000026F3A"), "9404");
    select_adn();
    // From DF_TELECOM: itself, and the MF; the DF response says CHV1 is disabled.
    EXPECT_EQ(send("A0A40000027F10"), "9F16");
    EXPECT_THAT(send("A0C0000016"), StartsWith("000000007F1002"));
    EXPECT_EQ(send("A0A40000023F00"), "9F16");
    EXPECT_EQ(send("A0A40000025F3A"), "9404");
}

TEST_F(VirtualSimGsmTest, RefusesWhatA2GSimDoesNotKnow) {
    EXPECT_EQ(send("00A4000C023F00"), "6E00");
    EXPECT_EQ(send("A0CA000000"), "6D00");
    EXPECT_EQ(send("A0B201041C"), "9400"); // no EF selected yet
    EXPECT_EQ(send("A0A4"), "6700");
    select_adn();
    EXPECT_EQ(send("A0B200041C"), "9402");
    EXPECT_EQ(send("A0B2FB041C"), "9402");
    EXPECT_EQ(send("A0B2010410"), "671C");
    EXPECT_EQ(send("A0B0000001"), "9408"); // a record file has no binary
}

TEST_F(VirtualSimGsmTest, AnUpdateIsOneChangeOfTheCardAndAnEmptyRecordDeletesTheEntry) {
    select_adn();
    const handset::Bytes record = handset::encode_entry(entry(u"Zoe", u"+4930"), {}).record;
    const int64_t before = handset_side().latest_change();
    EXPECT_EQ(send({"A0DC03041C", handset::to_hex(record)}), "9000");
    EXPECT_EQ(handset_side().entry(3)->name, u"Zoe");
    EXPECT_EQ(handset_side().latest_change(), before + 1);
    EXPECT_EQ(send({"A0DC03041C", padding(28)}), "9000");
    EXPECT_FALSE(handset_side().entry(3));
    EXPECT_EQ(send({"A0DC030410", padding(16)}), "6700");
}

TEST_F(VirtualSimGsmTest, PinGuardsTheRecordsUntilVerifiedInThisSession) {
    set_lock(handset::PinLock::pin);
    select_adn();
    EXPECT_EQ(send("A0B201041C"), "9804");
    EXPECT_EQ(send("A0A40000027F10"), "9F16");
    // CHV1 enabled, initialised, three tries left.
    EXPECT_EQ(data_of(send("A0C0000016")).substr(26, 12), "000001040083");
    EXPECT_EQ(send({"A020000108", pin("9999")}), "9804");
    EXPECT_EQ(send("A0A40000027F10"), "9F16");
    EXPECT_EQ(data_of(send("A0C0000016")).substr(36, 2), "82");
    EXPECT_EQ(send({"A020000108", pin("1234")}), "9000");
    EXPECT_EQ(send("A0A40000026F3A"), "9F0F");
    EXPECT_EQ(status_of(send("A0B201041C")), "9000");
    // A reset ends the session; sim.db still says the PIN is enabled.
    m_sim->reset();
    select_adn();
    EXPECT_EQ(send("A0B201041C"), "9804");
    EXPECT_EQ(handset_side().state().lock, handset::PinLock::pin);
}

TEST_F(VirtualSimGsmTest, ADisabledPinLeavesTheRecordsOpen) {
    select_adn();
    EXPECT_EQ(status_of(send("A0B201041C")), "9000");
    EXPECT_EQ(send({"A020000108", pin("1234")}), "9808");
}
