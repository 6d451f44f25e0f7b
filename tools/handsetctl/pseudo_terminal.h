// A pseudo-terminal in raw mode, the stand-in for a modem's serial port: a client opens the slave
// by its path as it would open /dev/ttyUSB0, and the server reads and writes the master. The
// server keeps the slave open as well, so that a client closing it is not the end of the line:
// the next client finds the modem as the last one left it.
#pragma once

#include <string>

namespace handsetctl {

class PseudoTerminal {
  public:
    // Throws OperationError when the system gives no pseudo-terminal.
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    int master() const { return m_master; }
    const std::string& slave_path() const { return m_slave_path; }

  private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_slave_path;
};

} // namespace handsetctl
