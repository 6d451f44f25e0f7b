// The number part of a SIM phonebook record (3GPP TS 51.011, §10.5.1): a length byte, the type of
// number and numbering plan, and ten bytes of BCD digits, low nibble first, padded with 0xF. The
// digits are 0 to 9, '*' (0xA), '#' (0xB) and the pause 'p' (0xC). An international number is
// marked by its type (0x91), never by a "+" among the digits.
#pragma once

#include "cellcore/bytes.h"
#include "cellcore/expected.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace handset {

enum class NumberError { bad_character, too_long };

class DiallingNumber {
  public:
    static constexpr uint8_t international_type = 0x91;
    static constexpr uint8_t unknown_type = 0x81;
    static constexpr size_t block_size = 12; // length, type, ten BCD bytes
    static constexpr size_t max_digits = 20;

    DiallingNumber() = default;
    DiallingNumber(std::u16string digits, uint8_t type)
        : m_digits(std::move(digits)), m_type(type) {}

    // A number as people write it: one leading "+" makes it international, as does
    // `international`. Every other character must be a digit, '*', '#' or 'p'.
    static Expected<DiallingNumber, NumberError> parse(std::u16string_view text,
                                                       bool international = false);

    // The block for a card that keeps up to max_digits digits.
    Expected<Bytes, NumberError> encode(size_t max_digits) const;
    // The number of a block, or nothing when the bytes do not form one. An unused block (length
    // 0 or 0xFF) is the empty number.
    static std::optional<DiallingNumber> decode(ByteView block);

    const std::u16string& digits() const { return m_digits; }
    uint8_t type() const { return m_type; }
    bool international() const { return (m_type & 0x70) == 0x10; }
    bool empty() const { return m_digits.empty() && !international(); }
    // With a "+" in front when international: the form people read and dial.
    std::u16string text() const;

    friend bool operator==(const DiallingNumber&, const DiallingNumber&) = default;

  private:
    std::u16string m_digits;
    uint8_t m_type = unknown_type;
};

} // namespace handset
