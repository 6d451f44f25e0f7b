#include "com/thread_initialization.h"

#include <objbase.h>

namespace handset {

ThreadInitialization& ThreadInitialization::current() {
    thread_local ThreadInitialization state;
    return state;
}

HRESULT ThreadInitialization::open(DWORD model) {
    if (m_depth == 0) {
        m_model = model;
        m_depth = 1;
        return S_OK;
    }
    if (model != m_model) {
        return RPC_E_CHANGED_MODE;
    }
    ++m_depth;
    return S_FALSE;
}

bool ThreadInitialization::close() {
    if (m_depth == 0) {
        return false;
    }
    --m_depth;
    return m_depth == 0;
}

} // namespace handset
