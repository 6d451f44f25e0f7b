#include "pin_entry.h"

#include "arguments.h"

#include <termios.h>
#include <unistd.h>

namespace handsetctl {

namespace {

// Turns the terminal's echo off for its life and back on after, also when reading fails.
class HiddenInput {
  public:
    explicit HiddenInput(int descriptor) : m_descriptor(descriptor) {
        m_hidden = tcgetattr(descriptor, &m_saved) == 0;
        if (m_hidden) {
            termios quiet = m_saved;
            quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
            quiet.c_lflag |= ECHONL;
            m_hidden = tcsetattr(descriptor, TCSAFLUSH, &quiet) == 0;
        }
    }
    ~HiddenInput() {
        if (m_hidden) {
            tcsetattr(m_descriptor, TCSAFLUSH, &m_saved);
        }
    }
    HiddenInput(const HiddenInput&) = delete;
    HiddenInput& operator=(const HiddenInput&) = delete;

  private:
    int m_descriptor;
    termios m_saved{};
    bool m_hidden = false;
};

std::string one_line(std::istream& in) {
    std::string line;
    if (!std::getline(in, line)) {
        throw OperationError("no PIN given: the input ended");
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

} // namespace

std::string read_pin(std::istream& in, int descriptor, std::ostream& prompt) {
    if (isatty(descriptor) == 0) {
        return one_line(in);
    }
    prompt << "PIN: " << std::flush;
    const HiddenInput hidden(descriptor);
    return one_line(in);
}

} // namespace handsetctl
