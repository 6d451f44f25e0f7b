// The character sets an AT client picks with +CSCS for the text fields of the phonebook: names and
// e-mail addresses travel in one of them, numbers always as plain digits.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace handsetctl {

enum class AtCharset {
    ira,  // the international reference alphabet: ASCII
    gsm,  // the GSM 7-bit default alphabet, a byte a character, escapes for its extension table
    ucs2, // four hexadecimal digits a UTF-16 code unit
};

// The set a +CSCS name stands for (any case), or nothing for a set this front does not offer.
std::optional<AtCharset> charset_named(std::string_view name);
std::string_view charset_name(AtCharset charset);

// text as the set writes it inside a quoted field. A character the set cannot show, and one that
// would end the field or the line (a quote, CR, LF), is sent as '?': a reply is never cut short.
std::string encode_text(std::u16string_view text, AtCharset charset);

// The text of a quoted field, or nothing when its bytes are not text in the set.
std::optional<std::u16string> decode_text(std::string_view field, AtCharset charset);

} // namespace handsetctl
