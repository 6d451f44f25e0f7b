#include "cellcore/dialling_number.h"

#include <array>

namespace handset {

namespace {

constexpr uint8_t padding = 0xFF;
constexpr std::array<char16_t, 13> bcd_digits = {u'0', u'1', u'2', u'3', u'4', u'5', u'6',
                                                 u'7', u'8', u'9', u'*', u'#', u'p'};

std::optional<uint8_t> nibble_of(char16_t digit) {
    for (size_t value = 0; value < bcd_digits.size(); ++value) {
        if (bcd_digits[value] == digit) {
            return static_cast<uint8_t>(value);
        }
    }
    return std::nullopt;
}

// Without digits only the international mark carries meaning; any other type reads as the one
// empty number, as it is written back as an unused block.
DiallingNumber read_number(std::u16string digits, uint8_t type) {
    const DiallingNumber number(std::move(digits), type);
    return number.empty() ? DiallingNumber() : number;
}

} // namespace

Expected<DiallingNumber, NumberError> DiallingNumber::parse(std::u16string_view text,
                                                            bool international) {
    if (!text.empty() && text.front() == u'+') {
        international = true;
        text.remove_prefix(1);
    }
    for (char16_t digit : text) {
        if (!nibble_of(digit)) {
            return unexpected(NumberError::bad_character);
        }
    }
    return DiallingNumber(std::u16string(text), international ? international_type : unknown_type);
}

Expected<Bytes, NumberError> DiallingNumber::encode(size_t limit) const {
    if (m_digits.size() > std::min(limit, max_digits)) {
        return unexpected(NumberError::too_long);
    }
    Bytes block(block_size, padding);
    if (empty()) {
        return block;
    }
    block[0] = static_cast<uint8_t>(1 + (m_digits.size() + 1) / 2);
    block[1] = m_type;
    for (size_t i = 0; i < m_digits.size(); ++i) {
        std::optional<uint8_t> nibble = nibble_of(m_digits[i]);
        if (!nibble) {
            return unexpected(NumberError::bad_character);
        }
        uint8_t& byte = block[2 + i / 2];
        byte = i % 2 == 0 ? static_cast<uint8_t>(0xF0 | *nibble)
                          : static_cast<uint8_t>((byte & 0x0F) | *nibble << 4);
    }
    return block;
}

std::optional<DiallingNumber> DiallingNumber::decode(ByteView block) {
    if (block.size() < block_size) {
        return std::nullopt;
    }
    const uint8_t length = block[0];
    if (length == 0 || length == padding) {
        return DiallingNumber();
    }
    if (length > block_size - 1) {
        return std::nullopt;
    }
    std::u16string digits;
    for (size_t i = 2; i < 1u + length; ++i) {
        for (uint8_t nibble :
             {static_cast<uint8_t>(block[i] & 0x0F), static_cast<uint8_t>(block[i] >> 4)}) {
            if (nibble == 0xF) {
                return read_number(std::move(digits), block[1]);
            }
            if (nibble >= bcd_digits.size()) {
                return std::nullopt;
            }
            digits.push_back(bcd_digits[nibble]);
        }
    }
    return read_number(std::move(digits), block[1]);
}

std::u16string DiallingNumber::text() const {
    return international() ? u"+" + m_digits : m_digits;
}

} // namespace handset
