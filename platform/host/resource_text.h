// The Contacts application's strings, in the interface language (see LanguageModule).
#pragma once

#include <windef.h>

#include <string>

namespace handset {

std::u16string resource_text(UINT id);

} // namespace handset
