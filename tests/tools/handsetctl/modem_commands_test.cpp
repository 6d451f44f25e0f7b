// handsetctl modem serve as AT clients use it: Debian's gammu reads and writes the device's card
// through the pseudo-terminal and finds what handsetctl lists, and a script talks to it over
// standard input and output.
#include "handsetctl_fixture.h"

#include "../../support/spawn_program.h"

#include <gmock/gmock.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <sys/wait.h>
#include <thread>

namespace {

using ::testing::HasSubstr;
using namespace std::chrono_literals;

// Far above what gammu needs for a card of 250 slots; reaching it means a side hung.
constexpr auto patience = 30s;

constexpr const char* gammu = "/usr/bin/gammu";

// Waits for a process to end, killing it at the deadline; its exit code, or -1 when it had to be
// killed or did not exit.
int wait_for(pid_t pid, std::chrono::steady_clock::duration limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(20ms);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct Entry {
    std::string name;
    std::string number;
    friend bool operator==(const Entry&, const Entry&) = default;
};

std::ostream& operator<<(std::ostream& out, const Entry& entry) {
    return out << entry.name << " " << entry.number;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The value of a gammu line such as 'Name                 : "Zoë"'.
std::string quoted_value(const std::string& line) {
    const size_t open = line.find('"');
    return line.substr(open + 1, line.rfind('"') - open - 1);
}

// gammu getallmemory's entries by location.
std::map<int, Entry> gammu_entries(const std::string& output) {
    std::map<int, Entry> entries;
    int location = 0;
    for (const std::string& line : lines_of(output)) {
        if (line.starts_with("Memory SM, Location ")) {
            location = std::stoi(line.substr(20));
        } else if (line.starts_with("Name ")) {
            entries[location].name = quoted_value(line);
        } else if (line.starts_with("General number ")) {
            entries[location].number = quoted_value(line);
        }
    }
    return entries;
}

// handsetctl phonebook list's entries by slot: the slot in four columns, the name padded to
// twenty, and the number after two spaces.
std::map<int, Entry> listed_entries(const std::string& listing) {
    std::map<int, Entry> entries;
    const std::vector<std::string> lines = lines_of(listing);
    for (size_t at = 1; at < lines.size(); ++at) {
        const std::string& line = lines[at];
        const size_t number_at = line.rfind("  ") + 2;
        std::string name = line.substr(4, number_at - 6);
        name.erase(name.find_last_not_of(' ') + 1);
        entries[std::stoi(line.substr(0, 4))] = {name, line.substr(number_at)};
    }
    return entries;
}

class ModemServeTest : public HandsetctlTest {
  protected:
    void SetUp() override {
        ASSERT_EQ(::access(gammu, X_OK), 0)
            << gammu << " is missing: scripts/bootstrap installs the gammu package";
        ok({"init"});
    }

    void TearDown() override {
        if (m_server > 0) {
            ::kill(m_server, SIGKILL);
            ::waitpid(m_server, nullptr, 0);
        }
        if (m_server_output >= 0) {
            ::close(m_server_output);
        }
        HandsetctlTest::TearDown();
    }

    // Starts the server on a pseudo-terminal and points a gammu configuration at it.
    void serve() {
        int ends[2];
        ASSERT_EQ(::pipe(ends), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, ends[0]);
        m_server = SpawnProgram(
            {HANDSETCTL, "--device", device().string(), "modem", "serve", "--pty"}, actions);
        posix_spawn_file_actions_destroy(&actions);
        ::close(ends[1]);
        m_server_output = ends[0];
        ASSERT_GT(m_server, 0);
        const std::string path = server_line();
        ASSERT_TRUE(path.starts_with("/dev/pts/")) << path;
        m_folder.write("gammurc", "[gammu]\nconnection = at\ndevice = " + path + "\n");
    }

    // The first line the server prints, read within the patience.
    std::string server_line() {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + patience;
        char character = 0;
        while (character != '\n' && std::chrono::steady_clock::now() < deadline) {
            pollfd readable{m_server_output, POLLIN, 0};
            if (::poll(&readable, 1, 100) == 1 && ::read(m_server_output, &character, 1) == 1 &&
                character != '\n') {
                line.push_back(character);
            }
        }
        return line;
    }

    Outcome run_gammu(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {gammu, "-c", (m_folder.path() / "gammurc").string()});
        return run_program(arguments, "/dev/null");
    }

    // Runs a program with its output in files of the test's folder.
    Outcome run_program(const std::vector<std::string>& arguments, const std::string& input) {
        const std::string out = (m_folder.path() / "out").string();
        const std::string err = (m_folder.path() / "err").string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        const pid_t pid = SpawnProgram(arguments, actions);
        posix_spawn_file_actions_destroy(&actions);
        const int code = pid > 0 ? wait_for(pid, patience) : -1;
        EXPECT_NE(code, -1) << arguments[0] << " " << arguments.back() << " did not finish";
        return {code, m_folder.read("out"), m_folder.read("err")};
    }

    std::map<int, Entry> listed() { return listed_entries(ok({"phonebook", "list"})); }

    pid_t m_server = -1;
    int m_server_output = -1;
};

TEST_F(ModemServeTest, GammuIdentifiesTheModemAndItsSim) {
    serve();
    const Outcome identified = run_gammu({"--identify"});
    EXPECT_EQ(identified.code, 0) << identified.out << identified.err;
    EXPECT_THAT(identified.out, HasSubstr("Manufacturer         : Telvane"));
    EXPECT_THAT(identified.out, HasSubstr("IMEI                 : 350000000000006"));
    EXPECT_THAT(identified.out, HasSubstr("SIM IMSI             : 001010123456789"));
}

TEST_F(ModemServeTest, GammuReadsEveryEntryHandsetctlLists) {
    ok({"phonebook", "add", "Zoë", "+4915112345678", "--index", "17"});
    ok({"phonebook", "add", "陳", "+886212345678", "--index", "250"});
    serve();
    const Outcome read = run_gammu({"getallmemory", "SM"});
    EXPECT_EQ(read.code, 0) << read.err;
    const std::map<int, Entry> listing = listed();
    ASSERT_EQ(listing.size(), 7u);
    EXPECT_EQ(listing.at(17), (Entry{"Zoë", "+4915112345678"}));
    EXPECT_EQ(gammu_entries(read.out), listing) << read.out;
}

TEST_F(ModemServeTest, GammuAddsAndDeletesEntriesThatHandsetctlThenLists) {
    ok({"phonebook", "delete", "2"});
    m_folder.write("new.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Zoë\r\nTEL:+4915112345678\r\n"
                              "END:VCARD\r\nBEGIN:VCARD\r\nVERSION:3.0\r\nN:陳\r\n"
                              "TEL:0221987654\r\nEND:VCARD\r\n");
    serve();
    const Outcome added =
        run_gammu({"addnew", (m_folder.path() / "new.vcf").string(), "-yes", "-memory", "SM"});
    EXPECT_EQ(added.code, 0) << added.out << added.err;
    std::map<int, Entry> listing = listed();
    EXPECT_EQ(listing.at(2), (Entry{"Zoë", "+4915112345678"})) << "the first free slot";
    EXPECT_EQ(listing.at(6), (Entry{"陳", "0221987654"}));

    const Outcome deleted = run_gammu({"deletememory", "SM", "3"});
    EXPECT_EQ(deleted.code, 0) << deleted.err;
    listing = listed();
    EXPECT_EQ(listing.count(3), 0u);
    EXPECT_EQ(listing.size(), 5u);
    EXPECT_EQ(gammu_entries(run_gammu({"getallmemory", "SM"}).out), listing);
}

TEST_F(ModemServeTest, EndsCleanlyOnSigterm) {
    serve();
    ASSERT_EQ(::kill(m_server, SIGTERM), 0);
    EXPECT_EQ(wait_for(m_server, patience), 0);
    m_server = -1;
}

TEST_F(ModemServeTest, ServesStandardInputUntilItEnds) {
    m_folder.write("commands", "ATE0\rAT+CMEE=1;+CPBS?\rAT+CPBR=251\r");
    const Outcome served = run_program(
        {HANDSETCTL, "--device", device().string(), "modem", "serve", "--baud", "115200"},
        (m_folder.path() / "commands").string());
    EXPECT_EQ(served.code, 0) << served.err;
    EXPECT_EQ(served.out,
              "ATE0\r\r\nOK\r\n\r\n+CPBS: \"SM\",5,250\r\n\r\nOK\r\n\r\n+CME ERROR: 21\r\n");
}

TEST_F(ModemServeTest, RefusesBothLinesAtOnceAndADeviceWithoutACard) {
    EXPECT_EQ(run({"modem", "serve", "--pty", "--stdio"}).code, handsetctl::exit_usage);
    EXPECT_EQ(run({"modem", "serve", "--baud", "0"}).code, handsetctl::exit_usage);
    std::filesystem::remove(device() / "sim.db");
    const Outcome missing = run({"modem", "serve"});
    EXPECT_EQ(missing.code, handsetctl::exit_failed);
}

} // namespace
