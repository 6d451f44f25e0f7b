#include "user/dialog_builder.h"

#include "base/debug_output.h"
#include "base/utf.h"
#include "gdi/font_sizes.h"
#include "gdi/screen.h"
#include "gdi/screen_dc.h"
#include "user/builtin_classes.h"
#include "user/errors.h"
#include "user/message_sender.h"
#include "user/window_lifecycle.h"
#include "user/window_system.h"

#include <wingdi.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace handset {

namespace {

// The template's font, or the system font when it has none or names a size of 0.
void choose_font(const DialogTemplate& dialog_template, DialogState& state, const char* function) {
    state.font = HFONT(GetStockObject(SYSTEM_FONT));
    state.owns_font = false;
    if (!dialog_template.font) {
        return;
    }
    const DialogFont& font = *dialog_template.font;
    if (font.point_size == 0) {
        debug_printf("%s: the template's font \"%s\" has size 0; the dialog uses the system font",
                     function, utf16_to_utf8(font.face).c_str());
        return;
    }
    LOGFONTW description{};
    description.lfHeight = font_height_for_points(font.point_size);
    description.lfWeight = font.weight;
    description.lfItalic = font.italic ? 1 : 0;
    description.lfCharSet = font.charset;
    const size_t length = std::min<size_t>(font.face.size(), LF_FACESIZE - 1);
    std::copy_n(font.face.data(), length, description.lfFaceName);
    if (const HFONT created = CreateFontIndirectW(&description)) {
        state.font = created;
        state.owns_font = true;
    }
}

std::u16string class_name_of(const ResourceName& name) {
    if (name.is_text()) {
        return name.text;
    }
    switch (name.ordinal) {
    case 0x0080:
        return u"BUTTON";
    case 0x0081:
        return u"EDIT";
    case 0x0082:
        return u"STATIC";
    case 0x0083:
        return u"LISTBOX";
    case 0x0084:
        return u"SCROLLBAR";
    case 0x0085:
        return u"COMBOBOX";
    default:
        return u"#" + utf8_to_utf16(std::to_string(name.ordinal));
    }
}

// A control's text as CreateWindowEx takes it: the string, or 0xFFFF and the ordinal of the
// resource (the icon or bitmap of a static).
std::u16string title_of(const ResourceName& text) {
    if (text.is_text()) {
        return text.text;
    }
    if (text.is_ordinal()) {
        return std::u16string{u'\xFFFF', static_cast<char16_t>(text.ordinal)};
    }
    return std::u16string();
}

// The creation data as the control's WM_CREATE sees it: a size word (counting itself) followed
// by the bytes.
std::vector<BYTE> creation_record(const std::vector<BYTE>& data) {
    if (data.empty()) {
        return {};
    }
    std::vector<BYTE> record(sizeof(WORD) + data.size());
    const WORD size = static_cast<WORD>(record.size());
    std::memcpy(record.data(), &size, sizeof(size));
    std::memcpy(record.data() + sizeof(size), data.data(), data.size());
    return record;
}

RECT frame_for(DWORD style, DWORD ex_style) {
    Window probe;
    probe.style = style;
    probe.ex_style = ex_style;
    return probe.frame_insets();
}

// Where the dialog window goes, in its owner's terms: centred on the screen with DS_CENTER, at
// the template's position on the screen with DS_ABSALIGN, else relative to the owner's client
// area (a child dialog's parent's).
RECT dialog_window_rect(const DialogTemplate& dialog_template, SIZE base, HWND owner) {
    const RECT client = map_dialog_units(RECT{dialog_template.x, dialog_template.y,
                                              dialog_template.x + dialog_template.cx,
                                              dialog_template.y + dialog_template.cy},
                                         base);
    const RECT insets = frame_for(dialog_template.style, dialog_template.ex_style);
    const LONG width = (client.right - client.left) + insets.left + insets.right;
    const LONG height = (client.bottom - client.top) + insets.top + insets.bottom;
    POINT origin{client.left, client.top};
    const bool child = (dialog_template.style & WS_CHILD) != 0;
    if ((dialog_template.style & DS_CENTER) != 0 && !child) {
        const ScreenProfile screen = Screen::instance().profile();
        origin = POINT{(screen.width - width) / 2, (screen.height - height) / 2};
    } else if (!child && (dialog_template.style & DS_ABSALIGN) == 0 && owner) {
        POINT corner{0, 0};
        ClientToScreen(owner, &corner);
        origin.x += corner.x;
        origin.y += corner.y;
    }
    return RECT{origin.x, origin.y, origin.x + width, origin.y + height};
}

HWND create_dialog_window(const DialogTemplate& dialog_template, HINSTANCE instance, HWND owner,
                          const std::shared_ptr<DialogState>& state) {
    const RECT rect = dialog_window_rect(dialog_template, state->base_units, owner);
    WindowRequest request;
    std::u16string class_name = dialog_class_name;
    if (!dialog_template.window_class.is_none()) {
        class_name = class_name_of(dialog_template.window_class);
    }
    request.class_name = class_name.c_str();
    request.title = dialog_template.title.c_str();
    request.style = dialog_template.style & ~static_cast<DWORD>(WS_VISIBLE);
    request.ex_style = dialog_template.ex_style;
    request.place(rect);
    request.parent = owner;
    request.instance = instance;
    request.dialog = state;
    return create_window(request);
}

bool create_control(HWND dialog, const DialogItem& item, HINSTANCE instance,
                    const DialogState& state, const char* function) {
    const RECT rect = map_dialog_units(RECT{item.x, item.y, item.x + item.cx, item.y + item.cy},
                                       state.base_units);
    const std::u16string class_name = class_name_of(item.window_class);
    const std::u16string title = title_of(item.text);
    std::vector<BYTE> creation_data = creation_record(item.creation_data);
    WindowRequest request;
    request.class_name = class_name.c_str();
    request.title = title.c_str();
    request.style = item.style | WS_CHILD;
    request.ex_style = item.ex_style;
    request.place(rect);
    request.parent = dialog;
    request.menu = HMENU(item.id);
    request.instance = instance;
    request.parameter = creation_data.empty() ? nullptr : creation_data.data();
    const HWND control = create_window(request);
    if (!control) {
        debug_printf("%s: control %u of class \"%s\" could not be created", function,
                     static_cast<unsigned>(item.id), utf16_to_utf8(class_name).c_str());
        return false;
    }
    send_message(control, WM_SETFONT, static_cast<WPARAM>(state.font.value()), FALSE);
    return true;
}

} // namespace

RECT map_dialog_units(const RECT& units, SIZE base) {
    return RECT{mul_div(units.left, base.cx, 4), mul_div(units.top, base.cy, 8),
                mul_div(units.right, base.cx, 4), mul_div(units.bottom, base.cy, 8)};
}

SIZE dialog_base_units(HFONT font) {
    static constexpr char16_t alphabet[] = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    const HDC dc = GetDC(HWND());
    const HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SIZE extent{};
    GetTextExtentPoint32W(dc, alphabet, 52, &extent);
    SelectObject(dc, previous);
    ReleaseDC(HWND(), dc);
    return SIZE{(extent.cx / 26 + 1) / 2, metrics.tmHeight};
}

HWND build_dialog(const DialogTemplate& dialog_template, HINSTANCE instance, HWND owner,
                  DLGPROC procedure, LPARAM parameter, const std::shared_ptr<DialogState>& state,
                  const char* function) {
    choose_font(dialog_template, *state, function);
    state->base_units = dialog_base_units(state->font);
    const HWND dialog = create_dialog_window(dialog_template, instance, owner, state);
    if (!dialog) {
        debug_printf("%s: the dialog window could not be created", function);
        return HWND();
    }
    {
        WindowSystem& system = WindowSystem::instance();
        WindowLock lock = system.lock();
        state->procedure = procedure;
    }
    if (dialog_template.font) {
        send_message(dialog, WM_SETFONT, static_cast<WPARAM>(state->font.value()), FALSE);
    }
    for (const DialogItem& item : dialog_template.items) {
        if (!create_control(dialog, item, instance, *state, function) &&
            (dialog_template.style & DS_NOFAILCREATE) == 0) {
            destroy_window(dialog);
            return HWND();
        }
    }
    const HWND first = GetNextDlgTabItem(dialog, HWND(), FALSE);
    const LRESULT answer =
        send_message(dialog, WM_INITDIALOG, static_cast<WPARAM>(first.value()), parameter);
    // A nonzero answer asks for the focus on the first tab stop (wherever the procedure put it);
    // with 0 the procedure's own SetFocus stands.
    if (answer != 0) {
        WindowSystem& system = WindowSystem::instance();
        WindowLock lock = system.lock();
        state->saved_focus = first;
    }
    return dialog;
}

} // namespace handset
