#include "user/keyboard.h"

#include <winuser.h>

namespace handset {

std::optional<WCHAR> character_for_key(UINT virtual_key, bool shift) {
    if (virtual_key >= 'A' && virtual_key <= 'Z') {
        return static_cast<WCHAR>(shift ? virtual_key : virtual_key - 'A' + 'a');
    }
    if (virtual_key >= '0' && virtual_key <= '9') {
        static constexpr char16_t shifted_digits[] = u")!@#$%^&*(";
        return shift ? shifted_digits[virtual_key - '0'] : static_cast<WCHAR>(virtual_key);
    }
    switch (virtual_key) {
    case VK_SPACE:
        return u' ';
    case VK_RETURN:
        return u'\r';
    case VK_BACK:
        return u'\b';
    case VK_TAB:
        return u'\t';
    case VK_ESCAPE:
        return static_cast<WCHAR>(0x1B);
    default:
        return std::nullopt;
    }
}

} // namespace handset
