#include "vpcd_link.h"

#include <cerrno>
#include <charconv>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace handsetctl {

namespace {

constexpr uint8_t power_off = 0;
constexpr uint8_t power_on = 1;
constexpr uint8_t reset_card = 2;
constexpr uint8_t get_atr = 4;
constexpr size_t length_size = 2;

std::optional<uint16_t> parse_port(std::string_view text) {
    unsigned port = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (error != std::errc() || end != text.data() + text.size() || port == 0 || port > 65535) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(port);
}

int connect_to(const VpcdAddress& address) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(address.host.c_str(), std::to_string(address.port).c_str(), &hints, &found) !=
        0) {
        return -1;
    }
    int connected = -1;
    for (addrinfo* at = found; at && connected < 0; at = at->ai_next) {
        const int candidate = ::socket(at->ai_family, at->ai_socktype | SOCK_CLOEXEC, 0);
        if (candidate >= 0 && ::connect(candidate, at->ai_addr, at->ai_addrlen) == 0) {
            connected = candidate;
        } else if (candidate >= 0) {
            ::close(candidate);
        }
    }
    ::freeaddrinfo(found);
    return connected;
}

} // namespace

std::optional<VpcdAddress> parse_vpcd_address(std::string_view text) {
    VpcdAddress address;
    const size_t colon = text.rfind(':');
    if (colon != std::string_view::npos) {
        address.host = std::string(text.substr(0, colon));
        text.remove_prefix(colon + 1);
    }
    std::optional<uint16_t> port = parse_port(text);
    if (!port || address.host.empty()) {
        return std::nullopt;
    }
    address.port = *port;
    return address;
}

VpcdLink::VpcdLink(VirtualSim& card, VpcdAddress address, std::ostream& out)
    : m_card(card), m_address(std::move(address)), m_out(out) {}

VpcdLink::~VpcdLink() {
    disconnect();
}

void VpcdLink::serve(const volatile std::sig_atomic_t& stop, const sigset_t* during_wait) {
    while (!stop) {
        if (!m_card.follow_card()) {
            disconnect();
        } else if (m_socket < 0 && connect()) {
            m_out << "the card is in the virtual reader at " << m_address.text() << std::endl;
        }
        if (wait(during_wait) && !receive()) {
            disconnect();
        }
    }
}

bool VpcdLink::connect() {
    m_socket = connect_to(m_address);
    if (m_socket < 0) {
        return false;
    }
    m_received.clear();
    m_card.reset();
    return true;
}

void VpcdLink::disconnect() {
    if (m_socket >= 0) {
        ::close(m_socket);
        m_socket = -1;
    }
}

bool VpcdLink::wait(const sigset_t* during_wait) {
    const auto interval = std::chrono::duration_cast<std::chrono::nanoseconds>(retry_interval);
    const timespec timeout{0, static_cast<long>(interval.count())};
    pollfd line{m_socket, POLLIN, 0};
    const int ready = ::ppoll(&line, m_socket >= 0 ? 1 : 0, &timeout, during_wait);
    return ready > 0;
}

bool VpcdLink::receive() {
    uint8_t buffer[4096];
    const ssize_t got = ::recv(m_socket, buffer, sizeof buffer, 0);
    acknowledge_at_once();
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
        return true;
    }
    if (got <= 0) {
        return false;
    }
    m_received.append(buffer, static_cast<size_t>(got));
    while (m_received.size() >= length_size) {
        const size_t length = static_cast<size_t>(m_received[0] << 8 | m_received[1]);
        if (m_received.size() < length_size + length) {
            break;
        }
        const handset::Bytes payload = m_received.substr(length_size, length);
        m_received.erase(0, length_size + length);
        if (!answer(payload)) {
            return false;
        }
    }
    return true;
}

// vpcd writes a command's length and its bytes separately, so with delayed acknowledgements the
// bytes would wait for our acknowledgement of the length (Nagle's rule on its side): some 40 ms
// for every command. The kernel falls back to delaying them, so this is asked after every read.
void VpcdLink::acknowledge_at_once() {
    const int on = 1;
    ::setsockopt(m_socket, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
}

bool VpcdLink::answer(handset::ByteView payload) {
    if (payload.size() != 1) {
        // The card may have left its slot since the last look; then it answers nothing more.
        return m_card.follow_card() && send(m_card.respond(payload));
    }
    switch (payload[0]) {
    case power_off:
    case power_on:
    case reset_card:
        m_card.reset();
        return true;
    case get_atr:
        return send(VirtualSim::atr());
    default:
        return true;
    }
}

bool VpcdLink::send(handset::ByteView payload) {
    handset::Bytes message{static_cast<uint8_t>(payload.size() >> 8),
                           static_cast<uint8_t>(payload.size() & 0xFF)};
    message += payload;
    handset::ByteView rest(message);
    while (!rest.empty()) {
        const ssize_t sent = ::send(m_socket, rest.data(), rest.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent <= 0) {
            return false;
        }
        rest.remove_prefix(static_cast<size_t>(sent));
    }
    return true;
}

} // namespace handsetctl
