// Dialog templates (RT_DIALOG resources and the templates given to DialogBoxIndirectParam), in
// both layouts: the classic DLGTEMPLATE and the extended DLGTEMPLATEEX. The parser turns the
// packed records into these plain structures for the window system; it never reads past the data
// it is given.
#pragma once

#include "resources/resource_name.h"

#include <windef.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace handset {

// The font of a dialog whose style has DS_SETFONT. Classic templates store only the point size and
// the face; their weight reads as 0 (FW_DONTCARE), italic and charset as 0.
struct DialogFont {
    WORD point_size = 0;
    WORD weight = 0;
    bool italic = false;
    BYTE charset = 0;
    std::u16string face;

    friend bool operator==(const DialogFont&, const DialogFont&) = default;
};

struct DialogItem {
    DWORD help_id = 0; // extended templates only
    DWORD style = 0;
    DWORD ex_style = 0;
    short x = 0;
    short y = 0;
    short cx = 0;
    short cy = 0;
    // Classic templates store a 16-bit identifier, so an id of -1 reads as 0xFFFF there and as
    // 0xFFFFFFFF in extended templates, as the device creates the controls.
    DWORD id = 0;
    // An ordinal names a predefined class: 0x0080 button, 0x0081 edit, 0x0082 static,
    // 0x0083 list box, 0x0084 scroll bar, 0x0085 combo box. Resource compilers store class names
    // in upper case ("SYSTREEVIEW32"), so look them up without regard to case.
    ResourceName window_class;
    // A string, an ordinal (the resource id of a static's icon or bitmap), or none.
    ResourceName text;
    // The bytes after the template's size word; the size word itself is not included.
    std::vector<BYTE> creation_data;
};

struct DialogTemplate {
    bool extended = false;
    DWORD help_id = 0; // extended templates only
    DWORD style = 0;
    DWORD ex_style = 0;
    short x = 0;
    short y = 0;
    short cx = 0;
    short cy = 0;
    ResourceName menu;         // none: the dialog has no menu
    ResourceName window_class; // none: the system's dialog class
    std::u16string title;
    std::optional<DialogFont> font; // present exactly when style has DS_SETFONT
    std::vector<DialogItem> items;
};

// Reads a template that starts at data[0] (record alignment counts from there). A damaged
// template, such as one whose control count exceeds its data, writes one debug line saying what
// is wrong and where, and gives nullopt.
std::optional<DialogTemplate> parse_dialog_template(std::span<const BYTE> data);

} // namespace handset
