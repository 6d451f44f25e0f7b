// Text that came from a card, a store or a person, made safe to put in a line of a log or on a
// terminal: a control character in it would otherwise end the line early and forge the next one
// (the GSM alphabet has a line feed and a carriage return), or drive the terminal (an escape
// sequence). Such characters are written as escapes instead; everything else stays as it is, so
// that ordinary text, backslashes of registry paths included, reads as before.
#pragma once

#include <string>
#include <string_view>

namespace handset {

// utf8 with the C0 controls, DEL and the C1 controls escaped: \n, \r and \t by name, the other C0
// controls and DEL as \xHH, the C1 controls (which some terminals take as escapes too) as \uHHHH.
std::string visible_text(std::string_view utf8);

} // namespace handset
