#include "handsetctl_fixture.h"

#include "../../platform/base/scoped_environment.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <fstream>

namespace {

using handset::CardState;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::SizeIs;

TEST_F(HandsetctlTest, InitThenListsShowTheSampleData) {
    EXPECT_THAT(ok({"init"}), HasSubstr("plain card with 5 entries, 8 contacts"));
    EXPECT_THAT(ok({"phonebook", "list"}),
                AllOf(HasSubstr("5 of 250 slots used"), HasSubstr("Office Berlin"),
                      HasSubstr("+493012345678")));
    EXPECT_THAT(ok({"contacts", "list"}),
                AllOf(HasSubstr("8 contacts"), HasSubstr("Berger, Anna"), HasSubstr("王, 小明"),
                      HasSubstr("mobile 01701234567"), HasSubstr("business +351213456789")));
}

TEST_F(HandsetctlTest, InitTakesTheLanguageOfTheDesktopsLocaleUnlessOneIsGiven) {
    ScopedEnvironment environment;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        environment.clear(name);
    }
    const auto language_after_init = [&](std::vector<std::string> words) {
        words.insert(words.begin(), {"init", "--empty"});
        ok(words);
        return registry_dword({u"Handset", u"Device"}, u"UILanguage");
    };
    EXPECT_EQ(language_after_init({}), 0x0409u) << "no locale at all";
    environment.set("LANG", "de_DE.UTF-8");
    EXPECT_EQ(language_after_init({}), 0x0407u);
    environment.set("LC_MESSAGES", "fr_FR.UTF-8");
    EXPECT_EQ(language_after_init({}), 0x040Cu) << "LC_MESSAGES comes before LANG";
    environment.set("LC_ALL", "de_AT.UTF-8");
    EXPECT_EQ(language_after_init({}), 0x0C07u) << "LC_ALL comes first";
    environment.set("LC_ALL", "C.UTF-8");
    EXPECT_EQ(language_after_init({}), 0x0409u) << "the C locale names no language";
    EXPECT_EQ(language_after_init({"--language", "0x0407"}), 0x0407u);
}

TEST_F(HandsetctlTest, StatusReportsAHealthyDevice) {
    ok({"init", "--profile", "usim"});
    const std::string status = ok({"status"});
    EXPECT_THAT(status, AllOf(HasSubstr("card: present"), HasSubstr("radio: on"),
                              HasSubstr("lock: none"), HasSubstr("5 of 250 slots used"),
                              HasSubstr("e-mail of 40 bytes"), HasSubstr("contacts: 8"),
                              HasSubstr("registry Status: 0x00000020 (healthy)")));
    EXPECT_THAT(status, Not(HasSubstr("problem")));
}

TEST_F(HandsetctlTest, StatusNamesEachDamagedOrMissingFile) {
    ok({"init"});
    m_folder.write("device/sim.db", std::string(8192, 'x'));
    std::filesystem::remove(device() / "contacts.db");
    const Outcome outcome = run({"status"});
    EXPECT_EQ(outcome.code, 1);
    EXPECT_THAT(outcome.out,
                AllOf(HasSubstr("card: unreadable"), HasSubstr("sim.db is damaged"),
                      HasSubstr("contacts: unreadable"), HasSubstr("no contacts store")));
    EXPECT_THAT(outcome.err, HasSubstr("the device has 2 problems"));
}

TEST_F(HandsetctlTest, StatusNamesAPhoneStatusOutOfStepWithTheCard) {
    ok({"init"});
    ok({"reg", "set", "System\\State\\Phone", "Status", "--dword", "0x12"});
    const Outcome outcome = run({"status"});
    EXPECT_EQ(outcome.code, 1);
    EXPECT_THAT(outcome.out, AllOf(HasSubstr("0x00000012 (no card, radio off)"),
                                   HasSubstr("does not match the card and radio (0x00000020)")));
}

TEST_F(HandsetctlTest, CardAndRadioCommandsKeepThePhoneStatusInStep) {
    ok({"init"});
    struct Step {
        std::vector<std::string> command;
        DWORD status;
    };
    const Step steps[] = {
        {{"sim", "remove"}, 0x22},  {{"radio", "off"}, 0x32}, {{"sim", "insert"}, 0x30},
        {{"sim", "invalid"}, 0x34}, {{"radio", "on"}, 0x24},  {{"sim", "insert"}, 0x20},
    };
    for (const Step& step : steps) {
        ok(step.command);
        EXPECT_EQ(phone_status(), step.status) << step.command[0] << " " << step.command[1];
    }
    EXPECT_EQ(card().state(), CardState{});
}

TEST_F(HandsetctlTest, LockFixedDiallingAndPhonebookReadinessChangeTheCardState) {
    ok({"init"});
    ok({"sim", "lock", "puk"});
    ok({"sim", "fdn", "on"});
    ok({"sim", "phonebook-ready", "off"});
    CardState expected;
    expected.lock = handset::PinLock::puk;
    expected.fixed_dialling = true;
    expected.phonebook_ready = false;
    EXPECT_EQ(card().state(), expected);
    EXPECT_EQ(phone_status(), 0x20u) << "locks are not phone status bits";
    EXPECT_THAT(ok({"status"}), AllOf(HasSubstr("lock: PUK"), HasSubstr("fixed dialling: on"),
                                      HasSubstr("phonebook: not ready")));
    ok({"sim", "lock", "pin"});
    EXPECT_EQ(card().state().lock, handset::PinLock::pin);
    ok({"sim", "lock", "none"});
    EXPECT_EQ(card().state().lock, handset::PinLock::none);
}

TEST_F(HandsetctlTest, PhonebookAddDeleteAndClearChangeTheCard) {
    ok({"init", "--empty"});
    EXPECT_EQ(ok({"phonebook", "add", "Zoë", "+4930123"}), "stored in slot 1\n");
    EXPECT_EQ(ok({"phonebook", "add", "Second", "555", "--index", "250"}), "stored in slot 250\n");
    EXPECT_EQ(ok({"phonebook", "add", "Third", "*31#p1"}), "stored in slot 2\n");
    const std::optional<handset::PhonebookEntry> first = card().entry(1);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->name, u"Zoë");
    EXPECT_TRUE(first->number.international());
    EXPECT_EQ(first->number.digits(), u"4930123");

    ok({"phonebook", "delete", "250"});
    EXPECT_FALSE(card().entry(250));
    EXPECT_THAT(ok({"phonebook", "clear"}), HasSubstr("deleted 2 entries"));
    EXPECT_TRUE(card().entries().empty());
}

TEST_F(HandsetctlTest, ARecordOutsideTheSlotsIsReportedAndNotWrittenOverByAnAdd) {
    ok({"init", "--empty"});
    ok({"phonebook", "add", "Ann", "1"});
    handset::SqliteDatabase(device() / "sim.db", handset::SqliteDatabase::Mode::existing)
        .execute("INSERT INTO adn (slot, record) SELECT 0, record FROM adn WHERE slot = 1");
    EXPECT_EQ(ok({"phonebook", "add", "Bob", "2"}), "stored in slot 2\n");
    EXPECT_EQ(card().entry(1)->name, u"Ann");
    const Outcome listed = run({"phonebook", "list"});
    EXPECT_EQ(listed.code, 1);
    EXPECT_THAT(listed.out, HasSubstr("2 of 250 slots used"));
    EXPECT_THAT(listed.err, HasSubstr("sim.db is damaged: it holds 1 record outside the card's "
                                      "250 slots (slot 0)"));
    const Outcome status = run({"status"});
    EXPECT_EQ(status.code, 1);
    EXPECT_THAT(status.out, HasSubstr("problem: " + (device() / "sim.db").string() +
                                      " is damaged: it holds 1 record outside"));
    ok({"phonebook", "clear"});
    EXPECT_EQ(ok({"phonebook", "list"}), "0 of 250 slots used\n");
}

TEST_F(HandsetctlTest, WordsAfterADoubleDashAreTakenAsTheyAreEvenWhenTheyLookLikeOptions) {
    ok({"init", "--empty"});
    EXPECT_EQ(ok({"phonebook", "add", "--index", "7", "--", "--help", "1"}), "stored in slot 7\n");
    EXPECT_EQ(card().entry(7)->name, u"--help");
    EXPECT_EQ(ok({"phonebook", "delete", "--", "7"}), "deleted slot 7\n");
}

TEST_F(HandsetctlTest, AFailedWriteOfTheOutputIsAFailure) {
    ok({"init", "--empty"});
    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    std::ostringstream err;
    EXPECT_EQ(handsetctl::run_handsetctl({"--device", device().string(), "phonebook", "list"},
                                         broken, err),
              handsetctl::exit_failed);
    EXPECT_EQ(err.str(), "handsetctl: cannot write to the standard output\n");
}

TEST_F(HandsetctlTest, ListingsShowControlCharactersOfNamesEscaped) {
    ok({"init", "--empty"});
    ok({"phonebook", "add", "Ann\nforged", "1"});
    ok({"contacts", "add", "--first", "Eve\x1b]0;owned\x07", "--mobile", "2"});
    EXPECT_EQ(ok({"phonebook", "list"}), "1 of 250 slots used\n"
                                         "1   Ann\\nforged" +
                                             std::string(11, ' ') + "1\n");
    EXPECT_THAT(ok({"contacts", "list"}), HasSubstr("Eve\\x1b]0;owned\\x07"));
    EXPECT_EQ(card().entry(1)->name, u"Ann\nforged") << "the card keeps the name as it is";
}

TEST_F(HandsetctlTest, PhonebookAddStoresSecondNumberAndEmailOnAUsimCardOnly) {
    ok({"init", "--profile", "usim", "--empty"});
    ok({"phonebook", "add", "Ann", "123", "--number2", "456", "--email", "ann@example.org"});
    const std::optional<handset::PhonebookEntry> entry = card().entry(1);
    ASSERT_TRUE(entry && entry->additional_number && entry->email);
    EXPECT_EQ(entry->additional_number->digits(), u"456");
    EXPECT_EQ(*entry->email, u"ann@example.org");
    EXPECT_THAT(ok({"phonebook", "list"}),
                AllOf(HasSubstr("second 456"), HasSubstr("e-mail ann@example.org")));

    ok({"init", "--empty"});
    const Outcome plain = run({"phonebook", "add", "Ann", "123", "--email", "a@b"});
    EXPECT_EQ(plain.code, 1);
    EXPECT_TRUE(card().entries().empty());
}

TEST_F(HandsetctlTest, ProfileChangesResizeTheCardAndFollowWithTheUsimSwitch) {
    ok({"init"});
    EXPECT_THAT(ok({"sim", "profile"}), HasSubstr("250 slots, names of 14 bytes"));
    ok({"sim", "profile", "--slots", "100", "--name-bytes", "20", "--email-bytes", "30"});
    const handset::CardProfile profile = card().profile();
    EXPECT_EQ(profile.slots, 100);
    EXPECT_EQ(profile.name_bytes, 20);
    EXPECT_TRUE(profile.extended.holds_email());
    EXPECT_FALSE(profile.extended.holds_additional_number());
    EXPECT_THAT(card().entries(), SizeIs(5));
    EXPECT_EQ(ok({"reg", "get", "Software\\Nemora\\Telvane\\", "USIMSupport"}),
              "dword 0x00000001 (1)\n");

    // "Office Berlin" is 13 characters.
    const Outcome refused = run({"sim", "profile", "--name-bytes", "12"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_EQ(card().profile(), profile);
}

TEST_F(HandsetctlTest, ExportedRecordsImportBackIntoAnEmptiedCard) {
    ok({"init"});
    const std::vector<handset::StoredEntry> before = card().entries();
    const std::string file = (m_folder.path() / "adn.txt").string();
    EXPECT_THAT(ok({"sim", "export-adn", file}), HasSubstr("exported 250 records"));
    const std::string text = m_folder.read("adn.txt");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 250);
    EXPECT_THAT(text, HasSubstr("4D61696C626F78FF")) << "\"Mailbox\" padded with FF";

    ok({"phonebook", "clear"});
    EXPECT_THAT(ok({"sim", "import-adn", file}), HasSubstr("imported 5 entries"));
    const std::vector<handset::StoredEntry> after = card().entries();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i].slot, before[i].slot);
        EXPECT_EQ(after[i].entry, before[i].entry);
    }
}

TEST_F(HandsetctlTest, ContactsAddDeleteAndQuotaChangeTheStore) {
    ok({"init", "--empty"});
    EXPECT_EQ(ok({"contacts", "add", "--first", "Jo", "--last", "Doe", "--home", "0301"}),
              "added Doe, Jo\n");
    ok({"contacts", "add", "--last", "Adams", "--mobile", "0170", "--business", "0800"});
    std::vector<handset::ContactRecord> all = contacts();
    ASSERT_THAT(all, SizeIs(2));
    EXPECT_EQ(all[0][handset::ContactField::business_telephone], u"0800");

    EXPECT_EQ(ok({"contacts", "delete", "1"}), "deleted Adams\n");
    all = contacts();
    ASSERT_THAT(all, SizeIs(1));
    EXPECT_EQ(all[0][handset::ContactField::home_telephone], u"0301");

    EXPECT_THAT(ok({"contacts", "quota", "1000000"}), HasSubstr("quota: "));
    EXPECT_THAT(ok({"status"}), HasSubstr("contacts: 1, quota "));
    EXPECT_EQ(ok({"contacts", "quota", "0"}), "quota: none\n");
}

// Faults strike the programs, not handsetctl: its own commands still change the card and the
// store while they are set.
TEST_F(HandsetctlTest, FaultsAreListedWithTheFileTheyAreKeptInAndClearedTogether) {
    ok({"init"});
    EXPECT_EQ(ok({"fault", "add", "write", "--nth", "3", "--error", "0x88000340"}),
              "added card fault 1: phonebook write #3 answers 0x88000340\n");
    EXPECT_EQ(ok({"fault", "add", "card-removed", "--after", "5"}),
              "added card fault 2: every SIM call after the first 5 answers 0x88000207\n");
    EXPECT_EQ(ok({"fault", "add", "contacts-save", "--error", "storage-full"}),
              "added contacts fault 1: every contacts save answers storage full\n");
    EXPECT_EQ(ok({"fault", "list"}),
              "card faults (sim.db): 2\n"
              "  1  phonebook write #3 answers 0x88000340 (counted 0, struck 0)\n"
              "  2  every SIM call after the first 5 answers 0x88000207 (counted 0, struck 0)\n"
              "contacts faults (contacts.db): 1\n"
              "  1  every contacts save answers storage full (counted 0, struck 0)\n");

    for (const char* name : {"Ann", "Ben", "Cyd"}) {
        ok({"phonebook", "add", name, "1"});
    }
    ok({"contacts", "add", "--last", "Doe"});
    EXPECT_EQ(card().faults().at(0).counted, 0);

    EXPECT_EQ(ok({"fault", "clear"}), "cleared 3 faults\n");
    EXPECT_EQ(ok({"fault", "list"}),
              "card faults (sim.db): none\ncontacts faults (contacts.db): none\n");
    EXPECT_THAT(ok({"fault", "--help"}), HasSubstr("fault add OPERATION"));
}

TEST_F(HandsetctlTest, RegistryValuesAreSetReadAndDeleted) {
    ok({"init"});
    ok({"reg", "set", "Software\\Test", "Name", "--string", "Grüße"});
    ok({"reg", "set", "HKEY_CLASSES_ROOT\\CLSID\\{X}", "Count", "--dword", "0xFFFFFFFF"});
    EXPECT_EQ(ok({"reg", "get", "HKEY_LOCAL_MACHINE\\Software\\Test", "Name"}),
              "string \"Grüße\"\n");
    EXPECT_EQ(ok({"reg", "get", "HKEY_CLASSES_ROOT\\CLSID\\{X}", "Count"}),
              "dword 0xFFFFFFFF (4294967295)\n");
    EXPECT_EQ(run({"reg", "get", "CLSID\\{X}", "Count"}).code, 1) << "HKLM is the default root";

    ok({"reg", "delete", "Software\\Test", "Name"});
    EXPECT_EQ(run({"reg", "get", "Software\\Test", "Name"}).code, 1);
    ok({"reg", "delete", "HKEY_CLASSES_ROOT\\CLSID"});
    EXPECT_EQ(run({"reg", "delete", "HKEY_CLASSES_ROOT\\CLSID"}).code, 1);
    EXPECT_EQ(ok({"reg", "get", "Handset\\Device", "Screen"}), "string \"qvga\"\n");
}

TEST_F(HandsetctlTest, CallsListsTheCallLog) {
    ok({"init"});
    EXPECT_EQ(ok({"calls"}), "no calls\n");
    card().append_call({1700000000, u"+4930123", u"Office Berlin"});
    EXPECT_THAT(ok({"calls"}),
                AllOf(HasSubstr("2023-11-1"), HasSubstr("+4930123"), HasSubstr("Office Berlin")));
}

} // namespace
