#include "cellcore/alpha_identifier.h"

namespace handset {

namespace {

constexpr uint8_t padding = 0xFF;
constexpr uint8_t ucs2_mark = 0x80;
constexpr uint8_t ucs2_page_mark = 0x81;
constexpr uint8_t ucs2_base_mark = 0x82;

Bytes ucs2_bytes(std::u16string_view text) {
    Bytes bytes;
    bytes.reserve(1 + 2 * text.size());
    bytes.push_back(ucs2_mark);
    for (char16_t unit : text) {
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
    }
    return bytes;
}

// Default-alphabet bytes up to the first padding byte. The escape picks the extension table for
// the byte after it; an escape with nothing after it stands for nothing.
std::optional<std::u16string> decode_gsm(ByteView field) {
    std::u16string text;
    for (size_t i = 0; i < field.size() && field[i] != padding; ++i) {
        const uint8_t code = field[i];
        if (code >= 0x80) {
            return std::nullopt;
        }
        if (code != gsm_escape) {
            text.push_back(gsm_basic_character(code));
        } else if (i + 1 < field.size() && field[i + 1] < 0x80) {
            text.push_back(gsm_extension_character(field[++i]));
        }
    }
    return text;
}

// Code units in pairs up to the first 0xFFFF pair; a single byte left at the end is padding.
std::u16string decode_ucs2(ByteView units) {
    std::u16string text;
    for (size_t i = 0; i + 1 < units.size(); i += 2) {
        const char16_t unit = static_cast<char16_t>(units[i] << 8 | units[i + 1]);
        if (unit == 0xFFFF) {
            break;
        }
        text.push_back(unit);
    }
    return text;
}

// The compressed forms: a count of characters and a base, then one byte a character: below 0x80
// a default-alphabet character, else the base plus its low seven bits.
std::optional<std::u16string> decode_based(ByteView characters, size_t count, uint32_t base) {
    if (characters.size() < count) {
        return std::nullopt;
    }
    std::u16string text;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t code = characters[i];
        if (code >= 0x80) {
            const uint32_t unit = base + (code & 0x7F);
            if (unit > 0xFFFF) {
                return std::nullopt;
            }
            text.push_back(static_cast<char16_t>(unit));
        } else if (code != gsm_escape) {
            text.push_back(gsm_basic_character(code));
        } else if (i + 1 < count && characters[i + 1] < 0x80) {
            text.push_back(gsm_extension_character(characters[++i]));
        }
    }
    return text;
}

} // namespace

Bytes alpha_bytes(std::u16string_view text) {
    if (std::optional<Bytes> gsm = gsm_encode(text)) {
        return *gsm;
    }
    return ucs2_bytes(text);
}

std::optional<Bytes> encode_alpha(std::u16string_view text, size_t field_size) {
    if (text.find(u'\uFFFF') != std::u16string_view::npos) {
        return std::nullopt;
    }
    Bytes field = alpha_bytes(text);
    if (field.size() > field_size) {
        return std::nullopt;
    }
    field.resize(field_size, padding);
    return field;
}

std::optional<std::u16string> decode_alpha(ByteView field) {
    if (field.empty()) {
        return std::u16string();
    }
    switch (field[0]) {
    case ucs2_mark:
        return decode_ucs2(field.substr(1));
    case ucs2_page_mark:
        if (field.size() < 3) {
            return std::nullopt;
        }
        return decode_based(field.substr(3), field[1], static_cast<uint32_t>(field[2]) << 7);
    case ucs2_base_mark:
        if (field.size() < 4) {
            return std::nullopt;
        }
        return decode_based(field.substr(4), field[1],
                            static_cast<uint32_t>(field[2]) << 8 | field[3]);
    default:
        return decode_gsm(field);
    }
}

} // namespace handset
