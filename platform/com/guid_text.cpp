#include "com/guid_text.h"

#include <cstdio>

namespace handset {

std::u16string guid_to_text(const GUID& guid) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  guid.Data1, guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2],
                  guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    // The text is ASCII, so each byte is one UTF-16 unit.
    return std::u16string(text, text + 38);
}

} // namespace handset
