// One registry value: its type and its bytes, exactly as RegQueryValueExW hands them out. Text
// (REG_SZ) is UTF-16 in the device's little-endian byte order and includes its terminator.
#pragma once

#include <windef.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace handset {

inline constexpr DWORD registry_type_string = 1; // REG_SZ
inline constexpr DWORD registry_type_binary = 3; // REG_BINARY
inline constexpr DWORD registry_type_dword = 4;  // REG_DWORD

struct RegistryValue {
    DWORD type = registry_type_binary;
    std::vector<BYTE> data;

    static RegistryValue string(std::u16string_view text);
    static RegistryValue dword(DWORD value);

    // The text of a REG_SZ value that is one terminated string with no terminator inside it;
    // nothing for anything else.
    std::optional<std::u16string> as_string() const;
    // The number of a REG_DWORD value of four bytes; nothing for anything else.
    std::optional<DWORD> as_dword() const;

    friend bool operator==(const RegistryValue&, const RegistryValue&) = default;
};

} // namespace handset
