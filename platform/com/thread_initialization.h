// What CoInitializeEx and CoUninitialize keep for one thread: how many initialisations are open
// and under which concurrency model.
#pragma once

#include <windef.h>

namespace handset {

class ThreadInitialization {
  public:
    // The calling thread's record.
    static ThreadInitialization& current();

    // S_OK for the thread's first initialisation, S_FALSE for a further one with the same model,
    // RPC_E_CHANGED_MODE for the other model (which opens nothing).
    HRESULT open(DWORD model);
    // Closes one initialisation; true when it was the thread's last. A thread that is not
    // initialised is left alone.
    bool close();
    bool is_open() const { return m_depth > 0; }

  private:
    unsigned m_depth = 0;
    DWORD m_model = 0;
};

} // namespace handset
