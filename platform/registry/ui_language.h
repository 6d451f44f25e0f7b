// The user-interface language behind GetUserDefaultUILanguage.
#pragma once

#include <winbase.h>

#include <string_view>

namespace handset {

// The language identifier of a POSIX locale name such as "de_DE.UTF-8" or "zh_TW@stroke"; a
// language without a known territory gets its main one ("de" is 0x0407). 0 when unknown,
// including "C" and "POSIX".
LANGID language_of_locale(std::string_view locale);

// The language of the desktop's locale: the first of LC_ALL, LC_MESSAGES and LANG that is set and
// not empty decides, as it does for the desktop's own programs. US English (0x0409) when that
// locale names no known language, or none is set.
LANGID language_of_environment();

} // namespace handset
