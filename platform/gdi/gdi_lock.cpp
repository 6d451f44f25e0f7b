#include "gdi/gdi_lock.h"

namespace handset {

namespace {

std::mutex& gdi_mutex() {
    static std::mutex mutex;
    return mutex;
}

} // namespace

GdiGuard::GdiGuard() : m_lock(gdi_mutex()) {}

} // namespace handset
