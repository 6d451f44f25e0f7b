// The 32-bit .res format that resource compilers write: a list of entries, each a header (data
// size, header size, type, name, language and a few version fields) followed by its data, every
// entry aligned to 4 bytes. The first entry is an empty one that marks the format.
#pragma once

#include "resources/resource_name.h"

#include <windef.h>

#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace handset {

struct ResEntry {
    ResourceName type;
    ResourceName name;
    WORD language = 0;
    std::span<const BYTE> data; // points into the parsed image
};

// Reads every entry of `image`, leaving out the marker entry. A damaged image writes one debug
// line that names `origin` and says what is wrong and where, and gives nullopt.
std::optional<std::vector<ResEntry>> parse_res_file(std::span<const BYTE> image,
                                                    std::string_view origin);

} // namespace handset
