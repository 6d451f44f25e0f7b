// How store outcomes reach the callers of the contacts objects as COM statuses.
#pragma once

#include "poom/store_result.h"

#include <windef.h>

namespace handset {

// S_OK; E_OUTOFMEMORY when the device storage (or memory) is full; E_FAIL when the store is
// missing, damaged, busy past its timeout, or the contact is gone.
HRESULT hresult_of(const StoreResult& result);

} // namespace handset
