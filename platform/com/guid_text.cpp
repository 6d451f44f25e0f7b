#include "com/guid_text.h"

#include "base/wide_text.h"

#include <cstdio>

namespace handset {

namespace {

// Where the dashes of "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" are; every other inner
// character is a hexadecimal digit.
constexpr size_t guid_text_length = 38;
constexpr size_t dashes[] = {9, 14, 19, 24};

bool is_dash_position(size_t at) {
    for (size_t dash : dashes) {
        if (dash == at) {
            return true;
        }
    }
    return false;
}

} // namespace

std::u16string guid_to_text(const GUID& guid) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  guid.Data1, guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2],
                  guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    // The text is ASCII, so each byte is one UTF-16 unit.
    return std::u16string(text, text + guid_text_length);
}

std::optional<GUID> guid_from_text(std::u16string_view text) {
    if (text.size() != guid_text_length || text.front() != u'{' || text.back() != u'}') {
        return std::nullopt;
    }
    // The 32 digits in the order they are written: Data1, Data2, Data3, then the eight bytes.
    unsigned digits[32];
    size_t count = 0;
    for (size_t at = 1; at + 1 < text.size(); ++at) {
        if (is_dash_position(at)) {
            if (text[at] != u'-') {
                return std::nullopt;
            }
            continue;
        }
        const int digit = hex_digit_value(text[at]);
        if (digit < 0) {
            return std::nullopt;
        }
        digits[count++] = static_cast<unsigned>(digit);
    }
    const auto number = [&](size_t first, size_t length) {
        unsigned long value = 0;
        for (size_t at = first; at < first + length; ++at) {
            value = value * 16 + digits[at];
        }
        return value;
    };
    GUID guid{};
    guid.Data1 = static_cast<DWORD>(number(0, 8));
    guid.Data2 = static_cast<WORD>(number(8, 4));
    guid.Data3 = static_cast<WORD>(number(12, 4));
    for (size_t byte = 0; byte < 8; ++byte) {
        guid.Data4[byte] = static_cast<BYTE>(number(16 + 2 * byte, 2));
    }
    return guid;
}

} // namespace handset
