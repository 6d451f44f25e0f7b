// The fixed text fields of the SIM manager's records, for the library and for the tools that call
// it: read up to the terminator or the field's end, whichever comes first, and written cut to the
// field with the rest zeroed.
#pragma once

#include <windef.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace handset {

template <size_t N>
std::u16string field_text(const WCHAR (&field)[N]) {
    const WCHAR* end = std::find(field, field + N, u'\0');
    return std::u16string(field, end);
}

template <size_t N>
void set_field(WCHAR (&field)[N], std::u16string_view text) {
    const size_t length = std::min(text.size(), N - 1);
    std::copy_n(text.begin(), length, field);
    std::fill(field + length, field + N, u'\0');
}

} // namespace handset
