// The whole way from a PC/SC client to sim.db: a private pcscd with vpcd's reader, handsetctl card
// serve in it, and Debian's pcsc-tools as the clients. pcsc_scan must see the card and its ATR,
// and scriptor must read EF_ADN's first record as the card stores it.
#include "../../../platform/base/temporary_folder.h"
#include "../../../support/pcsc_daemon.h"
#include "../../../support/program_process.h"

#include "cellcore/card_file.h"

#include <gmock/gmock.h>

namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;

// A program's output with its spaces and line breaks taken out, as scriptor breaks its lines.
std::string squeezed(std::string text) {
    std::erase_if(text, [](char c) { return c == ' ' || c == '\n'; });
    return text;
}

bool wait_for_output(const ProgramProcess& program, std::string_view text) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (std::chrono::steady_clock::now() < deadline) {
        if (program.output().find(text) != std::string::npos) {
            return true;
        }
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

class CardServePcscTest : public ::testing::Test {
  protected:
    void SetUp() override {
        handset::CardFile card = handset::CardFile::create(device() / "sim.db", {});
        card.store(1, {u"Mailbox", handset::DiallingNumber::parse(u"333").value(), {}, {}},
                   handset::EntryFields::all);
        m_daemon.emplace(m_folder.path());
        ASSERT_TRUE(m_daemon->started()) << "no private pcscd here: " << m_daemon->problem();
        m_daemon->use_in_this_process();
        m_serve.emplace(std::vector<std::string>{HANDSETCTL, "--device", device().string(), "card",
                                                 "serve", "--vpcd",
                                                 std::to_string(m_daemon->vpcd_port())},
                        m_folder.path() / "serve.log");
        ASSERT_TRUE(wait_for_output(*m_serve, "in the virtual reader")) << m_serve->output();
    }

    std::filesystem::path device() const { return m_folder.path(); }

    // Runs a pcsc-tools program to its end (killed after 8 s), its standard input from a file.
    std::string run(const std::vector<std::string>& arguments, const std::string& input = {}) {
        m_folder.write("input", input);
        ProgramProcess program(arguments, m_folder.path() / "tool.log", m_folder.path() / "input");
        EXPECT_TRUE(program.wait_for_exit(8s).has_value()) << program.output();
        return program.output();
    }

    // pcscd looks at its readers a few times a second, so a card that has just come may not be
    // in its reader yet for a client that does not wait for it, as scriptor does not.
    std::string run_scriptor(const std::string& script) {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        std::string answer;
        do {
            answer = run({"/usr/bin/scriptor", "-r", m_daemon->reader_name()}, script);
        } while (answer.find("No smartcard inserted") != std::string::npos &&
                 std::chrono::steady_clock::now() < deadline);
        return answer;
    }

    TemporaryFolder m_folder;
    std::optional<PcscDaemon> m_daemon;
    std::optional<ProgramProcess> m_serve;
};

} // namespace

TEST_F(CardServePcscTest, PcscScanSeesTheCardAndItsAtr) {
    const std::string scan = run({"/usr/bin/pcsc_scan", "-n", "-t", "1"});
    EXPECT_THAT(scan, HasSubstr(m_daemon->reader_name()));
    EXPECT_THAT(scan, HasSubstr("3B 0B 54 65 6C 76 61 6E 65 20 53 49 4D"));
}

TEST_F(CardServePcscTest, ScriptorReadsTheStoredFirstAdnRecord) {
    const std::string stored = handset::CardFile::open(device() / "sim.db").export_adn().front();
    const std::string script = "A0 A4 00 00 02 7F 10\nA0 A4 00 00 02 6F 3A\nA0 B2 01 04 1C\n";
    std::ostringstream expected;
    expected << "<" << stored << "9000";
    const std::string answer = run_scriptor(script);
    EXPECT_THAT(squeezed(answer), HasSubstr(expected.str())) << answer;
}
