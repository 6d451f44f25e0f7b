#include "registry/registry_value.h"

#include <bit>
#include <cstring>

namespace handset {

// The values' bytes are laid out as on the device, which is little-endian; copying native
// integers and characters gives that layout only on a little-endian host.
static_assert(std::endian::native == std::endian::little);

RegistryValue RegistryValue::string(std::u16string_view text) {
    RegistryValue value{registry_type_string, {}};
    value.data.resize((text.size() + 1) * sizeof(char16_t));
    std::memcpy(value.data.data(), text.data(), text.size() * sizeof(char16_t));
    return value;
}

RegistryValue RegistryValue::dword(DWORD number) {
    RegistryValue value{registry_type_dword, std::vector<BYTE>(sizeof(DWORD))};
    std::memcpy(value.data.data(), &number, sizeof(DWORD));
    return value;
}

std::optional<std::u16string> RegistryValue::as_string() const {
    if (type != registry_type_string || data.size() < sizeof(char16_t) ||
        data.size() % sizeof(char16_t) != 0) {
        return std::nullopt;
    }
    std::u16string text(data.size() / sizeof(char16_t), u'\0');
    std::memcpy(text.data(), data.data(), data.size());
    if (text.back() != 0) {
        return std::nullopt;
    }
    text.pop_back();
    if (text.find(u'\0') != std::u16string::npos) {
        return std::nullopt;
    }
    return text;
}

std::optional<DWORD> RegistryValue::as_dword() const {
    if (type != registry_type_dword || data.size() != sizeof(DWORD)) {
        return std::nullopt;
    }
    DWORD number;
    std::memcpy(&number, data.data(), sizeof(DWORD));
    return number;
}

} // namespace handset
