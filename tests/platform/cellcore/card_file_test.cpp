#include "card_test_support.h"

#include "cellcore/hex_text.h"

#include <simmgr.h>

#include <gmock/gmock.h>

using handset::CardError;
using handset::CardFault;
using handset::CardFile;
using handset::CardProfile;
using handset::CardState;
using handset::DiallingNumber;
using handset::EntryFields;
using handset::PhonebookEntry;
using handset::PinLock;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

CardFault fault_of(const std::function<void()>& action) {
    try {
        action();
    } catch (const CardError& error) {
        return error.fault();
    }
    ADD_FAILURE() << "no CardError";
    return CardFault::missing;
}

std::vector<int> slots_of(CardFile& card) {
    std::vector<int> slots;
    for (const handset::StoredEntry& stored : card.entries()) {
        slots.push_back(stored.slot);
    }
    return slots;
}

CardProfile usim_profile() {
    CardProfile profile;
    profile.extended = {20, 40, 1, 1};
    return profile;
}

PhonebookEntry extended_entry() {
    PhonebookEntry full{u"Ann", DiallingNumber::parse(u"+4930").value(),
                        DiallingNumber::parse(u"0171").value(), u"ann@example.org"};
    return full;
}

} // namespace

class CardFileTest : public CardTest {};

TEST_F(CardFileTest, ANewCardHasTheDefaultProfileAndAUsableState) {
    create_card();
    CardFile card = CardFile::open(card_path());
    const CardProfile profile = card.profile();
    EXPECT_EQ(profile.slots, 250);
    EXPECT_EQ(profile.name_bytes, 14);
    EXPECT_EQ(profile.number_digits, 20);
    EXPECT_FALSE(profile.extended.holds_additional_number());
    EXPECT_FALSE(profile.extended.holds_email());
    EXPECT_EQ(card.state(), CardState{});
    EXPECT_EQ(card.used_slots(), 0);
}

TEST_F(CardFileTest, FirstFreeAllocationFillsTheLowestGap) {
    CardFile card = create_card();
    EXPECT_EQ(card.store(0, entry(u"A", u"1"), EntryFields::all), 1);
    EXPECT_EQ(card.store(0, entry(u"B", u"2"), EntryFields::all), 2);
    EXPECT_EQ(card.store(5, entry(u"E", u"5"), EntryFields::all), 5);
    EXPECT_EQ(card.store(0, entry(u"C", u"3"), EntryFields::all), 3);
    EXPECT_TRUE(card.erase(2));
    EXPECT_FALSE(card.erase(2));
    EXPECT_EQ(card.store(0, entry(u"B2", u"2"), EntryFields::all), 2);
    EXPECT_THAT(slots_of(card), ElementsAre(1, 2, 3, 5));
    EXPECT_EQ(card.entry(2)->name, u"B2");
}

TEST_F(CardFileTest, RecordsOutsideTheSlotsAreReportedAndNeitherCountedNorOverwritten) {
    CardFile card = create_card();
    ASSERT_EQ(card.store(0, entry(u"Ann", u"1"), EntryFields::all), 1);
    handset::SqliteDatabase(card_path(), handset::SqliteDatabase::Mode::existing)
        .execute("INSERT INTO adn (slot, record) SELECT 0, record FROM adn WHERE slot = 1;"
                 "INSERT INTO adn (slot, record) SELECT -3, record FROM adn WHERE slot = 1;"
                 "INSERT INTO adn (slot, record) SELECT 251, record FROM adn WHERE slot = 1");
    EXPECT_THAT(card.stray_slots(), ElementsAre(-3, 0, 251));
    EXPECT_EQ(card.used_slots(), 1);
    EXPECT_THAT(slots_of(card), ElementsAre(1));
    EXPECT_EQ(card.store(0, entry(u"Bob", u"2"), EntryFields::all), 2);
    EXPECT_EQ(card.entry(1)->name, u"Ann") << "the entry in slot 1 was written over";
    EXPECT_EQ(card.entry(2)->name, u"Bob");
    card.clear();
    EXPECT_TRUE(card.stray_slots().empty());
}

TEST_F(CardFileTest, AFullCardRefusesANewEntryButTakesAReplacement) {
    CardProfile small;
    small.slots = 3;
    CardFile card = create_card(small);
    for (int i = 0; i < 3; ++i) {
        card.store(0, entry(u"X", u"1"), EntryFields::all);
    }
    EXPECT_EQ(fault_of([&] { card.store(0, entry(u"Y", u"2"), EntryFields::all); }),
              CardFault::card_full);
    EXPECT_EQ(card.store(2, entry(u"Y", u"2"), EntryFields::all), 2);
    EXPECT_EQ(card.used_slots(), 3);
}

TEST_F(CardFileTest, RefusesSlotsOutsideTheCardAndEntriesItCannotHold) {
    CardFile card = create_card();
    EXPECT_EQ(fault_of([&] { card.store(251, entry(u"A", u"1"), EntryFields::all); }),
              CardFault::bad_slot);
    EXPECT_EQ(fault_of([&] { card.store(-2, entry(u"A", u"1"), EntryFields::all); }),
              CardFault::bad_slot);
    EXPECT_EQ(fault_of([&] { card.erase(0); }), CardFault::bad_slot);
    EXPECT_EQ(fault_of([&] { card.store(0, entry(u"Kundenbetreuung", u"1"), EntryFields::all); }),
              CardFault::name_too_long);
    EXPECT_EQ(fault_of([&] { card.store(0, PhonebookEntry{}, EntryFields::all); }),
              CardFault::empty_entry);
    EXPECT_EQ(fault_of([&] { card.store(0, extended_entry(), EntryFields::all); }),
              CardFault::field_not_held);
    EXPECT_EQ(card.used_slots(), 0);
}

TEST_F(CardFileTest, APlainWriteKeepsTheExtendedFieldsOfItsSlot) {
    CardFile card = create_card(usim_profile());
    ASSERT_EQ(card.store(0, extended_entry(), EntryFields::all), 1);
    card.store(1, entry(u"Anne", u"+4931"), EntryFields::name_and_number);
    PhonebookEntry kept = *card.entry(1);
    EXPECT_EQ(kept.name, u"Anne");
    EXPECT_EQ(kept.additional_number->text(), u"0171");
    EXPECT_EQ(kept.email, u"ann@example.org");

    card.store(1, entry(u"Anne", u"+4931"), EntryFields::all);
    EXPECT_FALSE(card.entry(1)->additional_number);
    EXPECT_FALSE(card.entry(1)->email);
}

TEST_F(CardFileTest, AProfileChangeReencodesRecordsAndRefusesWhatWouldNotFit) {
    CardFile card = create_card();
    card.store(3, entry(u"Kundenbetreu", u"+491721217212"), EntryFields::all);
    CardProfile wider;
    wider.name_bytes = 16;
    card.set_profile(wider);
    EXPECT_EQ(card.export_adn()[2].size(), 2u * (16 + 14));
    EXPECT_EQ(card.entry(3)->name, u"Kundenbetreu");

    CardProfile narrow;
    narrow.name_bytes = 10;
    EXPECT_EQ(fault_of([&] { card.set_profile(narrow); }), CardFault::bad_profile);
    CardProfile fewer;
    fewer.slots = 2;
    EXPECT_EQ(fault_of([&] { card.set_profile(fewer); }), CardFault::bad_profile);
    EXPECT_EQ(card.profile(), wider);

    CardProfile nonsense;
    nonsense.number_digits = 21;
    EXPECT_EQ(fault_of([&] { card.set_profile(nonsense); }), CardFault::bad_profile);
}

TEST_F(CardFileTest, ExportsEverySlotAndImportsThemBack) {
    CardProfile small;
    small.slots = 3;
    CardFile card = create_card(small);
    card.store(2, entry(u"Voice Mail", u"+18056377243"), EntryFields::all);
    const std::vector<std::string> lines = card.export_adn();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], std::string(56, 'F'));
    EXPECT_EQ(lines[1], "566F696365204D61696CFFFFFFFF07918150367742F3FFFFFFFFFFFF");

    card.clear();
    card.import_adn({"# exported earlier", lines[0], "", lines[1], lines[2]});
    EXPECT_EQ(card.export_adn(), lines);
}

TEST_F(CardFileTest, ImportReencodesForeignRecordsAndIsAllOrNothing) {
    CardProfile small;
    small.slots = 2;
    CardFile card = create_card(small);
    card.store(1, entry(u"Old", u"1"), EntryFields::all);

    // A record from a card with 10-byte names lands as a 14-byte one.
    card.import_adn({"566F696365204D61696C07918150367742F3FFFFFFFFFFFF"});
    EXPECT_EQ(card.entry(1)->name, u"Voice Mail");
    EXPECT_EQ(card.export_adn()[0].size(), 56u);

    try {
        card.import_adn({std::string(56, 'F'), "not hex"});
        FAIL() << "the import was taken";
    } catch (const CardError& error) {
        EXPECT_EQ(error.fault(), CardFault::bad_import);
        EXPECT_THAT(error.what(), HasSubstr("line 2"));
    }
    EXPECT_EQ(
        fault_of([&] {
            card.import_adn({std::string(56, 'F'), std::string(56, 'F'), std::string(56, 'F')});
        }),
        CardFault::bad_import);
    // Kundenbetreuung needs 15 bytes.
    EXPECT_EQ(fault_of([&] {
                  card.import_adn({"4B756E64656E626574726575756E67FF0791947112122721FFFFFFFFFFFF"});
              }),
              CardFault::bad_import);
    EXPECT_EQ(card.entry(1)->name, u"Voice Mail");
}

TEST_F(CardFileTest, LogsPhonebookChangesAndTheRadioGoingOff) {
    CardFile card = create_card();
    const int64_t start = card.latest_change();
    card.store(0, entry(u"A", u"1"), EntryFields::all);
    card.erase(1);
    card.update_state([](CardState& state) { state.lock = PinLock::pin; });
    card.update_state([](CardState& state) { state.radio_on = false; });
    card.update_state([](CardState& state) { state.present = false; });

    std::vector<std::pair<uint32_t, int>> seen;
    for (const handset::CardChange& change : card.changes_since(start)) {
        seen.emplace_back(change.code, change.slot);
    }
    EXPECT_THAT(seen, ElementsAre(std::pair<uint32_t, int>(SIM_NOTIFY_PBE_STORED, 1),
                                  std::pair<uint32_t, int>(SIM_NOTIFY_PBE_DELETED, 1),
                                  std::pair<uint32_t, int>(SIM_NOTIFY_RADIOOFF, 0)));
    const CardState state = card.state();
    EXPECT_EQ(state.lock, PinLock::pin);
    EXPECT_FALSE(state.radio_on);
    EXPECT_FALSE(state.present);
}

TEST_F(CardFileTest, RecreatingACardClearsItAndReportsTheDeletions) {
    CardFile card = create_card();
    card.store(4, entry(u"A", u"1"), EntryFields::all);
    card.append_call({1, u"1", u"A"});
    const int64_t start = card.latest_change();
    CardFile again = create_card();
    EXPECT_EQ(again.used_slots(), 0);
    EXPECT_TRUE(again.calls().empty());
    ASSERT_EQ(again.changes_since(start).size(), 1u);
    EXPECT_EQ(again.changes_since(start)[0].slot, 4);
}

TEST_F(CardFileTest, TellsAMissingFileFromADamagedOne) {
    EXPECT_EQ(fault_of([&] { CardFile::open(card_path()); }), CardFault::missing);
    m_folder.write("sim.db", std::string(4096, 'x'));
    EXPECT_EQ(fault_of([&] { CardFile::open(card_path()); }), CardFault::damaged);
    // Creating a card over the damage replaces it.
    create_card().store(0, entry(u"A", u"1"), EntryFields::all);
    EXPECT_EQ(CardFile::open(card_path()).used_slots(), 1);
}

TEST_F(CardFileTest, AnotherDatabaseInPlaceOfTheCardIsNotACard) {
    {
        handset::SqliteDatabase other(card_path(), handset::SqliteDatabase::Mode::create);
        other.execute("CREATE TABLE contacts (name TEXT); PRAGMA application_id = 7;");
    }
    EXPECT_EQ(fault_of([&] { CardFile::open(card_path()); }), CardFault::damaged);
    EXPECT_EQ(create_card().used_slots(), 0);
}

TEST_F(CardFileTest, KeepsARecordsBytesAsTheyWereWrittenAndRefusesWhatIsNoRecordOfThisCard) {
    create_card(usim_profile());
    CardFile card = CardFile::open(card_path());
    // A name after 0x81 (UCS2 on a half page), which the card's own encoder never writes, and a
    // number block whose unused digits are not all padding.
    const handset::EncodedEntry written{handset::from_hex("8102A8414243FFFFFFFFFFFFFFFF"
                                                          "03813330FFFFFFFFFFFFFFFFFFFF")
                                            .value(),
                                        handset::from_hex("03811071FFFFFFFFFFFFFFFF").value(),
                                        {}};
    const int64_t before = card.latest_change();
    card.store_record(4, written);
    EXPECT_EQ(card.stored_record(4)->record, written.record);
    EXPECT_EQ(card.stored_records().at(4).additional_number, written.additional_number);
    EXPECT_EQ(card.latest_change(), before + 1);
    EXPECT_FALSE(card.stored_record(5));

    auto refused = [&](handset::EncodedEntry bytes) {
        return fault_of([&] { card.store_record(5, bytes); });
    };
    EXPECT_EQ(refused({written.record.substr(1), {}, {}}), CardFault::bad_record);
    EXPECT_EQ(refused({written.record, {}, handset::Bytes(3, 0x41)}), CardFault::bad_record);
    EXPECT_EQ(refused({handset::Bytes(28, 0xFF), {}, {}}), CardFault::empty_entry);
    EXPECT_EQ(fault_of([&] { card.store_record(251, written); }), CardFault::bad_slot);
    EXPECT_FALSE(card.stored_record(5));
}
