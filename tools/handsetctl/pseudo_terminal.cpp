#include "pseudo_terminal.h"

#include "arguments.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace handsetctl {

namespace {

[[noreturn]] void fail(const char* what) {
    throw OperationError(std::string("cannot open a pseudo-terminal: ") + what + ": " +
                         std::strerror(errno));
}

} // namespace

PseudoTerminal::PseudoTerminal() {
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0) {
        fail("posix_openpt");
    }
    const char* name = ptsname(m_master);
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0 || !name) {
        ::close(m_master);
        fail("unlockpt");
    }
    m_slave_path = name;
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios mode{};
    if (m_slave < 0 || tcgetattr(m_slave, &mode) != 0) {
        const int error = errno;
        if (m_slave >= 0) {
            ::close(m_slave);
        }
        ::close(m_master);
        errno = error;
        fail(name);
    }
    // Raw: no line editing, no echo and no translation of CR, as on a modem's serial line.
    cfmakeraw(&mode);
    tcsetattr(m_slave, TCSANOW, &mode);
}

PseudoTerminal::~PseudoTerminal() {
    ::close(m_slave);
    ::close(m_master);
}

} // namespace handsetctl
