// How DrawText breaks and places text, apart from any pixels: prefix marks, line breaks, word
// wrapping, tab stops and the end ellipsis. The measure of a character comes from the caller, so
// the rules can be checked with made-up widths.
#pragma once

#include <windef.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace handset {

struct TextLine {
    std::u32string chars; // what to draw; line breaks and other control characters are gone
    std::vector<int> x;   // where each character starts, from the line's left edge
    int width = 0;
    int underlined = -1; // the character a "&" prefix marks, or -1
};

struct TextLayoutRules {
    UINT format = 0;   // DT_* flags
    int box_width = 0; // the rectangle's width, for DT_WORDBREAK and DT_END_ELLIPSIS
    int tab_width = 0; // tab stops for DT_EXPANDTABS
};

using CharMeasure = std::function<int(char32_t)>;

// UTF-16 to code points; a surrogate without its partner becomes U+FFFD.
std::u32string decode_utf16(std::u16string_view text);

// Always at least one line: empty text is one empty line, as tall as any other.
std::vector<TextLine> lay_out_text(std::u16string_view text, const TextLayoutRules& rules,
                                   const CharMeasure& advance);

} // namespace handset
