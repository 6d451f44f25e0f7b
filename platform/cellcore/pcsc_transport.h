// The APDU transport over a PC/SC reader (pcsc-lite). The reader is chosen by name: its full
// name, the start of it (pcscd adds slot numbers: "Virtual PCD" finds "Virtual PCD 00 00"), or
// any part of it, ignoring case; "auto" takes the first reader that holds a card, looked for
// again at each reconnection (CardDriverConfig::any_reader). The card is shared with other programs
// (SCARD_SHARE_SHARED), in T=0 or T=1 as the card offers.
//
// A card that was removed or reset answers nothing: transmit() gives up at once and the caller
// reconnects. The PC/SC calls never block waiting for a card.
#pragma once

#include "cellcore/apdu_transport.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace handset {

class PcscTransport final : public ApduTransport {
  public:
    // Nothing (with a debug line) when the PC/SC service cannot be reached.
    static std::unique_ptr<PcscTransport> open(std::string reader);
    ~PcscTransport() override;
    PcscTransport(const PcscTransport&) = delete;
    PcscTransport& operator=(const PcscTransport&) = delete;

    std::optional<ApduResponse> transmit(ByteView command) override;
    bool card_present() override;
    bool reconnect() override;

  private:
    PcscTransport(intptr_t context, std::string reader);

    std::vector<std::string> reader_names();
    bool holds_card(const std::string& name);
    std::string first_with_card(const std::vector<std::string>& names);
    // The reader to use now; empty when none matches.
    std::string chosen_reader();
    void disconnect();

    intptr_t m_context;
    std::string m_wanted;
    std::string m_reader;
    intptr_t m_card = 0;
    unsigned long m_protocol = 0;
    std::string m_complaint;
};

// The reader among names that wanted names: its full name, else the first whose name starts
// with it, else the first that holds it, ignoring case; empty when none does.
std::string match_reader(const std::vector<std::string>& names, const std::string& wanted);

} // namespace handset
