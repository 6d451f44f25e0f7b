// Writing a whole text to a file descriptor, across short writes and interrupted calls.
#pragma once

#include <string_view>

namespace handset {

// False when the descriptor stopped taking data; errno says why.
bool write_fully(int descriptor, std::string_view text);

} // namespace handset
