#include "serial_line.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace handsetctl {

namespace {

constexpr int bits_a_byte = 10;
constexpr auto idle_line = std::chrono::milliseconds(50);

} // namespace

SerialLine::SerialLine(int input, int output, int baud)
    : m_input(input), m_output(output), m_baud(baud) {}

// The bytes go out in pieces of about 10 ms of line time, so that a long reply arrives at its
// reader as steadily as from a modem rather than in one burst after a long pause.
void SerialLine::write(std::string_view bytes) {
    const size_t piece = m_baud > 0 ? std::max(1, m_baud / (bits_a_byte * 100)) : bytes.size();
    while (!bytes.empty() && !m_failed) {
        const std::string_view next = bytes.substr(0, piece);
        write_all(next);
        if (m_baud > 0) {
            pace(next.size());
        }
        bytes.remove_prefix(next.size());
    }
}

void SerialLine::write_all(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(m_output, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            m_failed = true;
            return;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
}

void SerialLine::pace(size_t bytes) {
    using namespace std::chrono;
    const auto now = steady_clock::now();
    const auto line_time =
        nanoseconds(static_cast<int64_t>(bytes) * bits_a_byte * 1'000'000'000 / m_baud);
    // A sleep that overran is made up by the next pieces; only a line that stood idle starts
    // its time afresh.
    if (now - m_line_free > idle_line) {
        m_line_free = now;
    }
    m_line_free += line_time;
    std::this_thread::sleep_until(m_line_free);
}

bool SerialLine::serve(AtFront& front, const volatile std::sig_atomic_t& stop,
                       const sigset_t* during_wait) {
    char buffer[4096];
    while (!stop && !m_failed) {
        pollfd input{m_input, POLLIN, 0};
        if (::ppoll(&input, 1, nullptr, during_wait) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        const ssize_t got = ::read(m_input, buffer, sizeof buffer);
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (got <= 0) {
            return got == 0;
        }
        front.receive({buffer, static_cast<size_t>(got)});
    }
    return !m_failed;
}

} // namespace handsetctl
