#include "gdi/screen_setting.h"

#include "base/debug_output.h"
#include "base/utf.h"

#include <winreg.h>

#include <algorithm>
#include <optional>
#include <string>

namespace handset {

namespace {

std::optional<std::u16string> read_screen_value() {
    HKEY key{};
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Handset\\Device", 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    WCHAR text[16] = {};
    DWORD type = 0;
    DWORD size = sizeof(text) - sizeof(WCHAR);
    const LONG status =
        RegQueryValueExW(key, u"Screen", nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ) {
        return std::nullopt;
    }
    return std::u16string(text);
}

std::u16string lower_case(std::u16string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char16_t c) { return c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c; });
    return text;
}

} // namespace

ScreenProfile configured_screen_profile() {
    const std::optional<std::u16string> value = read_screen_value();
    if (!value) {
        return ScreenProfile::qvga();
    }
    const std::u16string name = lower_case(*value);
    if (name == u"vga") {
        return ScreenProfile::vga();
    }
    if (name != u"qvga") {
        debug_printf("gdi: the device's Screen setting \"%s\" is neither qvga nor vga; using qvga",
                     utf16_to_utf8(*value).c_str());
    }
    return ScreenProfile::qvga();
}

} // namespace handset
