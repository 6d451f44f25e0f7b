// The two soft keys of a menu bar, as its menu gives them: the first top-level item is the left
// key, the second the right. An item with a popup opens it; any other item is a command.
#pragma once

#include <winuser.h>

#include <array>
#include <optional>
#include <string>

namespace handset {

struct SoftKey {
    UINT id = 0; // the command, or the popup item's id (0 when the template gives none)
    std::u16string label;
    HMENU popup;
    bool enabled = true;
};

inline constexpr int soft_key_count = 2;
inline constexpr int left_soft_key = 0;
inline constexpr int right_soft_key = 1;

using SoftKeys = std::array<std::optional<SoftKey>, soft_key_count>;

// The keys of the menu; a key the menu has no item for is empty. An item's "&" mnemonic markers
// do not show on a key.
SoftKeys soft_keys_of(HMENU menu);

} // namespace handset
