// What a card says about a file when it is selected: the FCP template of a UICC (ETSI TS 102 221)
// or the fixed response of a 2G SIM (3GPP TS 51.011). The reader driver needs the structure, the
// record sizes and, for a directory, how PIN1 stands.
#pragma once

#include "cellcore/bytes.h"

#include <optional>

namespace handset {

enum class FileStructure { transparent, linear_fixed, cyclic, directory };

struct FileInfo {
    FileStructure structure = FileStructure::transparent;
    int size = 0; // bytes of a file; 0 for a directory
    int record_length = 0;
    int record_count = 0;
    // Of a directory: whether PIN1 guards it. A 2G SIM also tells its tries left here.
    std::optional<bool> pin_enabled;
    std::optional<int> pin_tries;
};

// From the FCP template (62 ...) that a UICC returns; nothing when it is not one.
std::optional<FileInfo> parse_fcp(ByteView template_bytes);

// From a 2G SIM's GET RESPONSE to SELECT; nothing when too short or of an unknown type.
std::optional<FileInfo> parse_gsm_response(ByteView response);

} // namespace handset
