#include "cellcore/pin_code.h"

#include <algorithm>

namespace handset {

namespace {

constexpr size_t shortest_pin = 4;
constexpr size_t longest_pin = 8;

} // namespace

bool well_formed_pin(std::u16string_view pin) {
    return pin.size() >= shortest_pin && pin.size() <= longest_pin &&
           std::all_of(pin.begin(), pin.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

Bytes padded_pin(std::u16string_view pin) {
    Bytes field(longest_pin, 0xFF);
    std::transform(pin.begin(), pin.end(), field.begin(),
                   [](char16_t c) { return static_cast<uint8_t>(c); });
    return field;
}

} // namespace handset
