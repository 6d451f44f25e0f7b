// Shared by the codec tests: records written as hex, as SIM tools and the tests print them.
#pragma once

#include "cellcore/hex_text.h"

#include <string>

inline handset::Bytes hex_bytes(const std::string& text) {
    return handset::from_hex(text).value();
}

inline std::string hex_of(const handset::Bytes& bytes) {
    return handset::to_hex(bytes);
}
