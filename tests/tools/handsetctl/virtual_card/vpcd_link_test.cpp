// handsetctl card serve against a stand-in for vpcd: a TCP server of the test's that speaks the
// virtual reader's side of the line. The card must find the reader however late it starts, answer
// its controls and commands, come back after the reader drops it, and leave on SIGTERM.
#include "../../../platform/base/temporary_folder.h"
#include "../../../support/program_process.h"

#include "vpcd_link.h"

#include "cellcore/card_file.h"
#include "cellcore/hex_text.h"

#include <gmock/gmock.h>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

namespace {

using namespace std::chrono_literals;
using handset::Bytes;

class FakeReader {
  public:
    FakeReader() {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int on = 1;
        ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), size);
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size);
        m_port = ntohs(address.sin_port);
    }
    ~FakeReader() {
        drop();
        ::close(m_listener);
    }

    uint16_t port() const { return m_port; }
    void listen() { ::listen(m_listener, 1); }

    bool accept(std::chrono::milliseconds limit) {
        pollfd waiting{m_listener, POLLIN, 0};
        if (::poll(&waiting, 1, static_cast<int>(limit.count())) != 1) {
            return false;
        }
        m_card = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        return m_card >= 0;
    }

    void drop() {
        if (m_card >= 0) {
            ::close(m_card);
            m_card = -1;
        }
    }

    // Sends a message and reads the card's answer.
    Bytes exchange(const Bytes& payload) {
        Bytes message{static_cast<uint8_t>(payload.size() >> 8),
                      static_cast<uint8_t>(payload.size())};
        message += payload;
        ::send(m_card, message.data(), message.size(), MSG_NOSIGNAL);
        const Bytes header = read(2);
        return header.size() == 2 ? read(static_cast<size_t>(header[0] << 8 | header[1])) : Bytes();
    }

    void control(uint8_t code) {
        const uint8_t message[] = {0, 1, code};
        ::send(m_card, message, sizeof message, MSG_NOSIGNAL);
    }

  private:
    Bytes read(size_t count) {
        Bytes bytes;
        while (bytes.size() < count) {
            pollfd waiting{m_card, POLLIN, 0};
            uint8_t buffer[512];
            if (::poll(&waiting, 1, 5000) != 1) {
                break;
            }
            const ssize_t got =
                ::recv(m_card, buffer, std::min(sizeof buffer, count - bytes.size()), 0);
            if (got <= 0) {
                break;
            }
            bytes.append(buffer, static_cast<size_t>(got));
        }
        return bytes;
    }

    int m_listener = -1;
    int m_card = -1;
    uint16_t m_port = 0;
};

bool says_in_reader(const ProgramProcess& serve) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (std::chrono::steady_clock::now() < deadline) {
        if (serve.output().find("in the virtual reader") != std::string::npos) {
            return true;
        }
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

} // namespace

TEST(VpcdAddressTest, TakesAPortAloneOrAfterAHost) {
    EXPECT_EQ(handsetctl::parse_vpcd_address("40123")->text(), "127.0.0.1:40123");
    EXPECT_EQ(handsetctl::parse_vpcd_address("reader.local:1")->text(), "reader.local:1");
    EXPECT_EQ(handsetctl::parse_vpcd_address("::1:35963")->host, "::1");
    for (const char* wrong : {"", "0", "65536", "x:", ":35963", "35963x", "-1"}) {
        EXPECT_FALSE(handsetctl::parse_vpcd_address(wrong)) << wrong;
    }
}

TEST(VpcdLinkTest, TheCardFindsALateReaderAnswersItComesBackAfterADropAndLeavesOnSigterm) {
    TemporaryFolder folder;
    handset::CardFile::create(folder.path() / "sim.db", {});
    FakeReader reader;
    ProgramProcess serve({HANDSETCTL, "--device", folder.path().string(), "card", "serve", "--vpcd",
                          std::to_string(reader.port())},
                         folder.path() / "serve.log");
    // The card is already trying when the reader starts listening.
    std::this_thread::sleep_for(300ms);
    reader.listen();
    ASSERT_TRUE(reader.accept(3s)) << serve.output();
    ASSERT_TRUE(says_in_reader(serve)) << serve.output();
    reader.control(1);
    EXPECT_EQ(handset::to_hex(reader.exchange({4})), "3B0B54656C76616E652053494D");
    EXPECT_EQ(handset::to_hex(reader.exchange({0xA0, 0xA4, 0, 0, 2, 0x7F, 0x10})), "9F16");

    reader.drop();
    ASSERT_TRUE(reader.accept(3s)) << serve.output();
    EXPECT_EQ(handset::to_hex(reader.exchange({0x00, 0xA4, 0, 0x0C, 2, 0x3F, 0x00})), "6E00");

    handset::CardFile::open(folder.path() / "sim.db").update_state([](handset::CardState& state) {
        state.present = false;
    });
    EXPECT_TRUE(reader.exchange({0xA0, 0xA4, 0, 0, 2, 0x3F, 0x00}).empty());
    serve.signal(SIGTERM);
    EXPECT_EQ(serve.wait_for_exit(3s), 0) << serve.output();
}

TEST(VpcdLinkTest, ThePinComesFromThePinFile) {
    TemporaryFolder folder;
    handset::CardFile::create(folder.path() / "sim.db", {})
        .update_state([](handset::CardState& state) { state.lock = handset::PinLock::pin; });
    folder.write("pin", "4321\n");
    FakeReader reader;
    reader.listen();
    ProgramProcess serve({HANDSETCTL, "--device", folder.path().string(), "card", "serve",
                          "--pin-file", (folder.path() / "pin").string(), "--vpcd",
                          std::to_string(reader.port())},
                         folder.path() / "serve.log");
    ASSERT_TRUE(reader.accept(3s)) << serve.output();
    const Bytes verify{0xA0, 0x20, 0x00, 0x01, 0x08};
    EXPECT_EQ(handset::to_hex(
                  reader.exchange(verify + Bytes{'0', '0', '0', '0', 0xFF, 0xFF, 0xFF, 0xFF})),
              "9804");
    EXPECT_EQ(handset::to_hex(
                  reader.exchange(verify + Bytes{'4', '3', '2', '1', 0xFF, 0xFF, 0xFF, 0xFF})),
              "9000");
}
