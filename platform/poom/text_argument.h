// Reads a text argument of the contacts objects. Callers pass BSTRs or plain wide buffers alike,
// so the text is read up to its terminator, never by a length prefix that a plain buffer lacks,
// and never further than the longest text a property may hold.
#pragma once

#include <windef.h>

#include <cstddef>
#include <string>

namespace handset {

// The longest text of a contact property, in characters.
inline constexpr size_t longest_property_text = 1023;

// False when the text is longer than longest_property_text. NULL reads as the empty string.
bool read_text_argument(const WCHAR* text, std::u16string& out);

} // namespace handset
