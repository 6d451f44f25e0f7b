// Conversion between UTF-8 (files, fonts, the debug output, SQLite) and the UTF-16 text that the
// handset uses everywhere else. Both directions accept any input: each ill-formed piece becomes
// one U+FFFD, so text read from a damaged file still shows where it was damaged.
#pragma once

#include <string>
#include <string_view>

namespace handset {

// Ill-formed sequences are replaced by their maximal subparts, one U+FFFD each (the Unicode
// "best practice"): overlong forms, encoded surrogates, values past U+10FFFF, stray continuation
// bytes and sequences cut short.
std::u16string utf8_to_utf16(std::string_view utf8);

// False when utf8_to_utf16 would have to replace anything.
bool is_valid_utf8(std::string_view utf8);

// A surrogate without its partner becomes U+FFFD.
std::string utf16_to_utf8(std::u16string_view utf16);

} // namespace handset
