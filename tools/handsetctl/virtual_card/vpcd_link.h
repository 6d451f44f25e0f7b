// The virtual card's line to the virtual reader of vsmartcard's vpcd driver, which pcscd loads:
// the card connects as a TCP client to the port vpcd listens on. Every message either way is a
// two-byte big-endian length and its payload. A payload of one byte from vpcd is a control (power
// off, power on, reset, or a request for the ATR, answered with the ATR); a longer one is a
// command, answered with the response data and status word.
//
// vpcd listens only while pcscd runs, and pcscd may start after the card, or restart: the link
// tries again every retry_interval until it is told to stop. A card the emulated card says is
// out of its slot is out of the reader: the link is closed until the card is back.
#pragma once

#include "virtual_sim.h"

#include <chrono>
#include <csignal>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace handsetctl {

struct VpcdAddress {
    static constexpr uint16_t default_port = 35963;

    std::string host = "127.0.0.1";
    uint16_t port = default_port;

    std::string text() const { return host + ":" + std::to_string(port); }
};

// [[HOST:]PORT]; nothing when it names no port.
std::optional<VpcdAddress> parse_vpcd_address(std::string_view text);

class VpcdLink {
  public:
    static constexpr std::chrono::milliseconds retry_interval{200};

    // Says on out when the card is in the reader.
    VpcdLink(VirtualSim& card, VpcdAddress address, std::ostream& out);
    ~VpcdLink();
    VpcdLink(const VpcdLink&) = delete;
    VpcdLink& operator=(const VpcdLink&) = delete;

    // Serves the card until a signal sets stop. The signals that may set it are blocked by the
    // caller and let in only while the link waits, with the mask during_wait, so that none is
    // lost between a look at stop and the wait.
    void serve(const volatile std::sig_atomic_t& stop, const sigset_t* during_wait);

  private:
    bool connect();
    void disconnect();
    // Waits for vpcd's next bytes, or the retry interval; whether there are bytes to read.
    bool wait(const sigset_t* during_wait);
    // Reads what vpcd sent and answers every whole message in it; false when the line ended.
    bool receive();
    void acknowledge_at_once();
    bool answer(handset::ByteView payload);
    bool send(handset::ByteView payload);

    VirtualSim& m_card;
    VpcdAddress m_address;
    std::ostream& m_out;
    int m_socket = -1;
    handset::Bytes m_received;
};

} // namespace handsetctl
