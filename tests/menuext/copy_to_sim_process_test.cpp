// "Copy to SIM" as a person uses it: the Contacts application on a device made by handsetctl,
// which registers Quorrel, worked by a script, with Telvane running beside it.
#include "cellcore/card_file.h"
#include "program_process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr std::chrono::milliseconds kProcessWait{30000};

// Holds the first contact, picks the fourth item (Copy to SIM), Select All (the sixth of the
// Menu) and Copy, and leaves by Go Back (the last).
const char kCopyAllScript[] = "wait class SysListView32\n"
                              "idle\n"
                              "hold 60 60\n"
                              "wait class \"#32768\"\n"
                              "key down\nkey down\nkey down\nkey down\nkey return\n"
                              "wait class SysTreeView32\n"
                              "idle\n"
                              "key softkey2\n"
                              "wait class \"#32768\"\n"
                              "key down\nkey down\nkey down\nkey down\nkey down\nkey return\n"
                              "idle\n"
                              "key softkey1\n"
                              "expect-box \"%s\"\n"
                              "answer\n"
                              "idle\n"
                              "key softkey2\n"
                              "wait class \"#32768\"\n"
                              "key up\nkey return\n"
                              "idle\n"
                              "close\n";

class CopyToSimProcess : public ::testing::Test {
  protected:
    CopyToSimProcess() {
        std::string pattern = std::filesystem::temp_directory_path() / "quorrel-process-XXXXXX";
        m_folder = ::mkdtemp(pattern.data());
        // In English whatever the desktop's locale, as the texts below are.
        Handsetctl({"init", "--language", "0x0409"});
    }

    ~CopyToSimProcess() override { std::filesystem::remove_all(m_folder); }

    void Handsetctl(std::vector<std::string> words) {
        words.insert(words.begin(), {HANDSETCTL, "--device", m_folder.string()});
        ProgramProcess tool(words, m_folder / "handsetctl-output.txt");
        ASSERT_EQ(tool.wait_for_exit(kProcessWait), std::optional<int>(0)) << tool.output();
    }

    std::optional<int> RunContacts(const std::string& expected_box) {
        const std::filesystem::path script = m_folder / "copy-all.txt";
        std::string steps = kCopyAllScript;
        steps.replace(steps.find("%s"), 2, expected_box);
        std::ofstream(script) << steps;
        ProgramProcess contacts({CONTACTS_PROGRAM, "--device", m_folder.string(), "--display",
                                 "headless", "--script", script.string()},
                                m_folder / "contacts-output.txt");
        std::optional<int> code = contacts.wait_for_exit(kProcessWait);
        m_output = contacts.output();
        return code;
    }

    std::vector<handset::StoredEntry> Card() {
        return handset::CardFile::open(m_folder / "sim.db").entries();
    }

    std::vector<std::string> DebugLog() {
        std::ifstream file(m_folder / "debug.log");
        std::vector<std::string> lines;
        for (std::string line; std::getline(file, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    std::filesystem::path m_folder;
    std::string m_output;
};

} // namespace

TEST_F(CopyToSimProcess, EveryNumberOfTheSampleContactsReachesTheCardAndARunningTelvane) {
    Handsetctl({"sim", "profile", "--name-bytes", "40"});
    Handsetctl({"phonebook", "clear"});
    ProgramProcess telvane(
        {TELVANE_PROGRAM, "--device", m_folder.string(), "--display", "headless"},
        m_folder / "telvane-output.txt");
    EXPECT_EQ(RunContacts("Successfully copied Contacts to SIM card."), std::optional<int>(0))
        << m_output;
    std::vector<handset::StoredEntry> card = Card();
    ASSERT_EQ(card.size(), 11u);
    EXPECT_EQ(card[0].entry.name, u"Berger,Anna");
    // Telvane read each new slot as its notification came.
    const auto deadline = std::chrono::steady_clock::now() + kProcessWait;
    auto telvane_read_all = [&] {
        std::vector<std::string> lines = DebugLog();
        return std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
                   return line.find("Telvane <RD_INFO>: SIM_ReadPBEntry: #") != std::string::npos;
               }) >= 11;
    };
    while (!telvane_read_all() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_TRUE(telvane_read_all());
}

// On the default card of 14 bytes the Greek sample name does not fit: the copy stops there with
// its box, and the numbers written before it stay.
TEST_F(CopyToSimProcess, ANameTheCardRefusesStopsTheCopyAndKeepsWhatWasWritten) {
    Handsetctl({"phonebook", "clear"});
    EXPECT_EQ(RunContacts("\u03a0\u03b1\u03c0\u03b1\u03b4\u03bf\u03c0\u03bf\u03cd\u03bb\u03bf"
                          "\u03c5,\u0395\u03bb\u03ad\u03bd\u03b7 Save error!\\nFailed to save the "
                          "entry to SIM card!"),
              std::optional<int>(0))
        << m_output;
    EXPECT_EQ(Card().size(), 8u);
}
