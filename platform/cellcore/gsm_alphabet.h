// The GSM 7-bit default alphabet and its extension table (3GPP TS 23.038), unpacked: one byte a
// character, and the escape byte 0x1B before each character of the extension table.
#pragma once

#include "cellcore/bytes.h"

#include <optional>
#include <string>
#include <string_view>

namespace handset {

inline constexpr uint8_t gsm_escape = 0x1B;

// The bytes for text, or nothing when a character has no place in the alphabet.
std::optional<Bytes> gsm_encode(std::u16string_view text);

// The character of a default-alphabet byte below 0x80 (not the escape).
char16_t gsm_basic_character(uint8_t code);

// The character that the escape followed by `code` stands for. Codes the extension table leaves
// unassigned show the default alphabet's character, as the alphabet asks receivers to do.
char16_t gsm_extension_character(uint8_t code);

} // namespace handset
