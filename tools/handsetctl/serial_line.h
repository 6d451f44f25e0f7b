// The line between an AT client and the AT front: bytes read from one descriptor are fed to the
// front, and its answers are written to another, paced as a serial line at a given speed would
// carry them (ten bits a byte: start, eight data bits, stop), so that timings match a modem's.
#pragma once

#include "at_front.h"

#include <chrono>
#include <csignal>
#include <string_view>

namespace handsetctl {

class SerialLine {
  public:
    // baud 0 writes as fast as the output takes the bytes.
    SerialLine(int input, int output, int baud);

    void write(std::string_view bytes);

    // Feeds the front until the input ends or a signal sets stop. The signals that may set it are
    // blocked by the caller and delivered only while the line waits for input, with the signal
    // mask during_wait (none: the mask is left as it is), so that none is lost between a look at
    // stop and the wait. False when the line failed: input or output gave an error.
    bool serve(AtFront& front, const volatile std::sig_atomic_t& stop, const sigset_t* during_wait);

  private:
    void write_all(std::string_view bytes);
    void pace(size_t bytes);

    int m_input;
    int m_output;
    int m_baud;
    bool m_failed = false;
    // When the bytes already written will have left the line.
    std::chrono::steady_clock::time_point m_line_free;
};

} // namespace handsetctl
