// The alpha identifier of a SIM phonebook record (3GPP TS 51.011, §10.5.1 and annex B): a name in
// a field of fixed size, padded with 0xFF. A name is held in the GSM default alphabet when that
// alphabet gives it back exactly, otherwise as UCS2 code units after the byte 0x80. E-mail
// addresses of the extended phonebook use the same coding.
#pragma once

#include "cellcore/gsm_alphabet.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace handset {

// The bytes that text takes before padding.
Bytes alpha_bytes(std::u16string_view text);

// The padded field, or nothing when text does not fit field_size bytes or holds U+FFFF (which
// the UCS2 coding reserves for padding).
std::optional<Bytes> encode_alpha(std::u16string_view text, size_t field_size);

// The text of a field in any of the three codings (GSM, UCS2 after 0x80, and the compressed UCS2
// forms after 0x81 and 0x82), or nothing when the bytes do not form one.
std::optional<std::u16string> decode_alpha(ByteView field);

} // namespace handset
