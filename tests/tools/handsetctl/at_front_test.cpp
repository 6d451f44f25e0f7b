// The AT front as a client sees it over a line (a socket pair here): the command set on the
// sample card and its states, the errors, the character sets, and input that is not a command.
#include "handsetctl_fixture.h"

#include "at_front.h"
#include "serial_line.h"

#include "cellcore/emulated_card.h"

#include <gmock/gmock.h>

#include <chrono>
#include <poll.h>
#include <sys/socket.h>
#include <thread>

namespace {

using handsetctl::AtFront;
using ::testing::HasSubstr;
using namespace std::string_literals;

// Far above what any answer takes; reaching it means the front never finished its answer.
constexpr int patience_ms = 10'000;

const volatile std::sig_atomic_t never = 0;

class AtFrontTest : public HandsetctlTest {
  protected:
    void SetUp() override {
        ok({"init"});
        int ends[2];
        ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
        m_client = ends[0];
        m_server = ends[1];
        m_card.emplace(device() / "sim.db");
        m_thread = std::thread([this] {
            handsetctl::SerialLine line(m_server, m_server, 0);
            AtFront front(*m_card, [&](std::string_view bytes) { line.write(bytes); });
            line.serve(front, never, nullptr);
        });
    }

    void TearDown() override {
        ::shutdown(m_client, SHUT_RDWR);
        m_thread.join();
        ::close(m_client);
        ::close(m_server);
        HandsetctlTest::TearDown();
    }

    void send(std::string_view bytes) {
        ASSERT_EQ(::send(m_client, bytes.data(), bytes.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(bytes.size()));
    }

    // Everything the front sends for a command line up to and including its final result code.
    std::string ask(const std::string& line) {
        send(line + "\r");
        std::string answer;
        while (!ends_with_final_result(answer)) {
            pollfd readable{m_client, POLLIN, 0};
            char buffer[4096];
            if (::poll(&readable, 1, patience_ms) != 1) {
                ADD_FAILURE() << "no final result for " << line << " after: " << answer;
                return answer;
            }
            const ssize_t got = ::recv(m_client, buffer, sizeof buffer, 0);
            if (got <= 0) {
                ADD_FAILURE() << "the line closed during " << line;
                return answer;
            }
            answer.append(buffer, static_cast<size_t>(got));
        }
        return answer;
    }

    // ask() without the echo, once echo is off.
    std::string quiet(const std::string& line) {
        if (!m_quiet) {
            ask("ATE0");
            m_quiet = true;
        }
        return ask(line);
    }

    static bool ends_with_final_result(const std::string& answer) {
        if (answer.size() < 4 || !answer.ends_with("\r\n")) {
            return false;
        }
        const size_t start = answer.rfind("\r\n", answer.size() - 3);
        const std::string last =
            start == std::string::npos ? "" : answer.substr(start + 2, answer.size() - start - 4);
        return last == "OK" || last == "ERROR" || last == "NO CARRIER" ||
               last.starts_with("+CME ERROR: ");
    }

    std::optional<handset::PhonebookEntry> entry(int slot) { return card().entry(slot); }

    int m_client = -1;
    int m_server = -1;
    bool m_quiet = false;
    std::optional<handset::EmulatedCard> m_card;
    std::thread m_thread;
};

TEST_F(AtFrontTest, EchoesWhatItReceivesUntilEchoIsOffAndResetRestoresIt) {
    EXPECT_EQ(ask("AT"), "AT\r\r\nOK\r\n");
    EXPECT_EQ(ask("ATE0"), "ATE0\r\r\nOK\r\n");
    EXPECT_EQ(ask("AT+CGMI"), "\r\nTelvane\r\n\r\nOK\r\n");
    EXPECT_EQ(ask("ATZ"), "\r\nOK\r\n");
    EXPECT_EQ(ask("at+gmi"), "at+gmi\r\r\nTelvane\r\n\r\nOK\r\n");
}

TEST_F(AtFrontTest, RunsTheCommandsOfALineInOrderAndStopsAtTheFirstThatFails) {
    EXPECT_EQ(quiet("AT+CMEE=1;+CPIN?;+CMEE?"), "\r\n+CPIN: READY\r\n\r\n+CMEE: 1\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CGMI;+NOSUCH;+CGMM"), "\r\nTelvane\r\n\r\nERROR\r\n");
    EXPECT_EQ(quiet("AT+SYNCML=?"), "\r\nERROR\r\n");
    EXPECT_EQ(quiet("ATE0 +CGSN"), "\r\n350000000000006\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPIN?+"), "\r\nERROR\r\n");
}

TEST_F(AtFrontTest, ReportsTheCardsStateAsAModemWithThatSim) {
    EXPECT_THAT(quiet("AT+CIMI"), HasSubstr("\r\n001010123456789\r\n"));
    ok({"sim", "lock", "pin"});
    EXPECT_EQ(quiet("AT+CPIN?"), "\r\n+CPIN: SIM PIN\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CLCK=\"SC\",2"), "\r\n+CLCK: 1\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPBR=1"), "\r\nERROR\r\n");
    quiet("AT+CMEE=1");
    EXPECT_EQ(quiet("AT+CPBR=1"), "\r\n+CME ERROR: 11\r\n");
    EXPECT_EQ(quiet("AT+CIMI"), "\r\n+CME ERROR: 11\r\n");
    ok({"sim", "lock", "puk"});
    EXPECT_EQ(quiet("AT+CPIN?"), "\r\n+CPIN: SIM PUK\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPBS?"), "\r\n+CME ERROR: 12\r\n");
    ok({"sim", "remove"});
    EXPECT_EQ(quiet("AT+CPIN?"), "\r\n+CME ERROR: 10\r\n");
    quiet("AT+CMEE=2");
    EXPECT_EQ(quiet("AT+CPIN?"), "\r\n+CME ERROR: SIM not inserted\r\n");
    ok({"sim", "insert"});
    ok({"sim", "lock", "none"});
    ok({"sim", "fdn", "on"});
    EXPECT_EQ(quiet("AT+CLCK=\"FD\",2"), "\r\n+CLCK: 1\r\n\r\nOK\r\n");
    ok({"radio", "off"});
    EXPECT_EQ(quiet("AT+CFUN?"), "\r\n+CFUN: 0\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CFUN=1"), "\r\n+CME ERROR: operation not allowed\r\n");
}

TEST_F(AtFrontTest, InjectedFaultsAnswerAsTheCardsFailures) {
    ok({"fault", "add", "read", "--slot", "2", "--nth", "1"});
    quiet("AT+CMEE=1");
    EXPECT_EQ(quiet("AT+CPBR=1,3"),
              "\r\n+CPBR: 1,\"333\",129,\"Mailbox\"\r\n\r\n+CME ERROR: 23\r\n");
    EXPECT_THAT(quiet("AT+CPBR=1,3"), HasSubstr("Office Berlin"));
}

TEST_F(AtFrontTest, ReadsRangesWithTheCardsSizesAndRefusesIndicesItDoesNotHave) {
    quiet("AT+CMEE=1");
    EXPECT_EQ(quiet("AT+CPBS=?"), "\r\n+CPBS: (\"SM\")\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPBS?"), "\r\n+CPBS: \"SM\",5,250\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPBS=\"ME\""), "\r\n+CME ERROR: 4\r\n");
    EXPECT_EQ(quiet("AT+CPBR=?"), "\r\n+CPBR: (1-250),20,14\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPBR=3,5"), "\r\n+CPBR: 3,\"+493012345678\",145,\"Office Berlin\"\r\n"
                                    "+CPBR: 4,\"0301112233\",129,\"Pizza Roma\"\r\n"
                                    "+CPBR: 5,\"0612345678\",129,\"Dad\"\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPBR=6"), "\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPBR=0"), "\r\n+CME ERROR: 21\r\n");
    EXPECT_EQ(quiet("AT+CPBR=1,0"), "\r\n+CME ERROR: 21\r\n");
    EXPECT_EQ(quiet("AT+CPBR=240,251"), "\r\n+CME ERROR: 21\r\n");
    EXPECT_EQ(quiet("AT+CPBR=99999999999"), "\r\n+CME ERROR: 21\r\n");
    EXPECT_EQ(quiet("AT+CPBF=\"piz\""),
              "\r\n+CPBF: 4,\"0301112233\",129,\"Pizza Roma\"\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPBF=\"Zed\""), "\r\n+CME ERROR: 22\r\n");
}

TEST_F(AtFrontTest, ShowsTheExtendedFieldsOfAUsimPhonebook) {
    ok({"init", "--profile", "usim"});
    EXPECT_EQ(quiet("AT+CPBR=?"), "\r\n+CPBR: (1-250),20,14,0,0,40\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPBR=2"), "\r\n+CPBR: 2,\"01701234567\",129,\"Anna Berger\",0,\"\","
                                  "\"030123456\",129,\"\",\"anna@example.org\"\r\n\r\nOK\r\n");
    quiet("AT+CPBW=4,\"0301112233\",129,\"Pizza Roma\",,\"+3955\",145,,\"pizza@example.it\"");
    const handset::PhonebookEntry pizza = entry(4).value();
    EXPECT_EQ(pizza.additional_number->text(), u"+3955");
    EXPECT_EQ(pizza.email, u"pizza@example.it");
    quiet("AT+CPBW=4,\"0301112234\",129,\"Pizza Roma\"");
    EXPECT_EQ(entry(4)->email, u"pizza@example.it") << "a plain write keeps the extended fields";
}

TEST_F(AtFrontTest, CarriesNamesInEachCharacterSetAndNumbersAsDigits) {
    quiet("AT+CMEE=1");
    EXPECT_EQ(quiet("AT+CSCS?"), "\r\n+CSCS: \"IRA\"\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CSCS=\"UCS2\""), "\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPBW=10,\"+4930123\",129,\"005A006F00EB\""), "\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPBW=11,\"0221\",145,\"9673\""), "\r\nOK\r\n");
    EXPECT_EQ(entry(10)->name, u"Zoë");
    EXPECT_EQ(entry(10)->number.text(), u"+4930123");
    EXPECT_EQ(entry(11)->name, u"陳");
    EXPECT_EQ(entry(11)->number.text(), u"+0221") << "type 145 makes the number international";
    EXPECT_EQ(quiet("AT+CPBR=10,11"), "\r\n+CPBR: 10,\"+4930123\",145,\"005A006F00EB\"\r\n"
                                      "+CPBR: 11,\"+0221\",145,\"9673\"\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPBW=12,\"1\",129,\"5A6\""), "\r\n+CME ERROR: 25\r\n");

    quiet("AT+CSCS=\"GSM\"");
    EXPECT_EQ(quiet("AT+CPBR=10"), "\r\n+CPBR: 10,\"+4930123\",145,\"Zo?\"\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPBW=12,\"1\",129,\"a\0b\x1B\x65\""s), "\r\nOK\r\n");
    EXPECT_EQ(entry(12)->name, u"a@b€");
    EXPECT_EQ(quiet("AT+CPBW=13,\"1\",129,\"\xC3\xA9\""), "\r\n+CME ERROR: 25\r\n");

    quiet("AT+CSCS=\"IRA\"");
    EXPECT_EQ(quiet("AT+CPBR=11,12"), "\r\n+CPBR: 11,\"+0221\",145,\"?\"\r\n"
                                      "+CPBR: 12,\"1\",129,\"a@b?\"\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CSCS=\"HEX\""), "\r\n+CME ERROR: 4\r\n");
}

TEST_F(AtFrontTest, WritesTheFirstFreeSlotDeletesAndRefusesWhatTheCardCannotHold) {
    quiet("AT+CMEE=1");
    ok({"sim", "profile", "--slots", "7"});
    EXPECT_EQ(quiet("AT+CPBW=,\"123\",129,\"Six\""), "\r\nOK\r\n");
    EXPECT_EQ(entry(6)->name, u"Six");
    EXPECT_EQ(quiet("AT+CPBW=2"), "\r\nOK\r\n");
    EXPECT_FALSE(entry(2));
    EXPECT_EQ(quiet("AT+CPBW=2"), "\r\nOK\r\n") << "deleting an empty slot is no error";
    EXPECT_EQ(quiet("AT+CPBW=,\"124\",129,\"Two\""), "\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPBW=,\"125\",129,\"Seven\""), "\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPBW=,\"126\",129,\"Eight\""), "\r\n+CME ERROR: 20\r\n");
    EXPECT_EQ(quiet("AT+CPBW=8,\"126\",129,\"Eight\""), "\r\n+CME ERROR: 21\r\n");
    EXPECT_EQ(quiet("AT+CPBW=1,\"126\",129,\"Fifteen letters\""), "\r\n+CME ERROR: 24\r\n");
    EXPECT_EQ(quiet("AT+CPBW=1,\"123456789012345678901\",129,\"A\""), "\r\n+CME ERROR: 26\r\n");
    EXPECT_EQ(quiet("AT+CPBW=1,\"12a\",129,\"A\""), "\r\n+CME ERROR: 27\r\n");
    EXPECT_EQ(quiet("AT+CPBW=1,\"1\",129,\"A\",,\"2\""), "\r\n+CME ERROR: 50\r\n");
    EXPECT_EQ(entry(1)->name, u"Mailbox") << "a refused write leaves the slot as it was";
    EXPECT_EQ(quiet("AT+CPBW=?"), "\r\n+CPBW: (1-7),20,(129,145),14\r\n\r\nOK\r\n");
}

TEST_F(AtFrontTest, DialsVoiceCallsIntoTheCardsCallLog) {
    quiet("AT+CMEE=1");
    EXPECT_EQ(quiet("ATDT+49 30 123,4;"), "\r\nOK\r\n");
    EXPECT_EQ(quiet("ATD>3;"), "\r\nOK\r\n");
    EXPECT_EQ(quiet("ATD>9;"), "\r\n+CME ERROR: 22\r\n");
    EXPECT_EQ(quiet("ATD12x;"), "\r\n+CME ERROR: 27\r\n");
    EXPECT_EQ(quiet("ATD123456789012345678901;"), "\r\n+CME ERROR: 26\r\n");
    EXPECT_EQ(quiet("ATD123"), "\r\nNO CARRIER\r\n") << "a data call";
    ok({"radio", "off"});
    EXPECT_EQ(quiet("ATD123;"), "\r\nNO CARRIER\r\n");
    const std::vector<handset::CallRecord> calls = card().calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].number, u"+4930123p4");
    EXPECT_EQ(calls[1].number, u"+493012345678");
    EXPECT_EQ(calls[1].name, u"Office Berlin");
}

TEST_F(AtFrontTest, KeepsTheClockAClientSets) {
    EXPECT_EQ(quiet("AT+CCLK=\"26/12/08,17:42:26+08\""), "\r\nOK\r\n");
    EXPECT_THAT(quiet("AT+CCLK?"), HasSubstr("+CCLK: \"26/12/08,17:42:"));
    EXPECT_THAT(quiet("AT+CCLK?"), HasSubstr("+08\""));
    EXPECT_EQ(quiet("AT+CCLK=\"26/13/08,17:42:26+00\""), "\r\nERROR\r\n");
}

TEST_F(AtFrontTest, SurvivesGarbageOverlongLinesAndBinaryBytes) {
    quiet("AT");
    send("\x1b\r");
    send("hello\r");
    std::string binary;
    for (int byte = 0; byte < 256; ++byte) {
        binary.push_back(static_cast<char>(byte == '\r' ? 0 : byte));
    }
    send(binary + binary);
    EXPECT_EQ(ask("AT"), "\r\nOK\r\n") << "what comes before AT is dropped";
    send(std::string(100'000, 'A'));
    EXPECT_EQ(ask("T"), "\r\nERROR\r\n") << "a line longer than any command";
    send("garbageAT+CGMX");
    EXPECT_EQ(ask("\bI"), "\r\nTelvane\r\n\r\nOK\r\n") << "the command after the garbage";
    EXPECT_EQ(ask("AT+CPBW=1,\"12"), "\r\nERROR\r\n") << "an unclosed quote";
    EXPECT_EQ(ask("AT"), "\r\nOK\r\n");
}

} // namespace
