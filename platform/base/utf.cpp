#include "base/utf.h"

namespace handset {

namespace {

constexpr char32_t replacement_character = 0xFFFD;

struct Decoded {
    char32_t code_point;
    size_t length; // bytes consumed, at least 1
    bool valid = true;
};

bool is_continuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The allowed range of the second byte depends on the lead byte: it is what rules out overlong
// forms (E0, F0), encoded surrogates (ED) and values beyond U+10FFFF (F4).
bool second_byte_fits(unsigned char lead, unsigned char second) {
    switch (lead) {
    case 0xE0:
        return second >= 0xA0 && second <= 0xBF;
    case 0xED:
        return second >= 0x80 && second <= 0x9F;
    case 0xF0:
        return second >= 0x90 && second <= 0xBF;
    case 0xF4:
        return second >= 0x80 && second <= 0x8F;
    default:
        return is_continuation(second);
    }
}

size_t sequence_length(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

Decoded decode_one(std::string_view text, size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const size_t length = sequence_length(lead);
    if (length == 1) {
        return {lead, 1};
    }
    if (length == 0) {
        return {replacement_character, 1, false};
    }
    char32_t code_point = lead & (0xFF >> (length + 1));
    for (size_t i = 1; i < length; ++i) {
        if (at + i >= text.size()) {
            return {replacement_character, i, false};
        }
        const auto byte = static_cast<unsigned char>(text[at + i]);
        const bool fits = i == 1 ? second_byte_fits(lead, byte) : is_continuation(byte);
        if (!fits) {
            return {replacement_character, i, false};
        }
        code_point = (code_point << 6) | (byte & 0x3F);
    }
    return {code_point, length};
}

void append_utf16(std::u16string& out, char32_t code_point) {
    if (code_point < 0x10000) {
        out.push_back(static_cast<char16_t>(code_point));
        return;
    }
    code_point -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (code_point >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (code_point & 0x3FF)));
}

void append_utf8(std::string& out, char32_t code_point) {
    if (code_point < 0x80) {
        out.push_back(static_cast<char>(code_point));
    } else if (code_point < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code_point >> 6)));
        out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
    } else if (code_point < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code_point >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code_point >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code_point >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
    }
}

bool is_high_surrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool is_low_surrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

} // namespace

std::u16string utf8_to_utf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (size_t at = 0; at < utf8.size();) {
        const Decoded decoded = decode_one(utf8, at);
        append_utf16(out, decoded.code_point);
        at += decoded.length;
    }
    return out;
}

bool is_valid_utf8(std::string_view utf8) {
    for (size_t at = 0; at < utf8.size();) {
        const Decoded decoded = decode_one(utf8, at);
        if (!decoded.valid) {
            return false;
        }
        at += decoded.length;
    }
    return true;
}

std::string utf16_to_utf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (size_t at = 0; at < utf16.size(); ++at) {
        const char16_t unit = utf16[at];
        if (is_high_surrogate(unit) && at + 1 < utf16.size() && is_low_surrogate(utf16[at + 1])) {
            const char32_t high = unit - 0xD800;
            const char32_t low = utf16[at + 1] - 0xDC00;
            append_utf8(out, 0x10000 + (high << 10) + low);
            ++at;
        } else if (is_high_surrogate(unit) || is_low_surrogate(unit)) {
            append_utf8(out, replacement_character);
        } else {
            append_utf8(out, unit);
        }
    }
    return out;
}

} // namespace handset
