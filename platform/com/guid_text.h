// GUIDs as the registry spells them: "{05058F23-20BE-11D2-8F18-0000F87A4335}".
#pragma once

#include <windef.h>

#include <string>

namespace handset {

std::u16string guid_to_text(const GUID& guid);

} // namespace handset
