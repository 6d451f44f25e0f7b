// The two layouts, field by field:
//
//   DLGTEMPLATE                         DLGTEMPLATEEX
//   DWORD style                         WORD  version (1), WORD signature (0xFFFF)
//   DWORD extended style                DWORD help id, DWORD extended style, DWORD style
//   WORD  control count                 WORD  control count
//   short x, y, cx, cy                  short x, y, cx, cy
//   menu, class (name or ordinal), title (string)
//   if DS_SETFONT: WORD point size      if DS_SETFONT: WORD point size, WORD weight,
//                                                      BYTE italic, BYTE charset
//                  face (string)                       face (string)
//
//   each control, aligned to 4 bytes:
//   DWORD style                         DWORD help id, DWORD extended style, DWORD style
//   DWORD extended style
//   short x, y, cx, cy                  short x, y, cx, cy
//   WORD  id                            DWORD id
//   class (name or ordinal), text (name or ordinal), WORD creation data size, the data
#include "resources/dialog_template.h"

#include "resources/byte_reader.h"

#include <winstyles.h>

namespace handset {

namespace {

constexpr WORD kExtendedVersion = 1;
constexpr WORD kExtendedSignature = 0xFFFF;
constexpr size_t kItemAlignment = 4;

bool is_extended(std::span<const BYTE> data) {
    if (data.size() < 4) {
        return false;
    }
    ByteReader reader(data);
    return reader.u16("template version") == kExtendedVersion &&
           reader.u16("template signature") == kExtendedSignature;
}

void read_geometry(ByteReader& reader, short& x, short& y, short& cx, short& cy) {
    x = reader.i16("x");
    y = reader.i16("y");
    cx = reader.i16("width");
    cy = reader.i16("height");
}

WORD read_classic_header(ByteReader& reader, DialogTemplate& dialog) {
    dialog.style = reader.u32("dialog style");
    dialog.ex_style = reader.u32("dialog extended style");
    WORD count = reader.u16("control count");
    read_geometry(reader, dialog.x, dialog.y, dialog.cx, dialog.cy);
    return count;
}

WORD read_extended_header(ByteReader& reader, DialogTemplate& dialog) {
    dialog.extended = true;
    reader.u16("template version");
    reader.u16("template signature");
    dialog.help_id = reader.u32("dialog help id");
    dialog.ex_style = reader.u32("dialog extended style");
    dialog.style = reader.u32("dialog style");
    WORD count = reader.u16("control count");
    read_geometry(reader, dialog.x, dialog.y, dialog.cx, dialog.cy);
    return count;
}

void read_header_names(ByteReader& reader, DialogTemplate& dialog) {
    dialog.menu = reader.name_or_ordinal("dialog menu");
    dialog.window_class = reader.name_or_ordinal("dialog class");
    dialog.title = reader.string("dialog title");
}

DialogFont read_font(ByteReader& reader, bool extended) {
    DialogFont font;
    font.point_size = reader.u16("font point size");
    if (extended) {
        font.weight = reader.u16("font weight");
        font.italic = reader.u8("font italic flag") != 0;
        font.charset = reader.u8("font character set");
    }
    font.face = reader.string("font face");
    return font;
}

void read_classic_item_fields(ByteReader& reader, DialogItem& item) {
    item.style = reader.u32("control style");
    item.ex_style = reader.u32("control extended style");
    read_geometry(reader, item.x, item.y, item.cx, item.cy);
    item.id = reader.u16("control id");
}

void read_extended_item_fields(ByteReader& reader, DialogItem& item) {
    item.help_id = reader.u32("control help id");
    item.ex_style = reader.u32("control extended style");
    item.style = reader.u32("control style");
    read_geometry(reader, item.x, item.y, item.cx, item.cy);
    item.id = reader.u32("control id");
}

void read_item_names_and_data(ByteReader& reader, DialogItem& item) {
    item.window_class = reader.name_or_ordinal("control class");
    item.text = reader.name_or_ordinal("control text");
    WORD data_size = reader.u16("control creation data size");
    std::span<const BYTE> data = reader.bytes(data_size, "control creation data");
    item.creation_data.assign(data.begin(), data.end());
}

DialogItem read_item(ByteReader& reader, bool extended) {
    reader.align(kItemAlignment);
    DialogItem item;
    if (extended) {
        read_extended_item_fields(reader, item);
    } else {
        read_classic_item_fields(reader, item);
    }
    read_item_names_and_data(reader, item);
    return item;
}

DialogTemplate read_dialog(ByteReader& reader, bool extended) {
    DialogTemplate dialog;
    WORD count =
        extended ? read_extended_header(reader, dialog) : read_classic_header(reader, dialog);
    read_header_names(reader, dialog);
    if (dialog.style & DS_SETFONT) {
        dialog.font = read_font(reader, extended);
    }
    for (WORD i = 0; i < count; ++i) {
        try {
            dialog.items.push_back(read_item(reader, extended));
        } catch (const ParseError& error) {
            throw ParseError(parse_error_text("control %u of %u: %s", unsigned{i} + 1,
                                              unsigned{count}, error.what()));
        }
    }
    return dialog;
}

} // namespace

std::optional<DialogTemplate> parse_dialog_template(std::span<const BYTE> data) {
    bool extended = is_extended(data);
    return read_record(data, "Dialog template",
                       [extended](ByteReader& reader) { return read_dialog(reader, extended); });
}

} // namespace handset
