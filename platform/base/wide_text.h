// Case-insensitive comparison of UTF-16 text, shared by lstrcmpiW and the registry's key names,
// and the value of a hexadecimal digit, shared by the readers of hexadecimal text.
#pragma once

#include <string>
#include <string_view>

namespace handset {

// The upper-case form of a character, for the scripts the handset's languages use: ASCII,
// Latin-1, Latin Extended-A, Greek, Cyrillic and the full-width Latin letters. Others are
// returned unchanged.
char16_t fold_case(char16_t c);

// The text with every character folded: equal for names that differ only in case.
std::u16string fold_text(std::u16string_view text);

// -1, 0 or 1, comparing the folded characters by value.
int compare_ignoring_case(std::u16string_view a, std::u16string_view b);

// 0 to 15 for 0-9, a-f and A-F; -1 for any other character.
int hex_digit_value(char16_t c);

} // namespace handset
