// The handset's colour scheme, by COLOR_* index (with or without SYS_COLOR_INDEX_FLAG).
#pragma once

#include <windef.h>

#include <optional>

namespace handset {

constexpr int system_color_count = 27;

// The plain index (0 to system_color_count - 1) of a COLOR_* value, if it names one.
std::optional<int> system_color_index(int index);
// The colour of a plain index from system_color_index.
COLORREF system_color(int plain_index);

} // namespace handset
