// The link to a card that takes APDUs: a PC/SC reader, or a card simulated in a test. It carries
// commands and answers as they are; what they mean is the SIM channel's business.
//
// A transport is used by one thread at a time; the reader driver serialises its users.
#pragma once

#include "cellcore/bytes.h"

#include <cstdint>
#include <optional>

namespace handset {

struct ApduResponse {
    Bytes data;
    uint16_t status = 0; // SW1 SW2

    uint8_t sw1() const { return static_cast<uint8_t>(status >> 8); }
    uint8_t sw2() const { return static_cast<uint8_t>(status & 0xFF); }
};

class ApduTransport {
  public:
    virtual ~ApduTransport() = default;

    // The card's answer, or nothing when no answer came: the card was removed or reset, or the
    // reader is gone. It never waits for a card to come back.
    virtual std::optional<ApduResponse> transmit(ByteView command) = 0;
    // Whether a card sits in the reader now; cheap enough to ask every poll.
    virtual bool card_present() = 0;
    // Starts a new session with the card in the reader (after a removal or a reset); false when
    // there is none. Whatever the card had granted (a verified PIN) is gone afterwards.
    virtual bool reconnect() = 0;
};

} // namespace handset
