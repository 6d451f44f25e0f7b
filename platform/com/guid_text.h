// GUIDs as the registry spells them: "{05058F23-20BE-11D2-8F18-0000F87A4335}".
#pragma once

#include <windef.h>

#include <optional>
#include <string>
#include <string_view>

namespace handset {

std::u16string guid_to_text(const GUID& guid);
// Reads exactly that form, in either case of the hexadecimal digits; nothing for any other text.
std::optional<GUID> guid_from_text(std::u16string_view text);

} // namespace handset
