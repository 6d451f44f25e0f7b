#include "card_test_support.h"

#include "base/debug_output.h"

#include <simmgr.h>
#include <tapi.h>

#include <gmock/gmock.h>

#include <cstring>
#include <vector>

using handset::CardProfile;
using handset::CardState;
using handset::EntryFields;
using handset::PinLock;
using ::testing::Contains;
using ::testing::HasSubstr;

namespace {

SIMPHONEBOOKENTRY new_entry(std::u16string_view name, std::u16string_view number,
                            DWORD address_type = SIM_ADDRTYPE_UNKNOWN) {
    SIMPHONEBOOKENTRY entry{};
    entry.cbSize = sizeof entry;
    entry.dwParams = SIM_PARAM_PBE_ALL;
    std::copy(number.begin(), number.end(), entry.lpszAddress);
    entry.dwAddressType = address_type;
    entry.dwNumPlan = SIM_NUMPLAN_TELEPHONE;
    std::copy(name.begin(), name.end(), entry.lpszText);
    return entry;
}

HRESULT write(HSIM sim, DWORD index, std::u16string_view name, std::u16string_view number) {
    SIMPHONEBOOKENTRY entry = new_entry(name, number);
    return SimWritePhonebookEntry(sim, SIM_PBSTORAGE_SIM, index, &entry);
}

HRESULT read(HSIM sim, DWORD index, SIMPHONEBOOKENTRY& entry) {
    return SimReadPhonebookEntry(sim, SIM_PBSTORAGE_SIM, index, &entry);
}

DWORD used_slots(HSIM sim) {
    DWORD used = 0;
    DWORD total = 0;
    EXPECT_EQ(SimGetPhonebookStatus(sim, SIM_PBSTORAGE_SIM, &used, &total), S_OK);
    return used;
}

// The results of one call of each kind, for the state table.
struct CallResults {
    HRESULT lock_state;
    HRESULT caps;
    HRESULT locking;
    HRESULT status;
    HRESULT read;
    HRESULT write;
    HRESULT remove;
    HRESULT extended_caps;
};

CallResults call_everything(HSIM sim) {
    CallResults results{};
    DWORD state = 0;
    results.lock_state = SimGetPhoneLockedState(sim, &state);
    SIMCAPS caps{};
    results.caps = SimGetDevCaps(sim, SIM_CAPSTYPE_ALL, &caps);
    BOOL enabled = FALSE;
    results.locking = SimGetLockingStatus(sim, SIM_LOCKFACILITY_SIM_FIXEDIALING, nullptr, &enabled);
    DWORD used = 0;
    DWORD total = 0;
    results.status = SimGetPhonebookStatus(sim, SIM_PBSTORAGE_SIM, &used, &total);
    SIMPHONEBOOKENTRY entry{};
    results.read = read(sim, 1, entry);
    results.write = write(sim, 2, u"B", u"2");
    results.remove = SimDeletePhonebookEntry(sim, SIM_PBSTORAGE_SIM, 1);
    SIMPHONEBOOKCAPS extended{};
    results.extended_caps = SimGetPhonebookCapabilities(sim, &extended);
    return results;
}

} // namespace

class SimManagerTest : public CardTest {
  protected:
    void SetUp() override {
        CardTest::SetUp();
        m_card.emplace(create_card());
    }
    handset::CardFile& card() { return *m_card; }
    void set_state(const std::function<void(CardState&)>& change) { card().update_state(change); }

    std::optional<handset::CardFile> m_card;
};

TEST_F(SimManagerTest, EachCardStateRefusesWhatARealCardWould) {
    struct Row {
        const char* state;
        std::function<void(CardState&)> change;
        DWORD lock_state;
        HRESULT card_calls;
        HRESULT phonebook_calls;
    };
    const std::vector<Row> rows = {
        {"ready", [](CardState&) {}, SIM_LOCKEDSTATE_READY, S_OK, S_OK},
        {"fixed dialling", [](CardState& s) { s.fixed_dialling = true; }, SIM_LOCKEDSTATE_READY,
         S_OK, S_OK},
        {"phonebook not ready", [](CardState& s) { s.phonebook_ready = false; },
         SIM_LOCKEDSTATE_READY, S_OK, SIM_E_NOTREADY},
        {"PIN", [](CardState& s) { s.lock = PinLock::pin; }, SIM_LOCKEDSTATE_SIM_PIN,
         SIM_E_SIMPINREQUIRED, SIM_E_SIMPINREQUIRED},
        {"PUK", [](CardState& s) { s.lock = PinLock::puk; }, SIM_LOCKEDSTATE_SIM_PUK,
         SIM_E_SIMPUKREQUIRED, SIM_E_SIMPUKREQUIRED},
        {"invalid", [](CardState& s) { s.invalid = true; }, 0, SIM_E_SIMWRONG, SIM_E_SIMWRONG},
        {"no card", [](CardState& s) { s.present = false; }, 0, SIM_E_SIMNOTINSERTED,
         SIM_E_SIMNOTINSERTED},
        {"radio off, no card",
         [](CardState& s) {
             s.present = false;
             s.radio_on = false;
         },
         0, SIM_E_RADIOOFF, SIM_E_RADIOOFF},
    };
    SimHandle sim;
    ASSERT_EQ(sim.opened(), S_OK);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.state);
        set_state([&](CardState& state) {
            state = CardState{};
            row.change(state);
        });
        card().store(1, entry(u"A", u"1"), EntryFields::all);

        const CallResults results = call_everything(sim);
        const HRESULT lock_result = row.lock_state != 0 ? S_OK : row.card_calls;
        EXPECT_EQ(results.lock_state, lock_result);
        EXPECT_EQ(results.caps, row.card_calls);
        EXPECT_EQ(results.locking, row.card_calls);
        EXPECT_EQ(results.extended_caps, row.card_calls);
        EXPECT_EQ(results.status, row.phonebook_calls);
        EXPECT_EQ(results.read, row.phonebook_calls);
        EXPECT_EQ(results.write, row.phonebook_calls);
        EXPECT_EQ(results.remove, row.phonebook_calls);
        DWORD state = 0xDEAD;
        SimGetPhoneLockedState(sim, &state);
        EXPECT_EQ(state, row.lock_state != 0 ? row.lock_state : 0xDEAD)
            << "a failed call leaves the caller's value alone";
    }
}

TEST_F(SimManagerTest, ReadsBackWhatItWroteWithThePlusInTheAddressType) {
    SimHandle sim;
    SIMPHONEBOOKENTRY international =
        new_entry(u"Voice Mail", u"18056377243", SIM_ADDRTYPE_INTERNATIONAL);
    ASSERT_EQ(SimWritePhonebookEntry(sim, SIM_PBSTORAGE_SIM, 7, &international), S_OK);
    ASSERT_EQ(write(sim, 8, u"Home", u"+4930123"), S_OK);
    ASSERT_EQ(write(sim, 9, u"Hotline", u"*100#p1"), S_OK);

    SIMPHONEBOOKENTRY entry;
    std::memset(&entry, 0xCC, sizeof entry);
    ASSERT_EQ(read(sim, 7, entry), S_OK);
    EXPECT_EQ(entry.cbSize, sizeof(SIMPHONEBOOKENTRY));
    EXPECT_EQ(entry.dwParams, static_cast<DWORD>(SIM_PARAM_PBE_ALL));
    EXPECT_EQ(std::u16string(entry.lpszAddress), u"18056377243");
    EXPECT_EQ(entry.dwAddressType, static_cast<DWORD>(SIM_ADDRTYPE_INTERNATIONAL));
    EXPECT_EQ(entry.dwNumPlan, static_cast<DWORD>(SIM_NUMPLAN_TELEPHONE));
    EXPECT_EQ(std::u16string(entry.lpszText), u"Voice Mail");

    ASSERT_EQ(read(sim, 8, entry), S_OK);
    EXPECT_EQ(std::u16string(entry.lpszAddress), u"4930123");
    EXPECT_EQ(entry.dwAddressType, static_cast<DWORD>(SIM_ADDRTYPE_INTERNATIONAL));
    ASSERT_EQ(read(sim, 9, entry), S_OK);
    EXPECT_EQ(std::u16string(entry.lpszAddress), u"*100#p1");
    EXPECT_EQ(entry.dwAddressType, static_cast<DWORD>(SIM_ADDRTYPE_UNKNOWN));
    EXPECT_EQ(card().export_adn()[6], "566F696365204D61696CFFFFFFFF07918150367742F3FFFFFFFFFFFF");
}

TEST_F(SimManagerTest, RefusesIndicesOutsideTheCardAndReportsEmptySlots) {
    SimHandle sim;
    SIMPHONEBOOKENTRY entry{};
    for (DWORD index : {DWORD(0), DWORD(-2), DWORD(251), DWORD(SIM_PBINDEX_FIRSTAVAILABLE)}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(read(sim, index, entry), SIM_E_INVALIDINDEX);
        EXPECT_EQ(SimDeletePhonebookEntry(sim, SIM_PBSTORAGE_SIM, index), SIM_E_INVALIDINDEX);
        if (index != SIM_PBINDEX_FIRSTAVAILABLE) {
            EXPECT_EQ(write(sim, index, u"A", u"1"), SIM_E_INVALIDINDEX);
        }
    }
    EXPECT_EQ(read(sim, 250, entry), SIM_E_NOTFOUND);
    EXPECT_EQ(SimDeletePhonebookEntry(sim, SIM_PBSTORAGE_SIM, 250), S_OK);
    EXPECT_EQ(used_slots(sim), 0u);
}

TEST_F(SimManagerTest, FillsTheFirstFreeSlotsUntilTheCardIsFull) {
    CardProfile small;
    small.slots = 3;
    card().set_profile(small);
    SimHandle sim;
    ASSERT_EQ(write(sim, 2, u"Two", u"2"), S_OK);
    ASSERT_EQ(write(sim, SIM_PBINDEX_FIRSTAVAILABLE, u"One", u"1"), S_OK);
    ASSERT_EQ(write(sim, SIM_PBINDEX_FIRSTAVAILABLE, u"Three", u"3"), S_OK);
    EXPECT_EQ(write(sim, SIM_PBINDEX_FIRSTAVAILABLE, u"Four", u"4"), SIM_E_MEMORYFULL);
    DWORD used = 0;
    DWORD total = 0;
    ASSERT_EQ(SimGetPhonebookStatus(sim, SIM_PBSTORAGE_SIM, &used, &total), S_OK);
    EXPECT_EQ(used, 3u);
    EXPECT_EQ(total, 3u);
    EXPECT_EQ(card().entry(1)->name, u"One");
    EXPECT_EQ(card().entry(3)->name, u"Three");
}

TEST_F(SimManagerTest, TheFirstFreeSlotIsFoundPastARecordThatADamagedFileHoldsInSlotZero) {
    SimHandle sim;
    ASSERT_EQ(write(sim, 1, u"One", u"1"), S_OK);
    handset::SqliteDatabase(card_path(), handset::SqliteDatabase::Mode::existing)
        .execute("INSERT INTO adn (slot, record) SELECT 0, record FROM adn WHERE slot = 1");
    ASSERT_EQ(write(sim, SIM_PBINDEX_FIRSTAVAILABLE, u"Two", u"2"), S_OK);
    EXPECT_EQ(card().entry(1)->name, u"One");
    EXPECT_EQ(card().entry(2)->name, u"Two");
    DWORD used = 0;
    DWORD total = 0;
    ASSERT_EQ(SimGetPhonebookStatus(sim, SIM_PBSTORAGE_SIM, &used, &total), S_OK);
    EXPECT_EQ(used, 2u) << "the record outside the slots is no slot's entry";
}

TEST_F(SimManagerTest, RefusesNamesAndNumbersTheCardCannotHoldAndWritesNothing) {
    SimHandle sim;
    const std::u16string fourteen(14, u'n');
    const std::u16string twenty(20, u'2');
    EXPECT_EQ(write(sim, 1, fourteen, twenty), S_OK);
    EXPECT_EQ(write(sim, 2, fourteen + u"n", u"1"), SIM_E_BADPARAM);
    EXPECT_EQ(write(sim, 2, u"A", twenty + u"2"), SIM_E_BADPARAM);
    EXPECT_EQ(write(sim, 2, u"A", u"+" + twenty), S_OK);
    EXPECT_EQ(write(sim, 3, u"A", u"+" + twenty + u"2"), SIM_E_BADPARAM);
    EXPECT_EQ(write(sim, 3, u"A", u"030 1234"), SIM_E_BADPARAM);
    EXPECT_EQ(write(sim, 3, u"A", u"0800-CALL"), SIM_E_BADPARAM);
    EXPECT_EQ(write(sim, 3, u"", u""), SIM_E_BADPARAM);
    // UCS2: six characters take 13 of the 14 bytes, seven would take 15.
    EXPECT_EQ(write(sim, 3, u"\u0416\u0416\u0416\u0416\u0416\u0416", u"1"), S_OK);
    EXPECT_EQ(write(sim, 4, u"\u0416\u0416\u0416\u0416\u0416\u0416\u0416", u"1"), SIM_E_BADPARAM);
    // A surrogate pair is two code units; an unpaired one is kept as it is.
    EXPECT_EQ(write(sim, 4, u"\U0001F600\U0001F600\U0001F600", u"1"), S_OK);
    EXPECT_EQ(write(sim, 5, u"\U0001F600\U0001F600\U0001F600\U0001F600", u"1"), SIM_E_BADPARAM);
    EXPECT_EQ(write(sim, 5, u"x\xDC00", u"1"), S_OK);
    EXPECT_EQ(used_slots(sim), 5u);
    SIMPHONEBOOKENTRY entry{};
    ASSERT_EQ(read(sim, 5, entry), S_OK);
    EXPECT_EQ(std::u16string(entry.lpszText), u"x\xDC00");
}

TEST_F(SimManagerTest, ReadsUnterminatedFieldsOnlyUpToTheirEnd) {
    SimHandle sim;
    SIMPHONEBOOKENTRY entry = new_entry(u"", u"");
    std::fill(std::begin(entry.lpszText), std::end(entry.lpszText), u'a');
    std::fill(std::begin(entry.lpszAddress), std::end(entry.lpszAddress), u'1');
    EXPECT_EQ(SimWritePhonebookEntry(sim, SIM_PBSTORAGE_SIM, 1, &entry), SIM_E_BADPARAM);
}

TEST_F(SimManagerTest, ReportsTheCardSizesAtTheirDocumentedOffsets) {
    CardProfile profile;
    profile.name_bytes = 16;
    profile.number_digits = 18;
    card().set_profile(profile);
    SimHandle sim;
    SIMCAPS caps;
    std::memset(&caps, 0xCC, sizeof caps);
    ASSERT_EQ(SimGetDevCaps(sim, SIM_CAPSTYPE_PBENTRYLENGTH, &caps), S_OK);
    DWORD at20 = 0;
    DWORD at24 = 0;
    std::memcpy(&at20, reinterpret_cast<const char*>(&caps) + 20, 4);
    std::memcpy(&at24, reinterpret_cast<const char*>(&caps) + 24, 4);
    EXPECT_EQ(at20, 18u);
    EXPECT_EQ(at24, 16u);
    EXPECT_EQ(caps.dwMaxPBIndex, 0u) << "only the asked-for part is filled";

    ASSERT_EQ(SimGetDevCaps(sim, SIM_CAPSTYPE_ALL, &caps), S_OK);
    EXPECT_EQ(caps.dwMinPBIndex, 1u);
    EXPECT_EQ(caps.dwMaxPBIndex, 250u);
    EXPECT_EQ(caps.dwParams, static_cast<DWORD>(SIM_PARAM_CAPS_ALL));
    EXPECT_EQ(SimGetDevCaps(sim, 0, &caps), E_INVALIDARG);
    EXPECT_EQ(SimGetDevCaps(sim, 0x40, &caps), E_INVALIDARG);
}

TEST_F(SimManagerTest, ReportsFixedDiallingThroughTheLockingStatus) {
    SimHandle sim;
    BOOL enabled = TRUE;
    ASSERT_EQ(SimGetLockingStatus(sim, SIM_LOCKFACILITY_FIXEDDIALING, nullptr, &enabled), S_OK);
    EXPECT_FALSE(enabled);
    set_state([](CardState& state) { state.fixed_dialling = true; });
    ASSERT_EQ(SimGetLockingStatus(sim, 32, nullptr, &enabled), S_OK);
    EXPECT_TRUE(enabled);
    EXPECT_EQ(SimGetLockingStatus(sim, SIM_LOCKFACILITY_SIM, nullptr, &enabled), SIM_E_UNSUPPORTED);
}

TEST_F(SimManagerTest, RefusesHandlesThatAreNotOpenAndMissingPointers) {
    HSIM sim;
    EXPECT_EQ(SimInitialize(SIM_INIT_NONE, nullptr, 0, nullptr), E_INVALIDARG);
    EXPECT_EQ(SimInitialize(SIM_INIT_SIMCARD_NOTIFICATIONS, nullptr, 0, &sim), E_INVALIDARG);
    ASSERT_EQ(SimInitialize(SIM_INIT_NONE, nullptr, 0, &sim), S_OK);
    EXPECT_TRUE(sim);
    EXPECT_EQ(SimGetPhoneLockedState(sim, nullptr), E_INVALIDARG);
    EXPECT_EQ(SimGetPhonebookStatus(sim, SIM_PBSTORAGE_SIM, nullptr, nullptr), E_INVALIDARG);
    DWORD used = 0;
    DWORD total = 0;
    EXPECT_EQ(SimGetPhonebookStatus(sim, 2, &used, &total), E_INVALIDARG);
    EXPECT_EQ(SimDeinitialize(sim), S_OK);
    EXPECT_EQ(SimDeinitialize(sim), E_INVALIDARG);
    DWORD state = 0;
    EXPECT_EQ(SimGetPhoneLockedState(sim, &state), E_INVALIDARG);
    EXPECT_EQ(SimGetPhoneLockedState(HSIM(), &state), E_INVALIDARG);
}

TEST_F(SimManagerTest, ADamagedOrMissingCardGivesFailureCodesAndADebugLine) {
    SimHandle sim;
    m_card.reset();
    m_folder.write("sim.db",
                   "this is no database, just text that fills a page" + std::string(4096, '.'));
    std::filesystem::remove(m_folder.path() / "sim.db-wal");
    handset::DebugCapture capture;
    DWORD used = 0;
    DWORD total = 0;
    EXPECT_EQ(SimGetPhonebookStatus(sim, SIM_PBSTORAGE_SIM, &used, &total), SIM_E_MEMORYFAILURE);
    DWORD state = 0;
    EXPECT_EQ(SimGetPhoneLockedState(sim, &state), SIM_E_MEMORYFAILURE);
    EXPECT_THAT(capture.lines(), Contains(HasSubstr("sim.db")));
    EXPECT_EQ(capture.lines().size(), 1u) << "the same problem is reported once";

    std::filesystem::remove(card_path());
    EXPECT_EQ(SimGetPhoneLockedState(sim, &state), SIM_E_SIMNOTINSERTED);
    EXPECT_THAT(capture.lines(), Contains(HasSubstr("no SIM card")));

    create_card();
    EXPECT_EQ(SimGetPhoneLockedState(sim, &state), S_OK) << "a repaired card is picked up";
}

TEST_F(SimManagerTest, TheVoiceCallRequestLandsInTheCallLog) {
    EXPECT_EQ(tapiRequestMakeCall(u"+4930123", nullptr, u"J\u00F6rg", nullptr), TAPIERR_CONNECTED);
    EXPECT_EQ(tapiRequestMakeCall(u"112", nullptr, nullptr, nullptr), TAPIERR_CONNECTED);
    EXPECT_EQ(tapiRequestMakeCall(u"", nullptr, u"Nobody", nullptr), TAPIERR_INVALDESTADDRESS);
    EXPECT_EQ(tapiRequestMakeCall(nullptr, nullptr, u"Nobody", nullptr), TAPIERR_INVALDESTADDRESS);
    set_state([](CardState& state) { state.radio_on = false; });
    EXPECT_EQ(tapiRequestMakeCall(u"110", nullptr, nullptr, nullptr), TAPIERR_REQUESTFAILED);

    const std::vector<handset::CallRecord> calls = card().calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].number, u"+4930123");
    EXPECT_EQ(calls[0].name, u"J\u00F6rg");
    EXPECT_GT(calls[0].time, 1600000000);
    EXPECT_EQ(calls[1].name, u"");
}
