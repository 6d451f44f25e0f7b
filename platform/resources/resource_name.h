// How resource files and templates name things: a resource's type and name, a dialog's menu and
// window class, a control's class and text. Each is either a 16-bit ordinal or a string; templates
// may also leave a name out.
#pragma once

#include <windef.h>

#include <string>

namespace handset {

struct ResourceName {
    enum class Kind { none, ordinal, text };

    Kind kind = Kind::none;
    WORD ordinal = 0;
    std::u16string text;

    static ResourceName from_ordinal(WORD value) { return {Kind::ordinal, value, {}}; }
    static ResourceName from_text(std::u16string value) {
        return {Kind::text, 0, std::move(value)};
    }

    bool is_none() const { return kind == Kind::none; }
    bool is_ordinal() const { return kind == Kind::ordinal; }
    bool is_text() const { return kind == Kind::text; }

    friend bool operator==(const ResourceName&, const ResourceName&) = default;
};

// True when `id`, as the device's API passes resource names (an ordinal made by MAKEINTRESOURCE,
// a string, or "#123" for ordinal 123), names `name`. Strings compare without regard to case,
// because resource compilers store names and class names in upper case.
bool resource_name_matches(const ResourceName& name, const WCHAR* id);

} // namespace handset
