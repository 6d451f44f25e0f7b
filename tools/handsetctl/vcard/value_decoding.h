// Undoing what a 2.1 card may do to a value's bytes: quoted-printable transfer encoding and a
// character set other than UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vcard {

// "=XX" becomes the byte; an "=" that starts no such pair is kept as it is, as writers that
// forgot to encode a literal "=" are common. Soft line breaks are joined before this.
std::string decode_quoted_printable(std::string_view encoded);

// text in the character set named (any iconv knows: UTF-8, ISO-8859-1, ISO-8859-15,
// Windows-1252, ...) as UTF-8; nothing when the set is unknown or text is not in it.
std::optional<std::string> to_utf8(std::string_view text, std::string_view charset);

} // namespace vcard
