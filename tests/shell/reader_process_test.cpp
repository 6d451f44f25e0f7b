// Telvane on a device whose card sits in a smart-card reader: the emulated USIM of a second
// device, served by handsetctl in the virtual reader of a pcscd of the test's own. What the
// program lists (second numbers and e-mails included), what it writes, and what happens when the
// card leaves the reader while the program reads.
#include "pcsc_daemon.h"
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
using ::testing::Pair;

// A second device whose USIM handsetctl puts into the virtual reader of a private pcscd, once the
// test has filled the card.
class CardInReader {
  public:
    explicit CardInReader(int slots = 250) : m_daemon(m_folder) {
        handset::CardProfile profile = extended_profile();
        profile.slots = slots;
        handset::CardFile::create(m_folder / "sim.db", profile);
    }
    ~CardInReader() {
        m_server.reset();
        m_daemon.stop();
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

    handset::CardFile card() { return handset::CardFile::open(m_folder / "sim.db"); }

    // False, with the reason in the test's failures, when there is no reader to serve in.
    bool serve() {
        if (!m_daemon.started()) {
            ADD_FAILURE() << "no private pcscd: " << m_daemon.problem();
            return false;
        }
        m_daemon.use_in_this_process();
        m_server = std::make_unique<ProgramProcess>(
            std::vector<std::string>{HANDSETCTL_PROGRAM, "--device", m_folder.string(), "card",
                                     "serve", "--vpcd", std::to_string(m_daemon.vpcd_port())},
            m_folder / "serve-output.txt");
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (std::chrono::steady_clock::now() < deadline) {
            if (m_server->output().find("in the virtual reader") != std::string::npos) {
                EXPECT_TRUE(m_daemon.wait_for_card(10s)) << "pcscd never saw the card";
                return true;
            }
            std::this_thread::sleep_for(10ms);
        }
        ADD_FAILURE() << "handsetctl card serve did not reach the reader: " << m_server->output();
        return false;
    }

    std::string reader_name() const { return m_daemon.reader_name(); }

  private:
    static std::filesystem::path make_folder() {
        std::string pattern = std::filesystem::temp_directory_path() / "telvane-reader-XXXXXX";
        return ::mkdtemp(pattern.data());
    }

    std::filesystem::path m_folder = make_folder();
    PcscDaemon m_daemon;
    std::unique_ptr<ProgramProcess> m_server;
};

handset::PhonebookEntry extended_entry(std::u16string name, std::u16string_view number,
                                       std::u16string_view number2, std::u16string email) {
    handset::PhonebookEntry entry = sim_entry(std::move(name), number);
    entry.additional_number = *handset::DiallingNumber::parse(number2);
    entry.email = std::move(email);
    return entry;
}

std::vector<std::u16string> FieldTexts(const Item& entry) {
    std::vector<std::u16string> texts;
    for (const Item& child : entry.children) {
        texts.push_back(child.text);
    }
    return texts;
}

class TelvaneOnAReader : public ProgramTest {
  protected:
    bool UseReader(CardInReader& reader) {
        if (!reader.serve()) {
            return false;
        }
        m_device.card(extended_profile());
        m_device.set_dword(u"Software\\Nemora\\Telvane\\", u"USIMSupport", 1);
        m_device.set_string(u"Handset\\Card", u"Driver", u"reader");
        m_device.set_string(u"Handset\\Card", u"Reader",
                            handset::utf8_to_utf16(reader.reader_name()));
        return true;
    }
};

} // namespace

TEST_F(TelvaneOnAReader, ListsTheCardsEntriesWithTheirSecondNumbersAndEmails) {
    CardInReader reader;
    {
        handset::CardFile card = reader.card();
        card.store(1, extended_entry(u"Zoë 陳", u"+4930123456", u"0177", u"zoe@example.org"),
                   handset::EntryFields::all);
        card.store(2, sim_entry(u"Anna", u"0301"), handset::EntryFields::all);
    }
    ASSERT_TRUE(UseReader(reader));
    Start();
    const std::vector<Item> tree = ReadTree(m_tree);
    ASSERT_THAT(Names(tree), ElementsAre(u"Anna", u"Zoë 陳"));
    EXPECT_THAT(FieldTexts(tree[0]), ElementsAre(u"0301"));
    EXPECT_THAT(FieldTexts(tree[1]), ElementsAre(u"+4930123456", u"0177", u"zoe@example.org"));
    CloseProgram();
}

TEST_F(TelvaneOnAReader, AnEntryAddedInTheEditorLandsOnTheCardWithItsSecondNumberAndEmail) {
    CardInReader reader;
    ASSERT_TRUE(UseReader(reader));
    const std::filesystem::path script = m_device.folder() / "add-steps.txt";
    std::ofstream(script) << "wait class SysTreeView32\n"
                             "idle\n"
                             "key softkey1\n"
                             "wait id 604\n"
                             "type \"Zo\u00EB\"\n"
                             "tap id 608\n"
                             "type \"+49 30 123-45\"\n"
                             "tap id 610\n"
                             "type \"01775\"\n"
                             "key tab\n"
                             "type \"zoe@example.org\"\n"
                             "key softkey1\n"
                             "idle\n"
                             "close\n";
    ProgramProcess telvane({TELVANE_PROGRAM, "--device", m_device.folder().string(), "--display",
                            "headless", "--script", script.string()},
                           m_device.folder() / "telvane-output.txt");
    EXPECT_EQ(telvane.wait_for_exit(30s), std::optional<int>(0)) << telvane.output();
    const std::vector<handset::StoredEntry> entries = reader.card().entries();
    ASSERT_EQ(entries.size(), 1u);
    const handset::PhonebookEntry& entry = entries[0].entry;
    EXPECT_EQ(entry.name, u"Zo\u00EB");
    EXPECT_EQ(entry.number.text(), u"+493012345");
    ASSERT_TRUE(entry.additional_number.has_value());
    EXPECT_EQ(entry.additional_number->text(), u"01775");
    EXPECT_EQ(entry.email, std::optional<std::u16string>(u"zoe@example.org"));
}

TEST_F(TelvaneOnAReader, FinishesItsFillAndStaysInUseWhenTheCardIsTakenOutWhileItReads) {
    CardInReader reader;
    {
        handset::CardFile card = reader.card();
        for (int slot = 1; slot <= 250; ++slot) {
            card.store(slot,
                       extended_entry(u"Entry " + handset::utf8_to_utf16(std::to_string(slot)),
                                      u"+4930123456", u"0177", u"entry@example.org"),
                       handset::EntryFields::all);
        }
    }
    ASSERT_TRUE(UseReader(reader));
    m_program.start(m_device);
    m_tree = WaitForMainView();
    ASSERT_TRUE(m_tree);
    reader.card().update_state([](handset::CardState& state) { state.present = false; });
    EXPECT_TRUE(WaitForFill())
        << "the reads after the card has gone fail at once and the fill ends";
    EXPECT_LT(ReadTree(m_tree).size(), 250u);
    CloseProgram();
}
