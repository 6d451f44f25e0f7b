#include "poom/poom_status.h"

#include <objbase.h>

namespace handset {

HRESULT hresult_of(const StoreResult& result) {
    switch (result.status) {
    case StoreStatus::ok:
        return S_OK;
    case StoreStatus::full:
    case StoreStatus::no_memory:
        return E_OUTOFMEMORY;
    case StoreStatus::missing:
    case StoreStatus::exists:
    case StoreStatus::unusable:
    case StoreStatus::busy:
    case StoreStatus::not_found:
        return E_FAIL;
    }
    return E_FAIL;
}

} // namespace handset
