#include "resources/resource_name.h"

#include "base/wide_text.h"

#include <libloaderapi.h>

#include <cstdint>
#include <optional>
#include <string_view>

namespace handset {

namespace {

// "#123" names ordinal 123; anything else after '#' is an ordinary string name.
std::optional<WORD> ordinal_from_text(std::u16string_view text) {
    if (text.size() < 2 || text.size() > 6 || text[0] != u'#') {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (char16_t c : text.substr(1)) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        value = value * 10 + (c - u'0');
    }
    if (value > 0xFFFF) {
        return std::nullopt;
    }
    return static_cast<WORD>(value);
}

} // namespace

bool resource_name_matches(const ResourceName& name, const WCHAR* id) {
    if (IS_INTRESOURCE(id)) {
        return name.is_ordinal() &&
               name.ordinal == static_cast<WORD>(reinterpret_cast<uintptr_t>(id));
    }
    std::u16string_view text(id);
    if (std::optional<WORD> ordinal = ordinal_from_text(text)) {
        return name.is_ordinal() && name.ordinal == *ordinal;
    }
    return name.is_text() && compare_ignoring_case(name.text, text) == 0;
}

} // namespace handset
