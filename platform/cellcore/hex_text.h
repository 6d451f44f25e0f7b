// Records as SIM-reading tools print them: two upper-case hexadecimal digits a byte.
#pragma once

#include "cellcore/bytes.h"

#include <optional>
#include <string>
#include <string_view>

namespace handset {

std::string to_hex(ByteView bytes);

// Either case is read; anything but an even number of hexadecimal digits gives nothing.
std::optional<Bytes> from_hex(std::string_view text);

} // namespace handset
