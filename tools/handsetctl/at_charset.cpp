#include "at_charset.h"
#include "at_command.h"

#include "cellcore/gsm_alphabet.h"
#include "cellcore/hex_text.h"

#include <array>

namespace handsetctl {

namespace {

constexpr std::array<std::pair<std::string_view, AtCharset>, 3> names{{
    {"IRA", AtCharset::ira},
    {"GSM", AtCharset::gsm},
    {"UCS2", AtCharset::ucs2},
}};

constexpr char replacement = '?';

bool breaks_field(uint8_t byte) {
    return byte == '"' || byte == '\r' || byte == '\n';
}

void append_ira(std::string& out, char16_t character) {
    const bool printable = character >= 0x20 && character < 0x7F && character != u'"';
    out.push_back(printable ? static_cast<char>(character) : replacement);
}

void append_gsm(std::string& out, char16_t character) {
    const std::optional<handset::Bytes> bytes = handset::gsm_encode({&character, 1});
    bool usable = bytes.has_value();
    for (uint8_t byte : bytes.value_or(handset::Bytes{})) {
        usable = usable && !breaks_field(byte);
    }
    if (!usable) {
        out.push_back(replacement);
        return;
    }
    out.append(bytes->begin(), bytes->end());
}

void append_ucs2(std::string& out, char16_t character) {
    const uint8_t bytes[] = {static_cast<uint8_t>(character >> 8),
                             static_cast<uint8_t>(character & 0xFF)};
    out += handset::to_hex(handset::ByteView(bytes, sizeof bytes));
}

std::optional<std::u16string> decode_ira(std::string_view field) {
    std::u16string text;
    for (char byte : field) {
        if (static_cast<uint8_t>(byte) >= 0x80) {
            return std::nullopt;
        }
        text.push_back(static_cast<char16_t>(byte));
    }
    return text;
}

std::optional<std::u16string> decode_gsm(std::string_view field) {
    std::u16string text;
    for (size_t at = 0; at < field.size(); ++at) {
        const auto byte = static_cast<uint8_t>(field[at]);
        if (byte >= 0x80) {
            return std::nullopt;
        }
        if (byte != handset::gsm_escape) {
            text.push_back(handset::gsm_basic_character(byte));
            continue;
        }
        if (++at == field.size() || static_cast<uint8_t>(field[at]) >= 0x80) {
            return std::nullopt;
        }
        text.push_back(handset::gsm_extension_character(static_cast<uint8_t>(field[at])));
    }
    return text;
}

std::optional<std::u16string> decode_ucs2(std::string_view field) {
    const std::optional<handset::Bytes> bytes = handset::from_hex(field);
    if (!bytes || bytes->size() % 2 != 0) {
        return std::nullopt;
    }
    std::u16string text;
    for (size_t at = 0; at < bytes->size(); at += 2) {
        text.push_back(static_cast<char16_t>((*bytes)[at] << 8 | (*bytes)[at + 1]));
    }
    return text;
}

} // namespace

std::optional<AtCharset> charset_named(std::string_view name) {
    for (const auto& [known, charset] : names) {
        if (equals_ignoring_case(known, name)) {
            return charset;
        }
    }
    return std::nullopt;
}

std::string_view charset_name(AtCharset charset) {
    for (const auto& [name, known] : names) {
        if (known == charset) {
            return name;
        }
    }
    return {};
}

std::string encode_text(std::u16string_view text, AtCharset charset) {
    std::string out;
    for (char16_t character : text) {
        switch (charset) {
        case AtCharset::ira:
            append_ira(out, character);
            break;
        case AtCharset::gsm:
            append_gsm(out, character);
            break;
        case AtCharset::ucs2:
            append_ucs2(out, character);
            break;
        }
    }
    return out;
}

std::optional<std::u16string> decode_text(std::string_view field, AtCharset charset) {
    switch (charset) {
    case AtCharset::ira:
        return decode_ira(field);
    case AtCharset::gsm:
        return decode_gsm(field);
    case AtCharset::ucs2:
        return decode_ucs2(field);
    }
    return std::nullopt;
}

} // namespace handsetctl
