// Menu templates (RT_MENU resources and the templates given to LoadMenuIndirect), classic and
// extended (MENUEX), parsed into plain structures for the window system. Both layouts give the
// same structure, so the menu code builds menus one way.
#pragma once

#include <windef.h>

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace handset {

struct MenuItem {
    // The item's MFT_* type bits. Classic templates keep theirs in the option word, whose
    // MF_MENUBARBREAK (0x20), MF_MENUBREAK (0x40), MF_OWNERDRAW (0x100) and MF_HELP (0x4000) have
    // the MFT_* values; a classic item that is neither a popup nor has text is a separator and
    // gets MFT_SEPARATOR (0x800), as the device builds it.
    UINT type = 0;
    // The item's MFS_* state bits. Classic templates give MF_GRAYED (0x1), MF_DISABLED (0x2) and
    // MF_CHECKED (0x8) here.
    UINT state = 0;
    UINT id = 0; // classic templates store no id for a popup: 0
    std::u16string text;
    DWORD help_id = 0; // extended popups only
    bool popup = false;
    std::vector<MenuItem> items; // the popup's items
};

struct MenuTemplate {
    bool extended = false;
    DWORD help_id = 0; // extended templates only
    std::vector<MenuItem> items;
};

// Reads a template that starts at data[0] (record alignment counts from there). A damaged
// template writes one debug line saying what is wrong and where, and gives nullopt.
std::optional<MenuTemplate> parse_menu_template(std::span<const BYTE> data);

} // namespace handset
