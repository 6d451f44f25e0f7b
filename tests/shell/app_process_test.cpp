// Telvane as the person starts it: the program itself, headless, against a device folder, run
// by a script or started twice.
#include "poom/contact_store.h"
#include "program_driver.h"
#include "program_process.h"
#include "telvane_ids.h"
#include "user/peer_service.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr std::chrono::milliseconds kProcessWait{20000};

// Telvane run by the script, or without one; its output kept beside the device under the name.
std::unique_ptr<ProgramProcess> StartTelvane(const TestDevice& device, const std::string& name,
                                             const std::string& script_text = {}) {
    std::vector<std::string> arguments = {TELVANE_PROGRAM, "--device", device.folder().string(),
                                          "--display", "headless"};
    if (!script_text.empty()) {
        const std::filesystem::path script = device.folder() / (name + "-steps.txt");
        std::ofstream(script) << script_text;
        arguments.insert(arguments.end(), {"--script", script.string()});
    }
    auto process =
        std::make_unique<ProgramProcess>(arguments, device.folder() / (name + "-output.txt"));
    EXPECT_TRUE(process->started());
    return process;
}

class TelvaneProcess : public ::testing::Test {
  protected:
    TelvaneProcess() { m_device.card(); }

    std::unique_ptr<ProgramProcess> Start(const std::string& script_text) {
        return StartTelvane(m_device, "telvane", script_text);
    }

    // What the program wrote to the device's debug output, each line without its "\r\n".
    std::vector<std::string> DebugLog() {
        std::ifstream file(m_device.folder() / "debug.log");
        std::vector<std::string> lines;
        for (std::string line; std::getline(file, line);) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            lines.push_back(line);
        }
        return lines;
    }

    TestDevice m_device;
};

} // namespace

TEST_F(TelvaneProcess, AnInvalidCardIsRefusedWithAWarningAndCodeZero) {
    m_device.set_dword(u"System\\State\\Phone", u"Status", 0x16);
    auto telvane = Start("expect-box \"SIM card is invalid.\" \"Warning\"\nanswer\n");
    EXPECT_EQ(telvane->wait_for_exit(kProcessWait), std::optional<int>(0)) << telvane->output();
}

TEST_F(TelvaneProcess, APukLockedCardIsRefusedBeforeThePinCheck) {
    m_device.card().update_state(
        [](handset::CardState& state) { state.lock = handset::PinLock::puk; });
    auto telvane = Start("expect-box \"SIM card is locked and Telvane will not initialize.\" "
                         "\"Warning\"\nanswer\n");
    EXPECT_EQ(telvane->wait_for_exit(kProcessWait), std::optional<int>(0)) << telvane->output();
}

TEST_F(TelvaneProcess, AHealthyDeviceOpensTheMainViewAfterTheGoodStartsChecks) {
    auto telvane = Start("wait class SysTreeView32 within 10000\nidle\nclose\n");
    ASSERT_EQ(telvane->wait_for_exit(kProcessWait), std::optional<int>(0)) << telvane->output();

    const std::vector<std::string> expected = {"RC_LoadMUI: Telvane.exe.0409.mui is loaded!",
                                               "Check Phone Status OK!",
                                               "PUK Lock == FALSE",
                                               "PIN Lock == FALSE",
                                               "SIM Ready == TRUE",
                                               "FDN Enable == FALSE",
                                               "Check SIM Status OK!",
                                               "SIM_SetCallBackFunc: Success"};
    std::vector<std::string> lines = DebugLog();
    auto at = lines.begin();
    for (const std::string& text : expected) {
        at = std::find(at, lines.end(), "Telvane <RD_INFO>: " + text);
        ASSERT_NE(at, lines.end()) << "missing or out of order: " << text;
    }
}

namespace {

// One instance in this process, on the test's device, that a second start in another process
// can find.
class SecondStart : public ProgramTest {
  protected:
    handset::PeerService m_peers;
};

} // namespace

TEST_F(SecondStart, BringsARunningInstanceForwardAndEndsWithCodeZero) {
    ASSERT_TRUE(m_peers.joined());
    m_program.start(m_device);
    HWND tree = WaitForMainView();
    ASSERT_TRUE(tree);
    ASSERT_TRUE(WaitForFill());

    auto second = StartTelvane(m_device, "second");
    EXPECT_EQ(second->wait_for_exit(kProcessWait), std::optional<int>(0)) << second->output();
    EXPECT_TRUE(m_program->running());
    EXPECT_EQ(GetForegroundWindow(), GetParent(tree));
    CloseProgram();
}

TEST_F(SecondStart, ClosesAnInstanceStuckOnItsStartMessageAndGoesOn) {
    ASSERT_TRUE(m_peers.joined());
    m_device.set_dword(u"System\\State\\Phone", u"Status", 0x12);
    m_program.start(m_device);
    ASSERT_TRUE(m_program->wait_for_message_box(kProgramWait));

    auto second = StartTelvane(m_device, "second", "expect-box \"SIM card is removed.\"\nanswer\n");
    EXPECT_EQ(m_program.exit_code(), std::optional<int>(0));
    EXPECT_EQ(second->wait_for_exit(kProcessWait), std::optional<int>(0)) << second->output();
}

TEST_F(TelvaneProcess, AScriptAddsAnEntryThroughTheEditor) {
    auto telvane = Start("wait class SysTreeView32\n"
                         "idle\n"
                         "key softkey1\n"
                         "wait id 604\n"
                         "type \"Zo\u00EB\"\n"
                         "tap id 608\n"
                         "type \"(030) 123-45\"\n"
                         "key softkey1\n"
                         "idle\n"
                         "close\n");
    EXPECT_EQ(telvane->wait_for_exit(kProcessWait), std::optional<int>(0)) << telvane->output();
    std::vector<handset::StoredEntry> entries =
        handset::CardFile::open(m_device.folder() / "sim.db").entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].entry.name, u"Zo\u00EB");
    EXPECT_EQ(entries[0].entry.number.digits(), u"03012345");
}

TEST_F(TelvaneProcess, AScriptDeletesTwoCheckedEntriesAndCopiesTwoOthers) {
    handset::CardFile card = handset::CardFile::open(m_device.folder() / "sim.db");
    for (const char16_t* name : {u"Anna", u"Ben", u"Cleo", u"Dora"}) {
        card.store(0, sim_entry(name, u"0301"), handset::EntryFields::all);
    }
    handset::StoreResult created;
    handset::ContactStore::create(m_device.folder() / "contacts.db", created);
    // The first two check boxes, the second item of the Menu (Delete), then the third and fourth
    // of what is left after the refill and the sixth item (Copy to Contacts).
    auto telvane = Start("wait class SysTreeView32\n"
                         "idle\n"
                         "tap 44 57\n"
                         "tap 44 83\n"
                         "key softkey2\n"
                         "wait class \"#32768\"\n"
                         "key down\nkey down\nkey return\n"
                         "wait class SysListView32\n"
                         "idle\n"
                         "key softkey1\n"
                         "expect-box \"Contact entry deleted.\"\n"
                         "answer\n"
                         "idle\n"
                         "tap 44 57\n"
                         "tap 44 83\n"
                         "key softkey2\n"
                         "wait class \"#32768\"\n"
                         "key down\nkey down\nkey down\nkey down\nkey down\nkey return\n"
                         "wait class SysListView32\n"
                         "idle\n"
                         "key softkey1\n"
                         "expect-box \"Contact entry copied.\"\n"
                         "answer\n"
                         "idle\n"
                         "close\n");
    EXPECT_EQ(telvane->wait_for_exit(kProcessWait), std::optional<int>(0)) << telvane->output();
    std::vector<std::u16string> names;
    for (const handset::StoredEntry& stored : card.entries()) {
        names.push_back(stored.entry.name);
    }
    EXPECT_EQ(names, (std::vector<std::u16string>{u"Cleo", u"Dora"}));
    handset::StoreResult opened;
    std::vector<handset::ContactRecord> contacts;
    handset::ContactStore::open(m_device.folder() / "contacts.db", opened)->list(contacts);
    ASSERT_EQ(contacts.size(), 2u);
    EXPECT_EQ(contacts[0][handset::ContactField::first_name], u"Cleo");
    EXPECT_EQ(contacts[1][handset::ContactField::first_name], u"Dora");
}
