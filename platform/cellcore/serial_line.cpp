#include "cellcore/serial_line.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace handset {

namespace {

struct Speed {
    int baud;
    speed_t constant;
};

constexpr std::array<Speed, 10> speeds = {{
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
    {230400, B230400},
    {460800, B460800},
    {500000, B500000},
    {576000, B576000},
    {921600, B921600},
}};

speed_t speed_constant(int baud) {
    for (const Speed& speed : speeds) {
        if (speed.baud == baud) {
            return speed.constant;
        }
    }
    std::string known;
    for (const Speed& speed : speeds) {
        known += (known.empty() ? "" : ", ") + std::to_string(speed.baud);
    }
    throw SerialLineError("unsupported speed " + std::to_string(baud) + " baud (use one of " +
                          known + ")");
}

std::string open_failure(const std::string& device, int error) {
    std::string message = "cannot open " + device + ": " + std::strerror(error);
    if (error == EACCES || error == EPERM) {
        message += " (is the user in the dialout group?)";
    } else if (error == EBUSY) {
        message += " (another program, such as ModemManager, holds the port)";
    }
    return message;
}

void configure(int descriptor, const std::string& device, speed_t speed) {
    termios settings{};
    if (tcgetattr(descriptor, &settings) != 0) {
        throw SerialLineError(device + " is not a serial line: " + std::strerror(errno));
    }
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    // poll decides when to read, so a read returns at once with what is there.
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (cfsetispeed(&settings, speed) != 0 || cfsetospeed(&settings, speed) != 0 ||
        tcsetattr(descriptor, TCSANOW, &settings) != 0) {
        throw SerialLineError("cannot set up " + device + ": " + std::strerror(errno));
    }
    // What the modem said before we came is no answer to anything we ask.
    tcflush(descriptor, TCIOFLUSH);
}

int milliseconds_until(SerialLine::Clock::time_point deadline) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - SerialLine::Clock::now());
    return static_cast<int>(std::max<int64_t>(0, left.count()));
}

} // namespace

SerialLine SerialLine::open(const std::string& device, int baud) {
    const speed_t speed = speed_constant(baud);
    const int descriptor = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        throw SerialLineError(open_failure(device, errno));
    }
    SerialLine line(descriptor);
    configure(descriptor, device, speed);
    return line;
}

SerialLine::SerialLine(int descriptor) : m_descriptor(descriptor) {
    struct stat status {};
    // A socket's peer may go away; writing to it then must fail, not raise SIGPIPE.
    m_socket = fstat(descriptor, &status) == 0 && S_ISSOCK(status.st_mode);
    const int flags = fcntl(descriptor, F_GETFL);
    if (flags >= 0) {
        fcntl(descriptor, F_SETFL, flags | O_NONBLOCK);
    }
}

SerialLine::~SerialLine() {
    close();
}

SerialLine::SerialLine(SerialLine&& other) noexcept
    : m_descriptor(std::exchange(other.m_descriptor, -1)), m_socket(other.m_socket) {}

SerialLine& SerialLine::operator=(SerialLine&& other) noexcept {
    if (this != &other) {
        close();
        m_descriptor = std::exchange(other.m_descriptor, -1);
        m_socket = other.m_socket;
    }
    return *this;
}

void SerialLine::close() {
    if (m_descriptor >= 0) {
        ::close(m_descriptor);
        m_descriptor = -1;
    }
}

SerialLine::Wait SerialLine::wait_for(short events, Clock::time_point deadline) {
    for (;;) {
        pollfd entry{m_descriptor, events, 0};
        const int ready = ::poll(&entry, 1, milliseconds_until(deadline));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0 || (entry.revents & (POLLERR | POLLNVAL))) {
            return Wait::closed;
        }
        if (ready == 0) {
            return Wait::timeout;
        }
        // A hang-up with data still buffered is read first; the read then sees the end.
        if ((entry.revents & events) == 0 && (entry.revents & POLLHUP)) {
            return Wait::closed;
        }
        return Wait::ready;
    }
}

SerialLine::ReadResult SerialLine::read_available(std::string& into) {
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(m_descriptor, buffer, sizeof buffer);
        if (count > 0) {
            into.append(buffer, static_cast<size_t>(count));
            return ReadResult::data;
        }
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return ReadResult::timeout;
        }
        // End of file, or EIO from a tty whose device went away.
        return ReadResult::closed;
    }
}

SerialLine::ReadResult SerialLine::read(std::string& into, Clock::time_point deadline) {
    while (!closed()) {
        switch (wait_for(POLLIN, deadline)) {
        case Wait::timeout:
            return ReadResult::timeout;
        case Wait::closed:
            close();
            return ReadResult::closed;
        case Wait::ready:
            break;
        }
        const ReadResult result = read_available(into);
        if (result == ReadResult::closed) {
            close();
        }
        if (result != ReadResult::timeout || Clock::now() >= deadline) {
            return result;
        }
    }
    return ReadResult::closed;
}

bool SerialLine::write(std::string_view bytes, Clock::time_point deadline) {
    while (!bytes.empty() && !closed()) {
        const ssize_t written = m_socket
                                    ? ::send(m_descriptor, bytes.data(), bytes.size(), MSG_NOSIGNAL)
                                    : ::write(m_descriptor, bytes.data(), bytes.size());
        if (written > 0) {
            bytes.remove_prefix(static_cast<size_t>(written));
            continue;
        }
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const Wait wait = wait_for(POLLOUT, deadline);
            if (wait == Wait::ready) {
                continue;
            }
            if (wait == Wait::timeout) {
                return false;
            }
        }
        close();
    }
    return !closed();
}

} // namespace handset
