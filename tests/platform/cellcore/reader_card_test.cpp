// The reader driver against a card in process: the phonebook in the files a 2G SIM and a USIM
// keep it in, the PIN and its tries, and a card that goes away while it is read.
#include "fake_sim_card.h"

#include "cellcore/adn_record.h"
#include "cellcore/pcsc_transport.h"
#include "cellcore/reader_card.h"

#include <simmgr.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using handset::Bytes;
using handset::CardProfile;
using handset::DiallingNumber;
using handset::EntryFields;
using handset::PhonebookEntry;
using handset::PinAttempt;

constexpr uint16_t df_telecom = 0x7F10;
constexpr uint16_t df_phonebook = 0x5F3A;
const handset::FilePath gsm_adn{df_telecom, 0x6F3A};
const handset::FilePath gsm_ext1{df_telecom, 0x6F4A};
const handset::FilePath usim_adn{df_telecom, df_phonebook, 0x4F3A};
const handset::FilePath usim_iap{df_telecom, df_phonebook, 0x4F25};
const handset::FilePath usim_anr{df_telecom, df_phonebook, 0x4F11};
const handset::FilePath usim_email{df_telecom, df_phonebook, 0x4F50};

DiallingNumber number(std::u16string_view text) {
    return *DiallingNumber::parse(text);
}

PhonebookEntry entry(std::u16string name, std::u16string_view digits) {
    return {std::move(name), number(digits), {}, {}};
}

PhonebookEntry extended(std::u16string name, std::u16string_view digits, std::u16string_view second,
                        std::u16string email) {
    return {std::move(name), number(digits), number(second), std::move(email)};
}

bool unused(const Bytes& record) {
    return record == Bytes(record.size(), 0xFF);
}

struct ReaderTest : ::testing::Test {
    void insert(FakeSimCard::Kind kind, int slots, int name_bytes, int sets = 1,
                int email_records = 3) {
        auto card = std::make_unique<FakeSimCard>(kind, slots, name_bytes, sets, email_records);
        fake = card.get();
        fake->pin_enabled = false;
        reader.emplace(std::move(card));
    }
    void seed(const handset::FilePath& file, int record, const PhonebookEntry& stored) {
        const int name_bytes = fake->file(file).record_length - 14;
        fake->file(file).records[static_cast<size_t>(record - 1)] =
            *handset::encode_adn({stored.name, stored.number}, static_cast<size_t>(name_bytes),
                                 DiallingNumber::max_digits);
    }
    PhonebookEntry read(DWORD index, HRESULT expected = S_OK) {
        PhonebookEntry read;
        EXPECT_EQ(reader->read_entry(index, read), expected) << index;
        return read;
    }
    CardProfile profile() {
        CardProfile profile;
        EXPECT_EQ(reader->capabilities(profile), S_OK);
        return profile;
    }
    HRESULT verify(const char16_t* pin, int& tries,
                   PinAttempt attempt = PinAttempt::spare_last_try) {
        return reader->verify_pin(pin, attempt, tries);
    }

    FakeSimCard* fake = nullptr;
    std::optional<handset::ReaderCard> reader;
};

TEST_F(ReaderTest, TheProfileOfA2gSimComesFromItsPhonebookFile) {
    insert(FakeSimCard::Kind::gsm, 100, 18);
    const CardProfile sizes = profile();
    EXPECT_EQ(sizes.slots, 100);
    EXPECT_EQ(sizes.name_bytes, 18);
    EXPECT_EQ(sizes.number_digits, 20);
    EXPECT_FALSE(sizes.extended.holds_additional_number());
    EXPECT_FALSE(sizes.extended.holds_email());
}

TEST_F(ReaderTest, A2gSimStoresReadsAndDeletesEntries) {
    insert(FakeSimCard::Kind::gsm, 10, 14);
    seed(gsm_adn, 2, entry(u"Anna Berger", u"+49170123"));
    EXPECT_EQ(read(2), entry(u"Anna Berger", u"+49170123"));
    read(1, SIM_E_NOTFOUND);
    read(11, SIM_E_INVALIDINDEX);

    ASSERT_EQ(reader->write_entry(SIM_PBINDEX_FIRSTAVAILABLE, entry(u"Zoë", u"112"),
                                  EntryFields::name_and_number),
              S_OK);
    EXPECT_EQ(read(1), entry(u"Zoë", u"112")) << "the first free slot";
    EXPECT_EQ(reader->write_entry(3, entry(u"A name far too long for it", u"1"),
                                  EntryFields::name_and_number),
              SIM_E_BADPARAM);
    EXPECT_TRUE(unused(fake->file(gsm_adn).records[2])) << "nothing half-written";

    ASSERT_EQ(reader->delete_entry(2), S_OK);
    read(2, SIM_E_NOTFOUND);
    DWORD used = 0;
    DWORD total = 0;
    ASSERT_EQ(reader->phonebook_status(used, total), S_OK);
    EXPECT_EQ(used, 1u);
    EXPECT_EQ(total, 10u);
}

TEST_F(ReaderTest, ANumberOverTwentyDigitsGoesOnInItsExtensionRecord) {
    insert(FakeSimCard::Kind::gsm, 10, 14);
    seed(gsm_adn, 1, entry(u"Long", u"12345678901234567890"));
    fake->file(gsm_adn).records[0].back() = 2;
    fake->file(gsm_ext1).records[1] =
        Bytes{0x02, 0x02, 0x21, 0xF3, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(read(1).number.digits(), u"12345678901234567890123");
}

TEST_F(ReaderTest, TheProfileOfAUsimComesFromItsPhonebookReference) {
    insert(FakeSimCard::Kind::usim, 254, 16, 2);
    const CardProfile sizes = profile();
    EXPECT_EQ(sizes.slots, 508) << "two sets of 254";
    EXPECT_EQ(sizes.name_bytes, 16);
    EXPECT_EQ(sizes.extended.additional_number_digits, 20);
    EXPECT_EQ(sizes.extended.additional_number_count, 1);
    EXPECT_EQ(sizes.extended.email_bytes, FakeSimCard::email_text_bytes);
    EXPECT_EQ(sizes.extended.email_count, 1);
}

TEST_F(ReaderTest, TheSecondSetOfAUsimFollowsTheFirstInTheSlotNumbers) {
    insert(FakeSimCard::Kind::usim, 254, 14, 2);
    seed({df_telecom, df_phonebook, 0x4F3B}, 1, entry(u"Second", u"2"));
    EXPECT_EQ(read(255).name, u"Second");
    ASSERT_EQ(reader->write_entry(508, entry(u"Last", u"9"), EntryFields::name_and_number), S_OK);
    EXPECT_FALSE(unused(fake->file({df_telecom, df_phonebook, 0x4F3B}).records[253]));
    read(509, SIM_E_INVALIDINDEX);
}

TEST_F(ReaderTest, AnExtendedEntryKeepsItsSecondNumberInAnrAndItsAddressThroughIap) {
    insert(FakeSimCard::Kind::usim, 10, 14);
    const PhonebookEntry full = extended(u"Anna", u"0170123", u"+4930999", u"anna@example.org");
    ASSERT_EQ(reader->write_entry(4, full, EntryFields::all), S_OK);
    EXPECT_EQ(read(4), full);
    const Bytes anr = fake->file(usim_anr).records[3];
    EXPECT_EQ(anr[0], 0xFF) << "no alpha tag";
    EXPECT_EQ(anr[2], DiallingNumber::international_type);
    const uint8_t email_record = fake->file(usim_iap).records[3][0];
    ASSERT_NE(email_record, 0xFF);
    const Bytes email = fake->file(usim_email).records[email_record - 1];
    EXPECT_EQ(email[FakeSimCard::email_text_bytes], 1) << "the ADN's short file id";
    EXPECT_EQ(email[FakeSimCard::email_text_bytes + 1], 4) << "the ADN's record";
}

TEST_F(ReaderTest, EntriesShareTheEmailFileAndADeleteFreesOnlyItsOwnRecord) {
    insert(FakeSimCard::Kind::usim, 10, 14, 1, 2);
    ASSERT_EQ(reader->write_entry(1, extended(u"A", u"1", u"", u"a@x.org"), EntryFields::all),
              S_OK);
    ASSERT_EQ(reader->write_entry(7, extended(u"B", u"2", u"", u"b@x.org"), EntryFields::all),
              S_OK);
    const uint8_t first = fake->file(usim_iap).records[0][0];
    const uint8_t second = fake->file(usim_iap).records[6][0];
    EXPECT_NE(first, second);
    EXPECT_EQ(reader->write_entry(3, extended(u"C", u"3", u"", u"c@x.org"), EntryFields::all),
              SIM_E_MEMORYFULL)
        << "both EMAIL records taken";

    ASSERT_EQ(reader->delete_entry(1), S_OK);
    EXPECT_TRUE(unused(fake->file(usim_email).records[first - 1]));
    EXPECT_EQ(fake->file(usim_iap).records[0][0], 0xFF);
    EXPECT_EQ(read(7).email, u"b@x.org");
    ASSERT_EQ(reader->write_entry(3, extended(u"C", u"3", u"", u"c@x.org"), EntryFields::all), S_OK)
        << "the freed record is taken again";
    EXPECT_EQ(fake->file(usim_iap).records[2][0], first);
}

TEST_F(ReaderTest, SecondNumbersLinkedThroughIapShareTheirFileAndADeleteFreesOnlyItsOwn) {
    insert(FakeSimCard::Kind::usim, 10, 14);
    fake->link_second_numbers_through_iap(2);
    EXPECT_EQ(profile().extended.additional_number_digits, DiallingNumber::max_digits);
    const PhonebookEntry anna = extended(u"Anna", u"1", u"0301", u"anna@x.org");
    const PhonebookEntry ben{u"Ben", number(u"2"), number(u"0302"), std::nullopt};
    ASSERT_EQ(reader->write_entry(1, anna, EntryFields::all), S_OK);
    ASSERT_EQ(reader->write_entry(5, ben, EntryFields::all), S_OK);
    EXPECT_EQ(read(1), anna);
    EXPECT_EQ(read(5), ben);
    const uint8_t anna_number = fake->file(usim_iap).records[0][0];
    const uint8_t ben_number = fake->file(usim_iap).records[4][0];
    ASSERT_NE(anna_number, 0xFF);
    ASSERT_NE(ben_number, 0xFF);
    EXPECT_NE(anna_number, ben_number);
    EXPECT_EQ(fake->file(usim_iap).records[4][1], 0xFF) << "Ben has no address";
    const Bytes stored = fake->file(usim_anr).records[ben_number - 1];
    EXPECT_EQ(stored[15], 1) << "the ADN's short file id";
    EXPECT_EQ(stored[16], 5) << "the ADN's record";
    EXPECT_EQ(reader->write_entry(3, {u"C", number(u"3"), number(u"0303"), std::nullopt},
                                  EntryFields::all),
              SIM_E_MEMORYFULL)
        << "both EF_ANR records taken";

    ASSERT_EQ(reader->delete_entry(1), S_OK);
    EXPECT_TRUE(unused(fake->file(usim_anr).records[anna_number - 1]));
    EXPECT_EQ(fake->file(usim_iap).records[0], Bytes(2, 0xFF));
    EXPECT_EQ(read(5).additional_number, number(u"0302"));
}

TEST_F(ReaderTest, APlainWriteKeepsTheSecondNumberAndAddressAndClearingFreesTheAddress) {
    insert(FakeSimCard::Kind::usim, 10, 14);
    ASSERT_EQ(reader->write_entry(2, extended(u"A", u"1", u"22", u"a@x.org"), EntryFields::all),
              S_OK);
    ASSERT_EQ(reader->write_entry(2, entry(u"Renamed", u"1"), EntryFields::name_and_number), S_OK);
    EXPECT_EQ(read(2), extended(u"Renamed", u"1", u"22", u"a@x.org"));
    ASSERT_EQ(reader->write_entry(2, entry(u"Renamed", u"1"), EntryFields::all), S_OK);
    EXPECT_EQ(read(2), entry(u"Renamed", u"1"));
    EXPECT_EQ(fake->file(usim_iap).records[1][0], 0xFF);
    EXPECT_TRUE(unused(fake->file(usim_anr).records[1]));
}

TEST_F(ReaderTest, A2gSimAsksForItsPinAndCountsTheTriesInItsDirectory) {
    insert(FakeSimCard::Kind::gsm, 10, 14);
    fake->pin_enabled = true;
    DWORD state = 0;
    ASSERT_EQ(reader->lock_state(state), S_OK);
    EXPECT_EQ(state, SIM_LOCKEDSTATE_SIM_PIN);
    read(1, SIM_E_SIMPINREQUIRED);
    int tries = 0;
    EXPECT_EQ(verify(u"1234", tries), SIM_E_INCORRECTPASSWORD);
    EXPECT_EQ(tries, 2);
    EXPECT_EQ(verify(u"0000", tries), S_OK);
    ASSERT_EQ(reader->lock_state(state), S_OK);
    EXPECT_EQ(state, SIM_LOCKEDSTATE_READY);
    read(1, SIM_E_NOTFOUND);
}

TEST_F(ReaderTest, TheLastTryIsSparedUnlessTheCallerAllowsItAndThenTheCardBlocks) {
    insert(FakeSimCard::Kind::usim, 10, 14);
    fake->pin_enabled = true;
    int tries = 0;
    EXPECT_EQ(verify(u"1111", tries), SIM_E_INCORRECTPASSWORD);
    EXPECT_EQ(verify(u"2222", tries), SIM_E_INCORRECTPASSWORD);
    EXPECT_EQ(tries, 1);
    EXPECT_EQ(verify(u"3333", tries), SIM_E_SECURITYFAILURE);
    EXPECT_EQ(verify(u"0000", tries), SIM_E_SECURITYFAILURE);
    EXPECT_EQ(fake->pin_commands_sent(), 2) << "the last try never went out";
    EXPECT_EQ(verify(u"12", tries), SIM_E_BADPARAM);

    EXPECT_EQ(verify(u"3333", tries, PinAttempt::last_try_allowed), SIM_E_SIMPUKREQUIRED);
    EXPECT_EQ(tries, 0);
    DWORD state = 0;
    ASSERT_EQ(reader->lock_state(state), S_OK);
    EXPECT_EQ(state, SIM_LOCKEDSTATE_SIM_PUK);
    EXPECT_EQ(verify(u"0000", tries, PinAttempt::last_try_allowed), SIM_E_SIMPUKREQUIRED);
    EXPECT_EQ(fake->pin_commands_sent(), 3) << "a blocked card is not tried";
}

TEST_F(ReaderTest, TheLockingStatusFollowsTheDirectorysPinTemplate) {
    insert(FakeSimCard::Kind::usim, 10, 14);
    bool enabled = true;
    ASSERT_EQ(reader->locking_status(SIM_LOCKFACILITY_SIM, enabled), S_OK);
    EXPECT_FALSE(enabled);
    fake->pin_enabled = true;
    ASSERT_EQ(reader->locking_status(SIM_LOCKFACILITY_SIM, enabled), S_OK);
    EXPECT_TRUE(enabled);
    EXPECT_EQ(reader->locking_status(SIM_LOCKFACILITY_SIM_FIXEDIALING, enabled), SIM_E_UNSUPPORTED);
}

TEST_F(ReaderTest, ACardRemovedInTheMiddleOfAFillFailsAtOnceAndItsEntriesAreReportedGone) {
    insert(FakeSimCard::Kind::usim, 10, 14);
    for (int slot : {1, 2, 3, 4}) {
        seed(usim_adn, slot, entry(u"Entry", u"1"));
    }
    const std::unique_ptr<handset::ChangeFeed> feed = reader->open_change_feed();
    read(1);
    read(2);
    fake->answers_left = 1;
    std::vector<HRESULT> results;
    for (DWORD slot = 3; slot <= 10; ++slot) {
        PhonebookEntry read;
        results.push_back(reader->read_entry(slot, read));
    }
    EXPECT_EQ(results.back(), SIM_E_SIMNOTINSERTED);
    const std::vector<handset::CardChange> gone = feed->poll();
    ASSERT_EQ(gone.size(), 2u) << "the two entries read before";
    EXPECT_EQ(gone[0].code, static_cast<uint32_t>(SIM_NOTIFY_PBE_DELETED));

    fake->present = true;
    fake->answers_left = -1;
    const std::vector<handset::CardChange> back = feed->poll();
    ASSERT_EQ(back.size(), 4u) << "every entry of the card put back";
    EXPECT_EQ(back[0].code, static_cast<uint32_t>(SIM_NOTIFY_PBE_STORED));
    EXPECT_EQ(back[3].slot, 4);
}

TEST_F(ReaderTest, ACardResetUnderTheDriverIsConnectedAgainAndTheCallSucceeds) {
    insert(FakeSimCard::Kind::gsm, 10, 14);
    seed(gsm_adn, 1, entry(u"Anna", u"1"));
    read(1);
    fake->silent_once = true;
    EXPECT_EQ(read(1).name, u"Anna");
    EXPECT_EQ(fake->sessions, 2);
}

TEST_F(ReaderTest, AFeedPolledFromAnotherThreadWaitsItsTurnForTheCard) {
    insert(FakeSimCard::Kind::usim, 20, 14);
    seed(usim_adn, 5, entry(u"Anna", u"1"));
    const std::unique_ptr<handset::ChangeFeed> feed = reader->open_change_feed();
    std::atomic<bool> done = false;
    size_t reported = 0;
    std::thread poller([&] {
        while (!done) {
            reported += feed->poll().size();
        }
    });
    for (int round = 0; round < 20; ++round) {
        EXPECT_EQ(read(5).name, u"Anna");
    }
    done = true;
    poller.join();
    EXPECT_EQ(reported, 0u) << "the card never left";
}

TEST(ReaderNameTest, AReaderIsFoundByItsNameItsStartOrAPartIgnoringCase) {
    const std::vector<std::string> names{"ACS ACR38U 00 00", "Virtual PCD 00 00",
                                         "Virtual PCD 00 01"};
    EXPECT_EQ(handset::match_reader(names, "Virtual PCD 00 01"), "Virtual PCD 00 01");
    EXPECT_EQ(handset::match_reader(names, "virtual pcd"), "Virtual PCD 00 00");
    EXPECT_EQ(handset::match_reader(names, "ACR38"), "ACS ACR38U 00 00");
    EXPECT_EQ(handset::match_reader(names, "Gemalto"), "");
}

} // namespace
