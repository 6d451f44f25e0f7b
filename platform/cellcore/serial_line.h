// The byte stream to a modem: a serial tty in real use, a pty or a socketpair in tests. Reads
// wait until a deadline; writes send everything. A line whose other end went away (end of file,
// EIO from a tty whose device vanished, a hang-up) is reported as closed and stays closed, so a
// caller never spins on it or waits for it.
#pragma once

#include <chrono>
#include <stdexcept>
#include <string>
#include <string_view>

namespace handset {

class SerialLineError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class SerialLine {
  public:
    using Clock = std::chrono::steady_clock;
    enum class ReadResult { data, timeout, closed };

    // Opens a tty for reading and writing, raw, at baud (9600 to 921600), without making it the
    // process's controlling terminal. Throws SerialLineError saying why, with a hint for the
    // usual causes (no access to the dialout group, another program holding the port).
    static SerialLine open(const std::string& device, int baud);

    // Takes an open descriptor as it is (no terminal settings); the line closes it.
    explicit SerialLine(int descriptor);
    ~SerialLine();
    SerialLine(SerialLine&& other) noexcept;
    SerialLine& operator=(SerialLine&& other) noexcept;
    SerialLine(const SerialLine&) = delete;
    SerialLine& operator=(const SerialLine&) = delete;

    // Appends what arrives before the deadline (at least one byte for ReadResult::data). A
    // deadline in the past takes only what is already there.
    ReadResult read(std::string& into, Clock::time_point deadline);
    // False when not everything went out before the deadline; closed() then says whether the
    // line closed or the other end stopped taking data.
    bool write(std::string_view bytes, Clock::time_point deadline);
    bool closed() const { return m_descriptor < 0; }

  private:
    enum class Wait { ready, timeout, closed };
    Wait wait_for(short events, Clock::time_point deadline);
    ReadResult read_available(std::string& into);
    void close();

    int m_descriptor = -1;
    bool m_socket = false;
};

} // namespace handset
