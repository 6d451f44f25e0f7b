#include "text_output.h"

#include "base/utf.h"
#include "base/visible_text.h"

#include <cstdio>

namespace handsetctl {

namespace {

// Counts the bytes that start a UTF-8 sequence, which is one a character.
size_t characters_in(std::string_view text) {
    size_t count = 0;
    for (const char byte : text) {
        if ((static_cast<unsigned char>(byte) & 0xC0) != 0x80) {
            ++count;
        }
    }
    return count;
}

} // namespace

std::string utf8(std::u16string_view text) {
    return handset::utf16_to_utf8(text);
}

std::string shown(std::u16string_view text) {
    return handset::visible_text(utf8(text));
}

std::u16string utf16(std::string_view text) {
    return handset::utf8_to_utf16(text);
}

std::string padded(std::string_view text, size_t width) {
    std::string line(text);
    const size_t characters = characters_in(text);
    if (characters < width) {
        line.append(width - characters, ' ');
    }
    return line;
}

std::string hex_dword(DWORD value) {
    char text[11];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

std::string on_off(bool on) {
    return on ? "on" : "off";
}

} // namespace handsetctl
