#include "user/start_lock.h"

#include "base/debug_output.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace handset {

StartLock::StartLock(const std::filesystem::path& folder) {
    const std::filesystem::path file = folder / "start.lock";
    m_descriptor = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_descriptor < 0) {
        debug_printf("handset: no start lock at %s; starts are not serialised\n", file.c_str());
    }
}

StartLock::~StartLock() {
    if (m_descriptor >= 0) {
        ::close(m_descriptor);
    }
}

// Polled rather than a blocking flock, which cannot be given a time limit.
void StartLock::hold() {
    if (m_descriptor < 0) {
        return;
    }
    std::lock_guard waiting(m_waiting);
    if (m_held) {
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + start_lock_wait;
    while (::flock(m_descriptor, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            std::chrono::steady_clock::now() >= deadline) {
            debug_line("handset: another process of the device held the start lock too long; "
                       "looking for the window without it");
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    m_held = true;
}

void StartLock::release() {
    if (m_held.exchange(false)) {
        ::flock(m_descriptor, LOCK_UN);
    }
}

} // namespace handset
