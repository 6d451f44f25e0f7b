// The two layouts:
//
//   classic: WORD version (0), WORD header size (0), then the items
//     item:  WORD option flags; WORD id unless MF_POPUP; text (string); a popup's items follow it
//   MENUEX:  WORD version (1), WORD offset to the items from the end of this word, DWORD help id
//     item:  aligned to 4 bytes: DWORD type, DWORD state, DWORD id, WORD flags (0x01 popup),
//            text (string); a popup then has, aligned to 4 bytes, DWORD help id and its items
//
// In both, 0x80 in the item's flags marks the last item of its level.
#include "resources/menu_template.h"

#include "resources/byte_reader.h"

namespace handset {

namespace {

constexpr WORD kClassicVersion = 0;
constexpr WORD kExtendedVersion = 1;

constexpr WORD kLastItem = 0x0080;     // MF_END; the same bit as MF_HILITE, so it is not a state
constexpr WORD kClassicPopup = 0x0010; // MF_POPUP
constexpr WORD kExtendedPopup = 0x0001;
constexpr WORD kClassicStateBits = 0x0001 | 0x0002 | 0x0008; // MF_GRAYED, MF_DISABLED, MF_CHECKED
constexpr WORD kClassicTypeBits =
    0x0020 | 0x0040 | 0x0100 | 0x4000; // MF_MENUBARBREAK, MF_MENUBREAK,
                                       // MF_OWNERDRAW, MF_HELP
constexpr UINT kSeparator = 0x0800;    // MFT_SEPARATOR

// Real menus nest a few levels; the limit keeps a crafted template from exhausting the stack.
constexpr int kDeepestNesting = 32;

constexpr size_t kExtendedAlignment = 4;

void mark_separator(MenuItem& item) {
    if (!item.popup && item.text.empty()) {
        item.type |= kSeparator;
    }
}

// Reads one item (and a popup's items below it); returns true when it was the last of its level.
using ItemReader = bool (*)(ByteReader& reader, int depth, MenuItem& item);

std::vector<MenuItem> read_items(ByteReader& reader, int depth, ItemReader read_item) {
    if (depth > kDeepestNesting) {
        throw ParseError(parse_error_text("popups nest deeper than %d levels", kDeepestNesting));
    }
    std::vector<MenuItem> items;
    bool last = false;
    while (!last) {
        last = read_item(reader, depth, items.emplace_back());
    }
    return items;
}

bool read_classic_item(ByteReader& reader, int depth, MenuItem& item) {
    WORD flags = reader.u16("menu item flags");
    item.popup = (flags & kClassicPopup) != 0;
    item.state = flags & kClassicStateBits;
    item.type = flags & kClassicTypeBits;
    if (!item.popup) {
        item.id = reader.u16("menu item id");
    }
    item.text = reader.string("menu item text");
    if (item.popup) {
        item.items = read_items(reader, depth + 1, read_classic_item);
    }
    mark_separator(item);
    return (flags & kLastItem) != 0;
}

bool read_extended_item(ByteReader& reader, int depth, MenuItem& item) {
    reader.align(kExtendedAlignment);
    item.type = reader.u32("menu item type");
    item.state = reader.u32("menu item state");
    item.id = reader.u32("menu item id");
    WORD flags = reader.u16("menu item flags");
    item.popup = (flags & kExtendedPopup) != 0;
    item.text = reader.string("menu item text");
    if (item.popup) {
        reader.align(kExtendedAlignment);
        item.help_id = reader.u32("popup help id");
        item.items = read_items(reader, depth + 1, read_extended_item);
    }
    mark_separator(item);
    return (flags & kLastItem) != 0;
}

MenuTemplate read_menu(ByteReader& reader) {
    MenuTemplate menu;
    WORD version = reader.u16("menu template version");
    WORD offset = reader.u16("menu template header size");
    size_t items_start = reader.offset() + offset;
    if (version == kExtendedVersion) {
        menu.extended = true;
        if (offset >= 4) {
            menu.help_id = reader.u32("menu help id");
        }
        reader.seek(items_start, "first menu item");
        menu.items = read_items(reader, 0, read_extended_item);
    } else if (version == kClassicVersion) {
        reader.seek(items_start, "first menu item");
        menu.items = read_items(reader, 0, read_classic_item);
    } else {
        throw ParseError(parse_error_text("unknown template version %u", unsigned{version}));
    }
    return menu;
}

} // namespace

std::optional<MenuTemplate> parse_menu_template(std::span<const BYTE> data) {
    return read_record(data, "Menu template", read_menu);
}

} // namespace handset
