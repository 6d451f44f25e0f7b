// The characters that TranslateMessage makes of key presses, for the keys of the handset's
// keyboard (a US layout) and the keys that edit text.
#pragma once

#include <windef.h>

#include <optional>

namespace handset {

std::optional<WCHAR> character_for_key(UINT virtual_key, bool shift);

} // namespace handset
