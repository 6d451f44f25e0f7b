#include "registry/ui_language.h"

#include "base/debug_output.h"

#include <winreg.h>

#include <cstdlib>
#include <string>

namespace handset {

namespace {

struct LocaleLanguage {
    std::string_view language;
    std::string_view territory;
    LANGID id;
};

// The first entry of each language is its main territory.
constexpr LocaleLanguage locale_languages[] = {
    {"ar", "SA", 0x0401}, {"ar", "EG", 0x0C01}, {"bg", "BG", 0x0402}, {"ca", "ES", 0x0403},
    {"zh", "CN", 0x0804}, {"zh", "TW", 0x0404}, {"zh", "HK", 0x0C04}, {"zh", "SG", 0x1004},
    {"zh", "MO", 0x1404}, {"cs", "CZ", 0x0405}, {"da", "DK", 0x0406}, {"de", "DE", 0x0407},
    {"de", "CH", 0x0807}, {"de", "AT", 0x0C07}, {"de", "LU", 0x1007}, {"de", "LI", 0x1407},
    {"el", "GR", 0x0408}, {"en", "US", 0x0409}, {"en", "GB", 0x0809}, {"en", "AU", 0x0C09},
    {"en", "CA", 0x1009}, {"en", "NZ", 0x1409}, {"en", "IE", 0x1809}, {"en", "ZA", 0x1C09},
    {"en", "IN", 0x4009}, {"en", "SG", 0x4809}, {"es", "ES", 0x0C0A}, {"es", "MX", 0x080A},
    {"es", "AR", 0x2C0A}, {"es", "CO", 0x240A}, {"es", "US", 0x540A}, {"et", "EE", 0x0425},
    {"fi", "FI", 0x040B}, {"fr", "FR", 0x040C}, {"fr", "BE", 0x080C}, {"fr", "CA", 0x0C0C},
    {"fr", "CH", 0x100C}, {"fr", "LU", 0x140C}, {"he", "IL", 0x040D}, {"hr", "HR", 0x041A},
    {"hu", "HU", 0x040E}, {"id", "ID", 0x0421}, {"it", "IT", 0x0410}, {"it", "CH", 0x0810},
    {"ja", "JP", 0x0411}, {"ko", "KR", 0x0412}, {"lt", "LT", 0x0427}, {"lv", "LV", 0x0426},
    {"ms", "MY", 0x043E}, {"nb", "NO", 0x0414}, {"no", "NO", 0x0414}, {"nn", "NO", 0x0814},
    {"nl", "NL", 0x0413}, {"nl", "BE", 0x0813}, {"pl", "PL", 0x0415}, {"pt", "BR", 0x0416},
    {"pt", "PT", 0x0816}, {"ro", "RO", 0x0418}, {"ru", "RU", 0x0419}, {"sk", "SK", 0x041B},
    {"sl", "SI", 0x0424}, {"sv", "SE", 0x041D}, {"sv", "FI", 0x081D}, {"th", "TH", 0x041E},
    {"tr", "TR", 0x041F}, {"uk", "UA", 0x0422}, {"vi", "VN", 0x042A},
};

constexpr LANGID english_us = 0x0409;

std::string_view locale_from_environment() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return {};
}

// The device setting, or 0 when there is none.
LANGID language_from_registry() {
    HKEY key{};
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Handset\\Device", 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        return 0;
    }
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    const LSTATUS status = RegQueryValueExW(key, u"UILanguage", nullptr, &type,
                                            reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    if (status == ERROR_FILE_NOT_FOUND) {
        return 0;
    }
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value ||
        LOWORD(value) == 0) {
        debug_line("GetUserDefaultUILanguage: HKEY_LOCAL_MACHINE\\Handset\\Device \"UILanguage\" "
                   "is not a language number; using the locale");
        return 0;
    }
    return LOWORD(value);
}

} // namespace

LANGID language_of_locale(std::string_view locale) {
    locale = locale.substr(0, locale.find_first_of(".@"));
    const size_t separator = locale.find_first_of("_-");
    const std::string_view language = locale.substr(0, separator);
    const std::string_view territory =
        separator == std::string_view::npos ? std::string_view() : locale.substr(separator + 1);
    LANGID main_territory = 0;
    for (const LocaleLanguage& entry : locale_languages) {
        if (entry.language != language) {
            continue;
        }
        if (entry.territory == territory) {
            return entry.id;
        }
        if (main_territory == 0) {
            main_territory = entry.id;
        }
    }
    return main_territory;
}

LANGID language_of_environment() {
    const LANGID from_locale = language_of_locale(locale_from_environment());
    return from_locale != 0 ? from_locale : english_us;
}

} // namespace handset

LANGID GetUserDefaultUILanguage() {
    if (const LANGID from_device = handset::language_from_registry()) {
        return from_device;
    }
    return handset::language_of_environment();
}
