#include "cellcore/modem_charset.h"

#include "base/utf.h"
#include "cellcore/gsm_alphabet.h"
#include "cellcore/hex_text.h"

#include <algorithm>

namespace handset {

namespace {

// Bytes that cannot stand for themselves in a string constant: the quote ends it, the backslash
// starts an escape, and the line-ending and other control bytes would end or garble the command.
bool needs_escape(uint8_t byte) {
    return byte < 0x20 || byte == '"' || byte == '\\' || byte == 0x7F;
}

std::string quoted_bytes(ByteView bytes) {
    std::string text = "\"";
    for (uint8_t byte : bytes) {
        if (needs_escape(byte)) {
            text += "\\" + to_hex(ByteView(&byte, 1));
        } else {
            text.push_back(static_cast<char>(byte));
        }
    }
    return text + "\"";
}

ByteView bytes_of(std::string_view text) {
    return ByteView(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

std::optional<std::u16string> ucs2_text(std::string_view hex) {
    std::optional<Bytes> bytes = from_hex(hex);
    if (!bytes || bytes->size() % 2 != 0) {
        return std::nullopt;
    }
    std::u16string text;
    for (size_t i = 0; i < bytes->size(); i += 2) {
        text.push_back(static_cast<char16_t>((*bytes)[i] << 8 | (*bytes)[i + 1]));
    }
    return text;
}

std::u16string gsm_text(std::string_view bytes) {
    std::u16string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<uint8_t>(bytes[i]);
        if (byte == gsm_escape && i + 1 < bytes.size()) {
            text.push_back(gsm_extension_character(static_cast<uint8_t>(bytes[++i]) & 0x7F));
        } else {
            text.push_back(gsm_basic_character(byte));
        }
    }
    return text;
}

bool is_dial_character(char16_t c) {
    return (c >= u'0' && c <= u'9') || c == u'*' || c == u'#' || c == u'+';
}

} // namespace

const char* charset_name(ModemCharset charset) {
    switch (charset) {
    case ModemCharset::ucs2:
        return "UCS2";
    case ModemCharset::gsm:
        return "GSM";
    case ModemCharset::ira:
        return "IRA";
    }
    return "IRA";
}

std::optional<std::string> quoted_text(std::u16string_view text, ModemCharset charset) {
    switch (charset) {
    case ModemCharset::ucs2: {
        Bytes bytes;
        for (char16_t c : text) {
            bytes.push_back(static_cast<uint8_t>(c >> 8));
            bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        }
        return "\"" + to_hex(bytes) + "\"";
    }
    case ModemCharset::gsm: {
        std::optional<Bytes> bytes = gsm_encode(text);
        return bytes ? std::optional(quoted_bytes(*bytes)) : std::nullopt;
    }
    case ModemCharset::ira:
        if (!std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; })) {
            return std::nullopt;
        }
        return quoted_ascii(utf16_to_utf8(text));
    }
    return std::nullopt;
}

std::string quoted_ascii(std::string_view text) {
    return quoted_bytes(bytes_of(text));
}

std::u16string decode_text(std::string_view text, ModemCharset charset) {
    switch (charset) {
    case ModemCharset::ucs2:
        if (std::optional<std::u16string> decoded = ucs2_text(text)) {
            return *decoded;
        }
        break;
    case ModemCharset::gsm:
        return gsm_text(text);
    case ModemCharset::ira:
        break;
    }
    return utf8_to_utf16(text);
}

// Only groups of four hex digits that all decode to dialling characters count as UCS2: a number
// of plain digits such as "0049" would otherwise be misread. Plain numbers of 4n digits made only
// of such groups ("0031") would be too, but no dialled number has that shape.
std::string decode_number(std::string_view text, ModemCharset charset) {
    if (charset != ModemCharset::ucs2 || text.size() < 4 || text.size() % 4 != 0) {
        return std::string(text);
    }
    std::optional<std::u16string> decoded = ucs2_text(text);
    if (!decoded || !std::all_of(decoded->begin(), decoded->end(), is_dial_character)) {
        return std::string(text);
    }
    return utf16_to_utf8(*decoded);
}

} // namespace handset
