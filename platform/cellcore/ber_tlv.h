// The BER-TLV objects of a card's answers (ISO/IEC 7816-4): a tag of one or two bytes, a length
// in the short form or after 0x81/0x82, and the value. Cards pad with 0xFF after the last object,
// which ends the list.
#pragma once

#include "cellcore/bytes.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace handset {

struct Tlv {
    uint16_t tag; // a two-byte tag as its two bytes, first byte high
    ByteView value;
};

// The objects one after another, or nothing when one runs past the end of bytes.
std::optional<std::vector<Tlv>> parse_tlvs(ByteView bytes);

// The value of the first object with tag, if any.
std::optional<ByteView> find_tlv(const std::vector<Tlv>& objects, uint16_t tag);

} // namespace handset
