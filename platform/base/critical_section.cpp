#include "base/critical_section.h"

namespace handset {

void CriticalSection::enter(DWORD thread) {
    std::unique_lock lock(m_mutex);
    if (m_owner == thread) {
        ++m_depth;
        return;
    }
    m_released.wait(lock, [this] { return m_depth == 0; });
    m_owner = thread;
    m_depth = 1;
}

bool CriticalSection::leave(DWORD thread) {
    std::lock_guard lock(m_mutex);
    if (m_owner != thread || m_depth == 0) {
        return false;
    }
    if (--m_depth == 0) {
        m_owner = 0;
        m_released.notify_one();
    }
    return true;
}

bool CriticalSection::is_free() const {
    std::lock_guard lock(m_mutex);
    return m_depth == 0;
}

} // namespace handset
