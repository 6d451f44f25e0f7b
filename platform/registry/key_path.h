// Key paths such as "Software\Nemora\Telvane\": names separated by backslashes. A trailing
// backslash is tolerated, as on the device; an empty name anywhere else makes the path bad, and
// so do the device's limits: names of at most 255 characters, at most 512 levels.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace handset {

inline constexpr size_t max_key_name_length = 255;
inline constexpr size_t max_key_depth = 512;

// The names of the path, none for the empty path; nothing when the path is bad.
std::optional<std::vector<std::u16string>> split_key_path(std::u16string_view path);

} // namespace handset
