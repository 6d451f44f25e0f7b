// PIN1 as the user types it and as the card takes it: 4 to 8 decimal digits, sent in an 8-byte
// field padded with 0xFF (ETSI TS 102 221, 3GPP TS 51.011).
#pragma once

#include "cellcore/bytes.h"

#include <string_view>

namespace handset {

bool well_formed_pin(std::u16string_view pin);

// The VERIFY data for a well-formed pin.
Bytes padded_pin(std::u16string_view pin);

} // namespace handset
