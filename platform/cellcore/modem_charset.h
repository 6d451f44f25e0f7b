// The modem's character set for the text in AT commands and replies (AT+CSCS):
//   UCS2  each character as four hexadecimal digits of its UTF-16 code (big-endian);
//   GSM   the GSM default alphabet, a byte a character, the escape before extension characters;
//   IRA   ASCII.
// Names are sent and read in it. Numbers are digits in every set, except that some modems also
// send them as UCS2 hex while the set is UCS2 ("002B0034..." for "+4..."), which decode_number
// recognises.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace handset {

enum class ModemCharset { ucs2, gsm, ira };

// The name AT+CSCS uses.
const char* charset_name(ModemCharset charset);

// The quoted string constant for text, escapes included, ready for a command line; nothing when
// a character has no place in the set.
std::optional<std::string> quoted_text(std::u16string_view text, ModemCharset charset);

// A string constant for text of plain ASCII (numbers), escapes included.
std::string quoted_ascii(std::string_view text);

// Text as the modem sent it (its escapes resolved by the reply parser). What does not decode in
// the set is read as UTF-8, so a modem that answers in another set still shows something.
std::u16string decode_text(std::string_view text, ModemCharset charset);

// A number as the modem sent it, in UCS2 hex or as digits.
std::string decode_number(std::string_view text, ModemCharset charset);

} // namespace handset
