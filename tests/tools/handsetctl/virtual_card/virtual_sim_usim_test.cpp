// The virtual card as a UICC with a USIM: EF_DIR, the global phonebook's files and their links,
// writes through them, and PIN1 as a UICC reports it.
#include "virtual_card_fixture.h"

#include "cellcore/alpha_identifier.h"
#include "cellcore/entry_codec.h"

#include <gmock/gmock.h>

using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

const std::string usim_aid = "A0000000871002FFFFFFFF8906010000";
// An EMAIL record of this card: 30 bytes of address, then the ADN's SFI and record.
constexpr size_t email_record_hex = 2 * 32;

handset::PhonebookEntry entry(std::u16string name, std::optional<std::u16string> email = {}) {
    return {std::move(name), handset::DiallingNumber::parse(u"0301").value(), {}, email};
}

std::string email_record(std::u16string_view address, int adn_record) {
    return hex({handset::to_hex(handset::encode_alpha(address, 30).value()), "01",
                handset::to_hex(handset::Bytes{static_cast<uint8_t>(adn_record)})});
}

std::string adn_record(std::u16string name) {
    handset::CardProfile profile;
    return handset::to_hex(handset::encode_entry(entry(std::move(name)), profile).record);
}

} // namespace

class VirtualSimUsimTest : public VirtualCardTest {
  protected:
    void SetUp() override { make(usim_profile()); }

    void store(int slot, const handset::PhonebookEntry& stored) {
        handset_side().store(slot, stored, handset::EntryFields::all);
    }
};

TEST_F(VirtualSimUsimTest, EfDirNamesTheUsimWhichIsSelectedByItsIdentifier) {
    select_path("2F00");
    EXPECT_EQ(send("00B2010420"), hex({"61184F10", usim_aid, "50045553494D", padding(6), "9000"}));
    EXPECT_EQ(send({"00A4040410", usim_aid}), "612D");
    EXPECT_THAT(send("00C000002D"), HasSubstr(hex({"8410", usim_aid})));
    // The USIM keeps no phonebook of its own.
    EXPECT_EQ(send("00A4000C025F3A"), "6A82");
}

TEST_F(VirtualSimUsimTest, PbrNamesEachSetsFilesAndTheirFcpDescribesThem) {
    select_path("7F10 5F3A 4F30");
    EXPECT_EQ(send("00B2010400"), "A80DC0034F3A01C1024F25C4024F11"
                                  "A904CA024F50"
                                  "9000");
    EXPECT_EQ(send("00A40004024F3A"), "6117");
    // Linear fixed, 28-byte records, 250 of them, 7000 bytes.
    EXPECT_THAT(send("00C0000017"), StartsWith("621582050221001CFA83024F3A80021B58"));
    EXPECT_EQ(send("00A40004024F50"), "6117");
    EXPECT_THAT(send("00C0000000"), StartsWith("62158205022100"
                                               "20"
                                               "FA"));
}

TEST_F(VirtualSimUsimTest, AnEntrysFieldsAreReadThroughTheTypeOneAndTypeTwoFiles) {
    handset::PhonebookEntry full = entry(u"Ann", u"ann@example.org");
    full.additional_number = handset::DiallingNumber::parse(u"0171").value();
    store(2, full);
    select_path("7F10 5F3A 4F25");
    EXPECT_EQ(send("00B2020401"), "029000");
    EXPECT_EQ(send("00B2010401"), "FF9000");
    select_path("7F10 5F3A 4F50");
    EXPECT_EQ(send("00B2020420"), hex({email_record(u"ann@example.org", 2), "9000"}));
    EXPECT_EQ(send("00B2010420"), hex({padding(32), "9000"}));
    select_path("7F10 5F3A 4F11");
    EXPECT_EQ(send("00B202040F"), hex({"FF03811017", padding(8), "FFFF9000"}));
    // The 2G view shows the same record.
    select_path("7F10 6F3A");
    EXPECT_EQ(send("A0B202041C"), hex({handset_side().export_adn()[1], "9000"}));
}

TEST_F(VirtualSimUsimTest, TwoEntriesShareEfEmailThroughTheirLinksWhateverOrderTheyAreWritten) {
    store(1, entry(u"Ann", u"ann@example.org"));
    select_path("7F10 5F3A 4F3A");
    ASSERT_EQ(send({"00DC07041C", adn_record(u"Bob")}), "9000");
    ASSERT_EQ(send({"00DC08041C", adn_record(u"Cy")}), "9000");
    // Bob's address first, then his link; Cy's link first, then the address.
    select_path("7F10 5F3A 4F50");
    ASSERT_EQ(send({"00DC030420", email_record(u"bob@example.org", 7)}), "9000");
    EXPECT_FALSE(handset_side().entry(7)->email);
    select_path("7F10 5F3A 4F25");
    ASSERT_EQ(send("00DC070401"
                   "03"),
              "9000");
    ASSERT_EQ(send("00DC080401"
                   "04"),
              "9000");
    EXPECT_FALSE(handset_side().entry(8)->email);
    select_path("7F10 5F3A 4F50");
    ASSERT_EQ(send({"00DC040420", email_record(u"cy@example.org", 8)}), "9000");

    EXPECT_EQ(handset_side().entry(1)->email, u"ann@example.org");
    EXPECT_EQ(handset_side().entry(7)->email, u"bob@example.org");
    EXPECT_EQ(handset_side().entry(8)->email, u"cy@example.org");
    EXPECT_EQ(send("00B2010420"), hex({email_record(u"ann@example.org", 1), "9000"}));
    EXPECT_EQ(send("00B2030420"), hex({email_record(u"bob@example.org", 7), "9000"}));
}

TEST_F(VirtualSimUsimTest, AnAddressAddedElsewhereTakesAFreeRecordAndGoesWithItsEntry) {
    store(1, entry(u"Ann"));
    select_path("7F10 5F3A 4F50");
    // A record written but never linked is kept as written, and taken by no one else.
    ASSERT_EQ(send({"00DC010420", email_record(u"orphan@example.org", 9)}), "9000");
    store(1, entry(u"Ann", u"ann@example.org"));
    EXPECT_EQ(send("00B2010420"), hex({email_record(u"orphan@example.org", 9), "9000"}));
    EXPECT_EQ(send("00B2020420"), hex({email_record(u"ann@example.org", 1), "9000"}));
    select_path("7F10 5F3A 4F25");
    EXPECT_EQ(send("00B2010401"), "029000");
    // Emptying the ADN record deletes the entry, and its address with it.
    select_path("7F10 5F3A 4F3A");
    ASSERT_EQ(send({"00DC01041C", padding(28)}), "9000");
    EXPECT_FALSE(handset_side().entry(1));
    select_path("7F10 5F3A 4F25");
    EXPECT_EQ(send("00B2010401"), "FF9000");
    select_path("7F10 5F3A 4F50");
    EXPECT_EQ(send("00B2020420"), hex({padding(32), "9000"}));
}

TEST_F(VirtualSimUsimTest, AnrWritesSetAndClearTheSecondNumber) {
    store(3, entry(u"Dan"));
    select_path("7F10 5F3A 4F11");
    ASSERT_EQ(send({"00DC03040FFF03811017", padding(8), "FFFF"}), "9000");
    EXPECT_EQ(handset_side().entry(3)->additional_number->text(), u"0171");
    ASSERT_EQ(send({"00DC03040F", padding(15)}), "9000");
    EXPECT_FALSE(handset_side().entry(3)->additional_number);
    // A length byte beyond the ten digit bytes.
    EXPECT_EQ(send({"00DC03040FFF0F8111111111111111111111FFFF"}), "6A80");
    EXPECT_EQ(send("00DC030401FF"), "6700");
}

TEST_F(VirtualSimUsimTest, SlotsBeyond254AreASecondSetWithItsOwnFiles) {
    make(usim_profile(300));
    store(255, entry(u"Eve", u"eve@example.org"));
    select_path("7F10 5F3A 4F30");
    EXPECT_EQ(send("00B2020400"), "A80DC0034F3B02C1024F26C4024F12"
                                  "A904CA024F51"
                                  "9000");
    select_path("7F10 5F3A 4F3B");
    EXPECT_EQ(send("00B201041C"), hex({handset_side().export_adn()[254], "9000"}));
    EXPECT_EQ(send("00B22F041C"), "6A83"); // 46 records only
    select_path("7F10 5F3A 4F51");
    EXPECT_EQ(
        send("00B2010420"),
        hex({handset::to_hex(handset::encode_alpha(u"eve@example.org", 30).value()), "02019000"}));
}

TEST_F(VirtualSimUsimTest, ThreeWrongPinsBlockPin1AndTheHandsetSeesAPuk) {
    set_lock(handset::PinLock::pin);
    EXPECT_EQ(send("00200001"), "63C3");
    select_path("7F10");
    EXPECT_THAT(send("00A40004027F10"), StartsWith("61"));
    EXPECT_THAT(send("00C0000000"), HasSubstr("C609900180950108830101"));
    select_path("7F10 5F3A 4F3A");
    EXPECT_EQ(send("00B201041C"), "6982");
    EXPECT_EQ(send({"0020000108", pin("0000")}), "63C2");
    EXPECT_EQ(send({"0020000108", pin("0000")}), "63C1");
    EXPECT_EQ(send({"0020000108", pin("0000")}), "6983");
    EXPECT_EQ(handset_side().state().lock, handset::PinLock::puk);
    EXPECT_EQ(send({"0020000108", pin("1234")}), "6983");
    EXPECT_EQ(send("00200001"), "6983");
    // Unblocked on the handset, PIN1 has its three tries again.
    set_lock(handset::PinLock::pin);
    EXPECT_EQ(send("00200001"), "63C3");
    EXPECT_EQ(send({"0020000108", pin("1234")}), "9000");
    EXPECT_EQ(send("00200001"), "9000");
    EXPECT_EQ(status_of(send("00B201041C")), "9000");
}

TEST_F(VirtualSimUsimTest, FollowsTheCardLeavingItsSlotAndItsPinBeingSwitchedOff) {
    EXPECT_EQ(send("00200001"), "9000");
    select_path("7F10");
    EXPECT_THAT(send("00F2000000"), HasSubstr("C609900100"));
    handset_side().update_state([](handset::CardState& state) { state.present = false; });
    EXPECT_FALSE(m_sim->follow_card());
    handset_side().update_state([](handset::CardState& state) { state.present = true; });
    EXPECT_TRUE(m_sim->follow_card());
}

TEST_F(VirtualSimUsimTest, AskingForTheWrongLengthIsToldTheRightOne) {
    select_path("7F10 5F3A 4F3A");
    EXPECT_EQ(send("00B2010410"), "6C1C");
    EXPECT_EQ(send("00C0000010"), "6985"); // nothing waits for GET RESPONSE
    EXPECT_EQ(send("00A40004024F3A"), "6117");
    EXPECT_EQ(send("00B2010400").size(), 2 * (28 + 2)); // the FCP no longer waits
    EXPECT_EQ(send({"00DC01040F", padding(15)}), "6700");
    EXPECT_EQ(send("00A4000C026F3A"), "6A82");
    EXPECT_EQ(send("00A4030C023F00"), "6B00");
}

TEST_F(VirtualSimUsimTest, TheIccidIsReadableByAnyoneAndWrittenByNoOne) {
    set_lock(handset::PinLock::pin);
    select_path("2FE2");
    EXPECT_EQ(send("00B000000A"), "989400000000000000F19000");
    EXPECT_EQ(send("00B0000804"), "6C02");
    EXPECT_EQ(send("00B0000802"), "00F19000");
    EXPECT_EQ(send("00D6000001"
                   "00"),
              "6982");
}
