// Raw card data: the bytes of records and fields as the card holds them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace handset {

using Bytes = std::basic_string<uint8_t>;
using ByteView = std::basic_string_view<uint8_t>;

} // namespace handset
