#include "gdi/gdi_lock.h"

namespace handset {

namespace {

// Never destroyed: detached threads may still draw while the process exits.
std::mutex& gdi_mutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
}

} // namespace

GdiGuard::GdiGuard() : m_lock(gdi_mutex()) {}

} // namespace handset
