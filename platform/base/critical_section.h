// The lock behind a CRITICAL_SECTION: recursive, owned by one thread at a time, as on the device.
#pragma once

#include <windef.h>

#include <condition_variable>
#include <mutex>

namespace handset {

class CriticalSection {
  public:
    void enter(DWORD thread);
    // False when the thread does not own the section; it is then left as it was.
    bool leave(DWORD thread);
    bool is_free() const;

  private:
    mutable std::mutex m_mutex;
    std::condition_variable m_released;
    DWORD m_owner = 0;
    unsigned m_depth = 0;
};

} // namespace handset
