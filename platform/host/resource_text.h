// The Contacts application's strings, from the program's own module.
#pragma once

#include <windef.h>

#include <string>

namespace handset {

std::u16string resource_text(UINT id);

} // namespace handset
