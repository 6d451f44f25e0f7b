// How handsetctl prints: UTF-8 text, columns padded by characters rather than bytes.
#pragma once

#include <windef.h>

#include <string>
#include <string_view>

namespace handsetctl {

std::string utf8(std::u16string_view text);
// Text read from the card, the store or the registry, as it may be printed: its control
// characters escaped, so that a name cannot forge a line of the listing or drive the terminal.
std::string shown(std::u16string_view text);
std::u16string utf16(std::string_view text);

// text followed by spaces up to width characters, or text as it is when it is as wide already.
std::string padded(std::string_view text, size_t width);

// "0x0000ABCD".
std::string hex_dword(DWORD value);

std::string on_off(bool on);

} // namespace handsetctl
