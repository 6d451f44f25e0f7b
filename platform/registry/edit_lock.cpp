#include "registry/edit_lock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace handset {

EditLock::EditLock(const std::filesystem::path& file) {
    const std::string lock_path = file.string() + ".lock";
    m_descriptor = ::open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_descriptor < 0 && (errno == EACCES || errno == EROFS)) {
        m_error = "the device is read-only: " + file.string() + " cannot be changed";
        return;
    }
    if (m_descriptor < 0) {
        m_error = "cannot open " + lock_path + ": " + std::strerror(errno);
        return;
    }
    while (::flock(m_descriptor, LOCK_EX) != 0) {
        if (errno != EINTR) {
            m_error = "cannot lock " + lock_path + ": " + std::strerror(errno);
            return;
        }
    }
}

EditLock::~EditLock() {
    if (m_descriptor >= 0) {
        ::close(m_descriptor);
    }
}

} // namespace handset
