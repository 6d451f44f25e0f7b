#include "handsetctl_fixture.h"

#include <gmock/gmock.h>

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

struct BadCommand {
    std::vector<std::string> words;
    int code;
    std::string message;
};

// Everything a command could have changed.
struct DeviceContents {
    std::vector<handset::StoredEntry> entries;
    std::pair<handset::CardProfile, handset::CardState> card;
    std::vector<handset::ContactRecord> contacts;
    std::string registry;

    bool operator==(const DeviceContents& other) const {
        if (entries.size() != other.entries.size() || card != other.card ||
            registry != other.registry || contacts.size() != other.contacts.size()) {
            return false;
        }
        for (size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].slot != other.entries[i].slot ||
                !(entries[i].entry == other.entries[i].entry)) {
                return false;
            }
        }
        for (size_t i = 0; i < contacts.size(); ++i) {
            if (contacts[i].fields != other.contacts[i].fields) {
                return false;
            }
        }
        return true;
    }
};

class HandsetctlInputTest : public HandsetctlTest {
  protected:
    DeviceContents contents() {
        return {card().entries(), card().snapshot(), contacts(),
                m_folder.read("device/registry.reg")};
    }

    void expect_refused(const std::vector<BadCommand>& commands) {
        const DeviceContents before = contents();
        for (const BadCommand& command : commands) {
            std::string line;
            for (const std::string& word : command.words) {
                line += word + " ";
            }
            const Outcome outcome = run(command.words);
            EXPECT_EQ(outcome.code, command.code) << line;
            EXPECT_THAT(outcome.err, StartsWith("handsetctl: ")) << line;
            EXPECT_THAT(outcome.err, HasSubstr(command.message)) << line;
            if (command.code == handsetctl::exit_usage) {
                EXPECT_THAT(outcome.err, HasSubstr("usage: handsetctl")) << line;
            }
            EXPECT_TRUE(contents() == before) << line << "changed the device";
        }
    }
};

TEST_F(HandsetctlInputTest, CommandLinesThatSayNothingSensibleAreUsageErrors) {
    ok({"init"});
    expect_refused({
        {{}, 2, "the command is missing"},
        {{"reboot"}, 2, "unknown command 'reboot'"},
        {{"sim"}, 2, "the sim command is missing"},
        {{"sim", "eject"}, 2, "unknown sim command 'eject'"},
        {{"sim", "lock", "pin2"}, 2, "none, pin or puk"},
        {{"sim", "fdn", "yes"}, 2, "must be on or off"},
        {{"radio"}, 2, "radio is missing"},
        {{"radio", "off", "now"}, 2, "unexpected 'now'"},
        {{"sim", "remove", "--force"}, 2, "unknown option --force"},
        {{"sim", "profile", "--slots", "0"}, 2, "--slots must be 1 to 1000, not '0'"},
        {{"sim", "profile", "--slots", "1001"}, 2, "--slots must be 1 to 1000, not '1001'"},
        {{"sim", "profile", "--name-bytes", "242"}, 2, "--name-bytes must be 0 to 241"},
        {{"sim", "profile", "--number-digits", "0"}, 2, "--number-digits must be 1 to"},
        {{"sim", "profile", "--slots", "ten"}, 2, "must be a number, not 'ten'"},
        {{"sim", "profile", "--slots"}, 2, "--slots needs a value"},
        {{"init", "--profile", "gsm"}, 2, "plain or usim"},
        {{"init", "--screen", "hd"}, 2, "qvga or vga"},
        {{"init", "--language", "0x10000"}, 2, "must be 1 to 65535"},
        {{"init", "--empty", "--empty"}, 2, "--empty is given twice"},
        {{"phonebook", "add", "Ann"}, 2, "NUMBER is missing"},
        {{"phonebook", "add", "Ann", "12a4"}, 2, "'12a4' is not a phone number"},
        {{"phonebook", "add", "Ann", "030 1234"}, 2, "is not a phone number"},
        {{"phonebook", "add", "Ann", "1+2"}, 2, "is not a phone number"},
        {{"phonebook", "add", "Ann", "1", "--index", "0"}, 2, "--index must be 1 or more"},
        {{"phonebook", "add", "Ann", "1", "--index", "-2"}, 2, "--index must be 1 or more"},
        {{"phonebook", "add", "Ann", "1", "--index", "1x"}, 2, "must be a number"},
        {{"phonebook", "delete", "0"}, 2, "INDEX must be 1 or more"},
        {{"phonebook", "delete", "-2"}, 2, "INDEX must be 1 or more"},
        {{"phonebook", "delete", " 1"}, 2, "must be a number"},
        {{"contacts", "add", "--mobile", "1"}, 2, "needs --first or --last"},
        {{"contacts", "delete", "0"}, 2, "INDEX must be 1 or more"},
        {{"contacts", "quota", "-1"}, 2, "must be 0 to"},
        {{"reg", "get", "Software\\\\Nemora", "X"}, 2, "is not a registry key"},
        {{"reg", "set", "Software", "X"}, 2, "either --dword N or --string TEXT"},
        {{"reg", "set", "Software", "X", "--dword", "1", "--string", "a"}, 2, "either --dword"},
        {{"reg", "set", "Software", "X", "--dword", "0x100000000"}, 2, "must be 0 to"},
        {{"reg", "delete", "HKEY_LOCAL_MACHINE"}, 2, "a whole root cannot be deleted"},
    });
}

TEST_F(HandsetctlInputTest, WhatTheCardOrStoreCannotTakeFailsAndChangesNothing) {
    ok({"init"});
    const std::string file = (m_folder.path() / "bad.txt").string();
    m_folder.write("bad.txt", "4D61696C626F78FFFFFFFFFFFFFF0481214365FFFFFFFFFFFFFFFFFF\nzz\n");
    expect_refused({
        {{"phonebook", "add", "Ann", "1", "--index", "251"}, 1, "no slot 251 on a card of 250"},
        {{"phonebook", "add", "A name far too long", "1"}, 1, "name"},
        {{"phonebook", "add", "王小明王小明王", "1"}, 1, "name"},
        {{"phonebook", "add", "Ann", "123456789012345678901"}, 1, "number"},
        {{"phonebook", "add", "Ann", "+123456789012345678901"}, 1, "number"},
        {{"phonebook", "add", "Ann", "1", "--number2", "2"}, 1, ""},
        {{"phonebook", "delete", "251"}, 1, "251"},
        {{"phonebook", "delete", "250"}, 1, "slot 250 is empty"},
        {{"contacts", "delete", "9"}, 1, "there is no contact 9; the store has 8"},
        {{"reg", "get", "System\\State\\Phone", "Nothing"}, 1, "there is no value \"Nothing\""},
        {{"reg", "delete", "System\\State\\Phone", "Nothing"}, 1, "there is no value"},
        {{"sim", "import-adn", file}, 1, "line 2: not an EF_ADN record in hex"},
        {{"sim", "import-adn", file + ".missing"}, 1, "cannot read"},
    });
}

TEST_F(HandsetctlInputTest, AnImportThatCannotBeReadWholeOrHoldsNoRecordLeavesTheCardAlone) {
    ok({"init"});
    m_folder.write("empty.txt", "");
    m_folder.write("comments.txt", "# exported by hand\n\n   \n");
    m_folder.write("binary.txt", std::string("\x7f"
                                             "ELF\x02\x01\x01\0\0\0",
                                             10));
    std::filesystem::create_directory(m_folder.path() / "records");
    const auto path = [&](const char* name) { return (m_folder.path() / name).string(); };
    expect_refused({
        {{"sim", "import-adn", path("records")}, 1, "records is a folder, not a file of records"},
        {{"sim", "import-adn", "/proc/self/mem"}, 1, "cannot read /proc/self/mem: "},
        {{"sim", "import-adn", path("empty.txt")},
         1,
         "empty.txt: there is no EF_ADN record to import; the card is unchanged"},
        {{"sim", "import-adn", path("comments.txt")}, 1, "there is no EF_ADN record to import"},
        {{"sim", "import-adn", path("binary.txt")},
         1,
         "line 1: not an EF_ADN record in hex; the card is unchanged"},
    });
}

TEST_F(HandsetctlInputTest, WordsThatAreNotTextOrNameNoSlotAreRefusedInTheSameWordsAsAnyOther) {
    ok({"init"});
    expect_refused({
        {{"phonebook", "add", "Ann\xff", "1"}, 2, "argument 5 is not UTF-8 text"},
        {{"phonebook", "add", "Ann", "1", "--email", "\xc0\xaf"}, 2, "argument 8 is not UTF-8"},
        {{"reg", "set", "Software", "X", "--string", "\xed\xa0\x80"}, 2, "is not UTF-8 text"},
        {{"phonebook", "add", "Ann", "1", "--index", "251"},
         1,
         "no slot 251 on a card of 250 slots"},
        {{"phonebook", "add", "Ann", "1", "--index", "4294967297"},
         1,
         "no slot 4294967297 on a card of 250 slots"},
        {{"phonebook", "delete", "4294967297"}, 1, "no slot 4294967297 on a card of 250 slots"},
        {{"fault", "add", "read", "--slot", "4294967297"},
         1,
         "no slot 4294967297 on a card of 250 slots"},
        {{"contacts", "delete", "4294967297"},
         1,
         "there is no contact 4294967297; the store has 8"},
        {{"phonebook", "add", "A\xef\xbf\xbf", "1"},
         1,
         "the name holds U+FFFF, which no card can store"},
        {{"phonebook", "add", "--index", "--", "7", "Ann", "1"}, 2, "--index needs a value"},
        {{"phonebook", "add", "Ann", "--", "1", "--index"}, 2, "unexpected '--index'"},
    });
}

TEST_F(HandsetctlInputTest, FaultsThatCannotBeSetAreRefusedAndNoneIsAdded) {
    ok({"init"});
    expect_refused({
        {{"fault"}, 2, "the fault command is missing"},
        {{"fault", "drop"}, 2, "unknown fault command 'drop'"},
        {{"fault", "list", "all"}, 2, "unexpected 'all'"},
        {{"fault", "add"}, 2, "the operation is missing"},
        {{"fault", "add", "jump"}, 2, "unknown fault operation 'jump'"},
        {{"fault", "add", "write", "--nth", "0"}, 2, "--nth must be 1 to"},
        {{"fault", "add", "write", "--after", "-1"}, 2, "--after must be 0 to"},
        {{"fault", "add", "write", "--nth", "1", "--after", "2"}, 2, "--nth or --after, not both"},
        {{"fault", "add", "write", "--error", "0x1"}, 2, "a failure HRESULT"},
        {{"fault", "add", "write", "--error", "memory-full"}, 2, "must be a number"},
        {{"fault", "add", "read", "--slot", "0"}, 2, "--slot must be 1 or more"},
        {{"fault", "add", "card-removed", "--nth", "2"}, 2, "give --after, not --nth"},
        {{"fault", "add", "card-removed", "--error", "0x88000340"}, 2, "takes no --error"},
        {{"fault", "add", "contacts-save", "--slot", "1"}, 2, "--slot is for read, write"},
        {{"fault", "add", "contacts-save", "--error", "0x88000340"}, 2, "storage-full, busy"},
        {{"fault", "add", "read", "--slot", "251"}, 1, "no slot 251 on a card of 250"},
    });
    EXPECT_EQ(ok({"fault", "list"}),
              "card faults (sim.db): none\ncontacts faults (contacts.db): none\n");
}

TEST_F(HandsetctlInputTest, CommandsOnAFolderWithoutADeviceSayHowToMakeOne) {
    for (const auto& words : std::vector<std::vector<std::string>>{
             {"phonebook", "list"}, {"radio", "off"}, {"contacts", "list"}, {"calls"}}) {
        const Outcome outcome = run(words);
        EXPECT_EQ(outcome.code, 1) << words[0];
        EXPECT_THAT(outcome.err, HasSubstr("run 'handsetctl init' first")) << words[0];
    }
    EXPECT_EQ(run({"status"}).code, 1);
    EXPECT_FALSE(std::filesystem::exists(device() / "sim.db"));
}

} // namespace
