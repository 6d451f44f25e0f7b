// Telvane on a device whose card is reached through a modem: the card of a second device, served
// over AT by handsetctl on a pseudo-terminal. What the program lists, what it and another program
// of the same device write, and what happens when the modem goes away while the program reads.
#include "program_driver.h"
#include "program_process.h"
#include "tree_items.h"

#include "base/utf.h"
#include "cellcore/card_file.h"

#include <gmock/gmock.h>

#include <fstream>
#include <thread>

namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// A second device folder whose card handsetctl serves as a modem on a pseudo-terminal, once the
// test has filled the card.
class ServedDevice {
  public:
    ServedDevice() {
        std::string pattern = std::filesystem::temp_directory_path() / "telvane-modem-XXXXXX";
        m_folder = ::mkdtemp(pattern.data());
        handset::CardFile::create(m_folder / "sim.db", {});
    }
    ~ServedDevice() {
        m_server.reset();
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

    handset::CardFile card() { return handset::CardFile::open(m_folder / "sim.db"); }

    void serve(int baud) {
        m_server = std::make_unique<ProgramProcess>(
            std::vector<std::string>{HANDSETCTL_PROGRAM, "--device", m_folder.string(), "modem",
                                     "serve", "--pty", "--baud", std::to_string(baud)},
            m_folder / "serve-output.txt");
    }

    // The pseudo-terminal's path, once handsetctl has printed it.
    std::string port() {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (std::chrono::steady_clock::now() < deadline) {
            const std::string output = m_server->output();
            if (const size_t end = output.find('\n'); end != std::string::npos) {
                return output.substr(0, end);
            }
            std::this_thread::sleep_for(10ms);
        }
        ADD_FAILURE() << "handsetctl modem serve printed no port: " << m_server->output();
        return {};
    }

    // The modem unplugged: its end of the line closes.
    void unplug() { m_server.reset(); }

  private:
    std::filesystem::path m_folder;
    std::unique_ptr<ProgramProcess> m_server;
};

std::vector<std::u16string> names_on(handset::CardFile card) {
    std::vector<std::u16string> names;
    for (const handset::StoredEntry& stored : card.entries()) {
        names.push_back(stored.entry.name);
    }
    return names;
}

class TelvaneOnAModem : public ProgramTest {
  protected:
    void UseModem(ServedDevice& modem, int baud) {
        modem.serve(baud);
        m_device.set_string(u"Handset\\Card", u"Driver", u"modem");
        m_device.set_string(u"Handset\\Card", u"Port", handset::utf8_to_utf16(modem.port()));
        m_device.set_dword(u"Handset\\Card", u"Baud", static_cast<DWORD>(baud));
    }

    // handsetctl run on this device, as another program sharing the modem.
    int Handsetctl(const std::vector<std::string>& words, const std::string& name) {
        std::vector<std::string> arguments{HANDSETCTL_PROGRAM, "--device",
                                           m_device.folder().string()};
        arguments.insert(arguments.end(), words.begin(), words.end());
        ProgramProcess tool(arguments, m_device.folder() / (name + "-output.txt"));
        const std::optional<int> code = tool.wait_for_exit(30s);
        EXPECT_EQ(code, std::optional<int>(0)) << tool.output();
        return code.value_or(-1);
    }
};

} // namespace

TEST_F(TelvaneOnAModem, ListsTheServedCardAndHearsOfWhatAnotherProgramWritesThroughTheModem) {
    ServedDevice modem;
    {
        handset::CardFile card = modem.card();
        card.store(1, sim_entry(u"Zoë 陳", u"+4930123456"), handset::EntryFields::all);
        card.store(2, sim_entry(u"Anna", u"0301"), handset::EntryFields::all);
    }
    UseModem(modem, 115200);
    Start();
    EXPECT_THAT(Names(ReadTree(m_tree)), ElementsAre(u"Anna", u"Zoë 陳"));

    const std::filesystem::path card = m_device.folder() / "new.vcf";
    std::ofstream(card) << "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ben\r\nN:Ben;;;;\r\n"
                           "TEL:+49301234\r\nEND:VCARD\r\n";
    Handsetctl({"phonebook", "import", card.string()}, "import");
    EXPECT_TRUE(
        m_program->wait_until([&] { return Names(ReadTree(m_tree)).size() == 3; }, kProgramWait))
        << "the notification of the other program's write reaches the program";
    EXPECT_THAT(Names(ReadTree(m_tree)), ElementsAre(u"Anna", u"Ben", u"Zoë 陳"));
    EXPECT_THAT(names_on(modem.card()), ElementsAre(u"Zoë 陳", u"Anna", u"Ben"));
    CloseProgram();
}

TEST_F(TelvaneOnAModem, LeavesInOrderWhenTheModemGoesAwayWhileItReads) {
    // At 9600 baud 250 entries take seconds to read, so the line closes half-way.
    ServedDevice modem;
    {
        handset::CardFile card = modem.card();
        for (int slot = 1; slot <= 250; ++slot) {
            card.store(
                slot,
                sim_entry(u"Entry " + handset::utf8_to_utf16(std::to_string(slot)), u"+4930123456"),
                handset::EntryFields::all);
        }
    }
    UseModem(modem, 9600);
    m_program.start(m_device);
    ASSERT_TRUE(WaitForMainView());
    // The card service writes what it says to the modem into the device's debug output.
    ASSERT_TRUE(m_program->wait_until(
        [&] {
            std::ifstream log(m_device.folder() / "debug.log");
            const std::string text{std::istreambuf_iterator<char>(log), {}};
            return text.find("AT+CPBR=1,") != std::string::npos;
        },
        kProgramWait));
    modem.unplug();
    // Well within the 60 s a call may wait for the card service.
    EXPECT_EQ(m_program->wait_for_exit(handset::Milliseconds{30000}), std::optional<int>(0))
        << "the program hears that the radio went away and closes";
}

TEST_F(TelvaneOnAModem, AnEntryAddedInTheEditorOfTheProgramLandsOnTheServedCard) {
    ServedDevice modem;
    UseModem(modem, 115200);
    const std::filesystem::path script = m_device.folder() / "add-steps.txt";
    std::ofstream(script) << "wait class SysTreeView32\n"
                             "idle\n"
                             "key softkey1\n"
                             "wait id 604\n"
                             "type \"Zo\u00EB\"\n"
                             "tap id 608\n"
                             "type \"+49 30 123-45\"\n"
                             "key softkey1\n"
                             "idle\n"
                             "close\n";
    ProgramProcess telvane({TELVANE_PROGRAM, "--device", m_device.folder().string(), "--display",
                            "headless", "--script", script.string()},
                           m_device.folder() / "telvane-output.txt");
    EXPECT_EQ(telvane.wait_for_exit(30s), std::optional<int>(0)) << telvane.output();
    const std::vector<handset::StoredEntry> entries = modem.card().entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].entry.name, u"Zo\u00EB");
    EXPECT_EQ(entries[0].entry.number.text(), u"+493012345");
}
