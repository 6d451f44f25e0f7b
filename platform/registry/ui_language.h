// The user-interface language behind GetUserDefaultUILanguage.
#pragma once

#include <winbase.h>

#include <string_view>

namespace handset {

// The language identifier of a POSIX locale name such as "de_DE.UTF-8" or "zh_TW@stroke"; a
// language without a known territory gets its main one ("de" is 0x0407). 0 when unknown,
// including "C" and "POSIX".
LANGID language_of_locale(std::string_view locale);

} // namespace handset
