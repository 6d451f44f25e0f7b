// Tells the user why a change to the contacts store failed, in a message box over owner, and
// writes the store's own reason to the debug output.
#pragma once

#include "poom/store_result.h"

#include <windef.h>

namespace handset {

void show_store_failure(HWND owner, const StoreResult& result);

} // namespace handset
