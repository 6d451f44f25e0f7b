// A command to the card as a reader sends it: the four header bytes, the data of Lc bytes and the
// length Le of the answer it expects. Only short commands: nothing a SIM holds needs more.
#pragma once

#include "cellcore/bytes.h"

#include <cstdint>
#include <optional>

namespace handsetctl {

struct Apdu {
    uint8_t cla = 0;
    uint8_t ins = 0;
    uint8_t p1 = 0;
    uint8_t p2 = 0;
    handset::Bytes data;
    // Nothing when no answer is expected; 256 when Le is 00 (as much as there is).
    std::optional<size_t> le;
};

// The command in the bytes, or nothing when they form none: fewer than four bytes, an extended
// length, or an Lc that the bytes do not carry.
std::optional<Apdu> parse_apdu(handset::ByteView bytes);

// An answer: its data, then the status word.
struct CardReply {
    handset::Bytes data;
    uint16_t status;

    handset::Bytes bytes() const;
};

} // namespace handsetctl
