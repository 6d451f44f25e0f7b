#include "aygshell/soft_keys.h"

namespace handset {

namespace {

constexpr int label_capacity = 64;

// "&&" stands for a literal ampersand; a single "&" marks the mnemonic and is dropped.
std::u16string label_without_mnemonic(std::u16string_view text) {
    std::u16string label;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;
        }
        label += text[i];
    }
    return label;
}

std::optional<SoftKey> key_at(HMENU menu, int position) {
    WCHAR text[label_capacity] = {};
    MENUITEMINFOW item{};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STATE | MIIM_TYPE;
    item.dwTypeData = text;
    item.cch = label_capacity;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &item)) {
        return std::nullopt;
    }
    SoftKey key;
    key.id = item.wID;
    key.popup = item.hSubMenu;
    key.label = label_without_mnemonic(text);
    key.enabled = (item.fState & MFS_GRAYED) == 0;
    return key;
}

} // namespace

SoftKeys soft_keys_of(HMENU menu) {
    SoftKeys keys;
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < soft_key_count && position < count; ++position) {
        keys[position] = key_at(menu, position);
    }
    return keys;
}

} // namespace handset
