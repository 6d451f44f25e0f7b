#include "cellcore/modem_card.h"

#include "../../support/fake_modem.h"

#include "base/debug_output.h"
#include "base/utf.h"

#include <simmgr.h>
#include <tapi.h>

#include <gtest/gtest.h>

using handset::ModemCard;
using handset::PhonebookEntry;
using Step = FakeModem::Step;
using Then = FakeModem::Then;

namespace {

constexpr std::chrono::milliseconds short_timeout{300};

struct ModemTest : ::testing::Test {
    void start(std::vector<Step> script, FakeModem::Responder responder = {}, bool echo = false) {
        modem.emplace(std::move(script), std::move(responder), echo);
        card.emplace(handset::SerialLine(modem->take_descriptor()), short_timeout);
    }
    PhonebookEntry read(DWORD index, HRESULT expected = S_OK) {
        PhonebookEntry entry;
        EXPECT_EQ(card->read_entry(index, entry), expected) << index;
        return entry;
    }

    handset::DebugCapture trace;
    std::optional<FakeModem> modem;
    std::optional<ModemCard> card;
};

} // namespace

TEST_F(ModemTest, ToleratesEchoAndUnsolicitedLinesInTheMiddleOfAReply) {
    start(
        {{"AT+CPBR=1,50", "RING\n+CPBR: 1,\"112\",129,\"0041\"\n+CREG: 1\n^RSSI: 12\n+CPIN: READY\n"
                          "+CPBR: 3,\"110\",129,\"0042\"\nOK"}},
        {}, true);
    EXPECT_EQ(read(1).name, u"A");
    EXPECT_EQ(read(2, SIM_E_NOTFOUND).name, u"");
    EXPECT_EQ(read(3).number.text(), u"110");
    const std::string text = trace.text();
    EXPECT_NE(text.find("modem: unsolicited +CREG: 1"), std::string::npos);
    EXPECT_NE(text.find("modem: AT+CPBR=1,50 -> OK (2 lines)"), std::string::npos);
}

TEST_F(ModemTest, ReadsAndWritesNamesInTheGsmAlphabet) {
    start({{"AT+CSCS=?", "+CSCS: (\"IRA\",\"GSM\")\nOK"},
           {"AT+CSCS=\"GSM\"", "OK"},
           {"AT+CPBR=1,50", "+CPBR: 1,\"112\",129,\"\\00home\"\nOK"}});
    EXPECT_EQ(read(1).name, u"@home");
    PhonebookEntry euro{u"\u20AC", handset::DiallingNumber::parse(u"1").value(), {}, {}};
    EXPECT_EQ(card->write_entry(2, euro, handset::EntryFields::all), S_OK);
    EXPECT_EQ(modem->commands().back(), "AT+CPBW=2,\"1\",129,\"\\1Be\"");
}

TEST_F(ModemTest, ChoosesUcs2ThenGsmThenTheModemsOwnSet) {
    const struct {
        std::string sets;
        std::string active;
        std::string chosen;
    } cases[] = {
        {R"(+CSCS: ("IRA","GSM","UCS2"))", "", "UCS2"},
        {R"(+CSCS: "IRA","GSM")", "", "GSM"},
        {R"(+CSCS: ("IRA","8859-1"))", "", "IRA"},
        {"", R"(+CSCS: "GSM")", "GSM"},
        {"", "", "IRA"},
    };
    for (const auto& [sets, active, chosen] : cases) {
        handset::DebugCapture choice;
        start({{"AT+CSCS=?", sets.empty() ? "ERROR" : sets + "\nOK"},
               {"AT+CSCS?", active.empty() ? "ERROR" : active + "\nOK"},
               {"AT+CSCS=\"GSM\"", "OK"},
               {"AT+CSCS=\"IRA\"", "OK"}});
        DWORD state = 0;
        EXPECT_EQ(card->lock_state(state), S_OK);
        EXPECT_NE(choice.text().find("modem: names in " + chosen), std::string::npos) << sets;
    }
}

TEST_F(ModemTest, ReportsTheModemsOwnSizesFromARangeNotStartingAtOne) {
    start({{"AT+CPBR=?", "+CPBR: (501-750),40,18\nOK"},
           {"AT+CPBR=502,551", "+CPBR: 502,\"5\",129,\"0042\"\nOK"}});
    handset::CardProfile profile;
    ASSERT_EQ(card->capabilities(profile), S_OK);
    EXPECT_EQ(profile.slots, 250);
    EXPECT_EQ(profile.name_bytes, 18);
    EXPECT_EQ(read(2).name, u"B");
    EXPECT_EQ(card->delete_entry(250), S_OK);
    EXPECT_EQ(modem->commands().back(), "AT+CPBW=750");
    read(251, SIM_E_INVALIDINDEX);
    read(0, SIM_E_INVALIDINDEX);
}

TEST_F(ModemTest, ReportsTheStoragesAndLockFacilitiesTheModemLists) {
    start({{"AT+CPBS=?", "+CPBS: (\"SM\",\"FD\",\"ME\",\"ON\")\nOK"},
           {"AT+CLCK=?", "+CLCK: (\"PS\",\"SC\",\"P2\",\"AO\")\nOK"}});
    handset::CardProfile profile;
    ASSERT_EQ(card->capabilities(profile), S_OK);
    EXPECT_EQ(profile.storages,
              uint32_t(SIM_PBSTORAGE_SIM | SIM_PBSTORAGE_FIXEDDIALING | SIM_PBSTORAGE_OWNNUMBERS));
    EXPECT_EQ(profile.lock_facilities, uint32_t(SIM_LOCKFACILITY_SIM | SIM_LOCKFACILITY_SIM_PIN2))
        << "no fixed dialling lock where the modem lists none";
}

TEST_F(ModemTest, FillsTwoHundredFiftyEntriesInFiveReads) {
    start({}, full_phonebook);
    for (DWORD index = 1; index <= 250; ++index) {
        ASSERT_EQ(read(index).number.text(),
                  u"0301000" + handset::utf8_to_utf16(std::to_string(index)));
    }
    EXPECT_EQ(modem->count("AT+CPBR=") - modem->count("AT+CPBR=?"), 5u);
}

TEST_F(ModemTest, AWriteDropsTheReadAheadWindow) {
    start({{"AT+CPBR=1,50", "+CPBR: 1,\"1\",129,\"0041\"\nOK"},
           {"AT+CPBR=1,50", "+CPBR: 1,\"1\",129,\"005A\"\nOK"}});
    EXPECT_EQ(read(1).name, u"A");
    EXPECT_EQ(card->delete_entry(7), S_OK);
    EXPECT_EQ(read(1).name, u"Z");
}

TEST_F(ModemTest, APlainWriteKeepsTheSlotsAdditionalFields) {
    start({{"AT+CPBR=?", "+CPBR: (1-100),20,14,0,0,40\nOK"},
           {"AT+CPBR=3,52", R"(+CPBR: 3,"1",129,"0041",0,"","555",129,"","0061")"
                            "\nOK"}});
    PhonebookEntry renamed{u"B", handset::DiallingNumber::parse(u"2").value(), {}, {}};
    EXPECT_EQ(card->write_entry(3, renamed, handset::EntryFields::name_and_number), S_OK);
    EXPECT_EQ(modem->commands().back(), R"(AT+CPBW=3,"2",129,"0042",0,"","555",129,"","0061")");
}

TEST_F(ModemTest, MapsTheModemsRefusals) {
    start({{"AT+CPBW=,\"1\",129,\"0041\"", "+CME ERROR: 20"},
           {"AT+CPIN?", "+CPIN: SIM PIN\nOK"},
           {"AT+CPIN?", "+CME ERROR: 10"},
           {"AT+CLCK=\"FD\",2", "+CLCK: 1\nOK"},
           {"ATD+4930123;", "OK"}});
    PhonebookEntry entry{u"A", handset::DiallingNumber::parse(u"1").value(), {}, {}};
    EXPECT_EQ(card->write_entry(SIM_PBINDEX_FIRSTAVAILABLE, entry, handset::EntryFields::all),
              SIM_E_MEMORYFULL);
    DWORD state = 0;
    EXPECT_EQ(card->lock_state(state), S_OK);
    EXPECT_EQ(state, static_cast<DWORD>(SIM_LOCKEDSTATE_SIM_PIN));
    EXPECT_EQ(card->lock_state(state), SIM_E_SIMNOTINSERTED);
    bool enabled = false;
    EXPECT_EQ(card->locking_status(SIM_LOCKFACILITY_SIM_FIXEDIALING, enabled), S_OK);
    EXPECT_TRUE(enabled);
    EXPECT_EQ(card->place_call(u"030 123;ATH", u""), TAPIERR_INVALDESTADDRESS);
    EXPECT_EQ(card->place_call(u"+49 (30) 123", u""), TAPIERR_CONNECTED);
    EXPECT_EQ(modem->commands().back(), "ATD+4930123;");
}

TEST_F(ModemTest, ARadioSwitchedOffIsRefusedAndReported) {
    start({{"AT+CFUN?", "+CFUN: 1\nOK"}, {"AT+CFUN?", "+CFUN: 0\nOK"}});
    auto feed = card->open_change_feed();
    DWORD state = 0;
    EXPECT_EQ(card->lock_state(state), S_OK);
    EXPECT_EQ(card->lock_state(state), SIM_E_RADIOOFF);
    std::vector<handset::CardChange> changes = feed->poll();
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].code, static_cast<uint32_t>(SIM_NOTIFY_RADIOOFF));
    EXPECT_TRUE(feed->poll().empty());
}

TEST_F(ModemTest, TheFeedHearsWhatTheModemReportsBetweenCommands) {
    start({});
    auto feed = card->open_change_feed();
    modem->report("+CFUN: 0");
    std::vector<handset::CardChange> changes;
    for (int tries = 0; tries < 200 && changes.empty(); ++tries) {
        changes = feed->poll();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].code, static_cast<uint32_t>(SIM_NOTIFY_RADIOOFF));
}

TEST_F(ModemTest, AStalledReplyTimesOutInsteadOfHanging) {
    start({{"AT+CPBR=1,50", "+CPBR: 1,\"1\",129,\"0041\"", Then::stall}});
    read(1, SIM_E_RADIONOTPRESENT);
    EXPECT_NE(trace.text().find("AT+CPBR=1,50 -> no final result within 300 ms"),
              std::string::npos);
}

TEST_F(ModemTest, ALineClosedMidReplyFailsEveryLaterCallAtOnce) {
    start({{"AT+CPBR=1,50", "+CPBR: 1,\"1\",129,\"0041\"", Then::close}});
    read(1, SIM_E_RADIONOTPRESENT);
    const auto before = std::chrono::steady_clock::now();
    DWORD used = 0;
    DWORD total = 0;
    EXPECT_EQ(card->phonebook_status(used, total), SIM_E_RADIONOTPRESENT);
    read(60, SIM_E_RADIONOTPRESENT);
    EXPECT_LT(std::chrono::steady_clock::now() - before, short_timeout);
}

TEST_F(ModemTest, CountsTheUsedSlotsWhenTheStatusLeavesThemOut) {
    start({{"AT+CPBR=?", "+CPBR: (1-60),40,14\nOK"},
           {"AT+CPBS?", "+CPBS: \"SM\"\nOK"},
           {"AT+CPBR=1,50", "+CPBR: 4,\"1\",129,\"0041\"\nOK"},
           {"AT+CPBR=51,60", "+CME ERROR: 22"}});
    DWORD used = 0;
    DWORD total = 0;
    ASSERT_EQ(card->phonebook_status(used, total), S_OK);
    EXPECT_EQ(used, 1u);
    EXPECT_EQ(total, 60u);
}

TEST_F(ModemTest, ACardRemovedBetweenCommandsHasItsSizesAskedAgain) {
    start({{"AT+CPBR=?", "+CPBR: (1-250),40,14\nOK"}, {"AT+CPBR=?", "+CPBR: (1-100),40,18\nOK"}});
    handset::CardProfile profile;
    ASSERT_EQ(card->capabilities(profile), S_OK);
    EXPECT_EQ(profile.slots, 250);
    modem->report("+SIMCARD: NOT AVAILABLE");
    ASSERT_EQ(card->capabilities(profile), S_OK);
    EXPECT_EQ(profile.slots, 100);
    EXPECT_EQ(profile.name_bytes, 18);
}

TEST_F(ModemTest, TheSimLibraryFillsAWholePhonebookThroughTheDriver) {
    modem.emplace(std::vector<Step>{}, full_phonebook);
    const int descriptor = modem->take_descriptor();
    handset::set_card_backend_factory(
        [descriptor] { return handset::open_modem_card(descriptor); });
    HSIM sim;
    const HRESULT opened = SimInitialize(SIM_INIT_NONE, nullptr, 0, &sim);
    handset::set_card_backend_factory({});
    ASSERT_EQ(opened, S_OK);
    int found = 0;
    for (DWORD index = 1; index <= 250; ++index) {
        SIMPHONEBOOKENTRY entry{};
        entry.cbSize = sizeof entry;
        found += SimReadPhonebookEntry(sim, SIM_PBSTORAGE_SIM, index, &entry) == S_OK &&
                 std::u16string_view(entry.lpszText) == u"Name";
    }
    EXPECT_EQ(SimDeinitialize(sim), S_OK);
    EXPECT_EQ(found, 250);
    EXPECT_EQ(modem->count("AT+CPBR=") - modem->count("AT+CPBR=?"), 5u);
}

TEST_F(ModemTest, APinGoesToTheModemOnlyWhenTheLastTryMayBeSpentAndNeverIntoTheTrace) {
    start({{"AT+CPIN?", "+CPIN: SIM PIN\nOK"}, {"AT+CPIN=\"4321\"", "+CME ERROR: 16"}});
    int tries = 0;
    EXPECT_EQ(card->verify_pin(u"4321", handset::PinAttempt::spare_last_try, tries),
              SIM_E_SECURITYFAILURE)
        << "a modem does not say how many tries are left";
    EXPECT_EQ(modem->count("AT+CPIN=\""), 0u);
    EXPECT_EQ(card->verify_pin(u"4321", handset::PinAttempt::last_try_allowed, tries),
              SIM_E_INCORRECTPASSWORD);
    EXPECT_EQ(modem->count("AT+CPIN=\"4321\""), 1u);
    EXPECT_EQ(trace.text().find("4321"), std::string::npos);
    EXPECT_EQ(card->verify_pin(u"43a1", handset::PinAttempt::last_try_allowed, tries),
              SIM_E_BADPARAM);
}

TEST_F(ModemTest, AReadyCardHasNoPinToCheck) {
    start({{"AT+CPIN?", "+CPIN: READY\nOK"}});
    int tries = 0;
    EXPECT_EQ(card->verify_pin(u"1234", handset::PinAttempt::last_try_allowed, tries), S_OK);
    EXPECT_EQ(modem->count("AT+CPIN=\""), 0u);
}
