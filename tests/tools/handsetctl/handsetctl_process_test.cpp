// handsetctl as another process, as people and scripts run it: its exit codes, and its changes
// reaching a program that has the card open with notifications.
#include "handsetctl_fixture.h"

#include <simmgr.h>

#include <gmock/gmock.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

using ::testing::HasSubstr;

// Far above the half second a change takes to arrive; reaching it means it never came.
constexpr auto patience = std::chrono::seconds(10);

class HandsetctlProcessTest : public HandsetctlTest {
  protected:
    // Runs the program with its output in files of the test's folder (or standard output to
    // the file named), and nothing to read on its standard input.
    Outcome spawn(std::vector<std::string> arguments, const std::string& output = {}) {
        arguments.insert(arguments.begin(), {HANDSETCTL, "--device", device().string()});
        const std::string out = output.empty() ? (m_folder.path() / "out").string() : output;
        const std::string err = (m_folder.path() / "err").string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        pid_t pid = -1;
        const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        if (spawned != 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
            ADD_FAILURE() << "handsetctl did not run to its end";
            return {-1, {}, {}};
        }
        return {WEXITSTATUS(status), output.empty() ? m_folder.read("out") : std::string(),
                m_folder.read("err")};
    }
};

TEST_F(HandsetctlProcessTest, OutputThatCannotBeWrittenAndEmptyInputAreFailures) {
    EXPECT_EQ(spawn({"init"}).code, 0);
    const Outcome full = spawn({"phonebook", "list"}, "/dev/full");
    EXPECT_EQ(full.code, 1);
    EXPECT_EQ(full.err, "handsetctl: cannot write to the standard output\n");
    const Outcome exported = spawn({"sim", "export-adn", "-"}, "/dev/full");
    EXPECT_EQ(exported.code, 1);
    const Outcome imported = spawn({"sim", "import-adn", "-"});
    EXPECT_EQ(imported.code, 1);
    EXPECT_THAT(imported.err, HasSubstr("cannot import standard input: there is no EF_ADN record"));
    EXPECT_THAT(spawn({"phonebook", "list"}).out, HasSubstr("5 of 250 slots used"));
}

TEST_F(HandsetctlProcessTest, ExitsWithZeroOneOrTwoAndSaysWhy) {
    EXPECT_EQ(spawn({"init"}).code, 0);
    const Outcome listed = spawn({"phonebook", "list"});
    EXPECT_EQ(listed.code, 0);
    EXPECT_THAT(listed.out, HasSubstr("Office Berlin"));

    const Outcome failed = spawn({"phonebook", "delete", "249"});
    EXPECT_EQ(failed.code, 1);
    EXPECT_EQ(failed.err, "handsetctl: slot 249 is empty\n");

    const Outcome misused = spawn({"phonebook", "delete", "x"});
    EXPECT_EQ(misused.code, 2);
    EXPECT_THAT(misused.err, HasSubstr("INDEX must be a number, not 'x'"));
    EXPECT_THAT(misused.err, HasSubstr("usage: handsetctl"));
    EXPECT_TRUE(misused.out.empty());
}

// What the callback of the test's SIM handle received. The callback's parameter is 32 bits wide,
// too narrow for an address, so the callback finds the recorder through a global.
class Notifications {
  public:
    void record(DWORD code, const void* data, DWORD size) {
        DWORD slot = 0;
        if (data != nullptr && size == sizeof(SIMPBECHANGE)) {
            slot = static_cast<const SIMPBECHANGE*>(data)->dwEntry;
        }
        std::lock_guard lock(m_mutex);
        m_seen.emplace_back(code, slot);
        m_changed.notify_all();
    }

    bool wait_for(DWORD code, DWORD slot) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, patience, [&] {
            return std::find(m_seen.begin(), m_seen.end(), std::pair(code, slot)) != m_seen.end();
        });
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::pair<DWORD, DWORD>> m_seen;
};

Notifications* g_notifications = nullptr;

void record_notification(DWORD code, const void* data, DWORD size, DWORD) {
    g_notifications->record(code, data, size);
}

TEST_F(HandsetctlProcessTest, ChangesReachAProgramThatHasTheCardOpenWithNotifications) {
    ASSERT_EQ(spawn({"init"}).code, 0);
    handset::set_device_folder(device());
    Notifications notifications;
    g_notifications = &notifications;
    HSIM sim{};
    ASSERT_EQ(SimInitialize(SIM_INIT_SIMCARD_NOTIFICATIONS, record_notification, 0, &sim), S_OK);

    ASSERT_EQ(spawn({"phonebook", "add", "Newcomer", "0123"}).code, 0);
    EXPECT_TRUE(notifications.wait_for(SIM_NOTIFY_PBE_STORED, 6));
    ASSERT_EQ(spawn({"phonebook", "delete", "6"}).code, 0);
    EXPECT_TRUE(notifications.wait_for(SIM_NOTIFY_PBE_DELETED, 6));
    ASSERT_EQ(spawn({"radio", "off"}).code, 0);
    EXPECT_TRUE(notifications.wait_for(SIM_NOTIFY_RADIOOFF, 0));

    EXPECT_EQ(SimDeinitialize(sim), S_OK);
}

HRESULT read_slot(HSIM sim, DWORD slot) {
    SIMPHONEBOOKENTRY entry{};
    entry.cbSize = sizeof entry;
    return SimReadPhonebookEntry(sim, SIM_PBSTORAGE_SIM, slot, &entry);
}

TEST_F(HandsetctlProcessTest, AFaultItSetsStrikesTheNextCallOfAProgramAlreadyRunning) {
    ASSERT_EQ(spawn({"init"}).code, 0);
    handset::set_device_folder(device());
    HSIM sim{};
    ASSERT_EQ(SimInitialize(SIM_INIT_NONE, nullptr, 0, &sim), S_OK);
    ASSERT_EQ(read_slot(sim, 1), S_OK);

    ASSERT_EQ(spawn({"fault", "add", "read", "--slot", "1", "--nth", "1"}).code, 0);
    EXPECT_EQ(read_slot(sim, 1), SIM_E_MEMORYFAILURE);
    EXPECT_EQ(read_slot(sim, 1), S_OK);
    ASSERT_EQ(spawn({"fault", "add", "card-removed"}).code, 0);
    DWORD state = 0;
    EXPECT_EQ(SimGetPhoneLockedState(sim, &state), SIM_E_SIMNOTINSERTED);
    EXPECT_THAT(spawn({"fault", "list"}).out,
                HasSubstr("phonebook read of slot 1 #1 answers 0x88000343 (counted 1, struck 1)"));

    ASSERT_EQ(spawn({"fault", "clear"}).code, 0);
    EXPECT_EQ(SimGetPhoneLockedState(sim, &state), S_OK);
    EXPECT_EQ(SimDeinitialize(sim), S_OK);
}

} // namespace
