// The handset's debug output: what programs write with OutputDebugStringW and what the platform
// reports about itself ("a clear debug line") end up in one sink, chosen by $TELVANE_DEBUG:
//   stderr       standard error
//   file:PATH    appended to PATH
//   off          discarded
//   (unset)      debug.log in the device folder once that folder exists, else standard error
// A log file is the user's alone (0600), and once it reaches debug_log_limit (debug_sink.h) it is
// moved aside as "<file>.1", replacing the older one, so the device keeps two at most.
// Each call is written whole with one write, so lines of concurrent writers (threads or processes
// sharing debug.log) never mix. The line breaks that end a call's text are written as given
// ("\r\n" stays, and so do empty lines after it); a call whose text does not end in a line break
// gets "\n", so every call ends its own line. Control characters before them are escaped (see
// visible_text.h): traced text holds names from the card, and one with a line feed must not
// forge a line.
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace handset {

void debug_line(std::string_view utf8);
void debug_printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// While a capture lives, the debug output of every thread goes to it (and to every other live
// capture) instead of the sink. Meant for tests.
class DebugCapture {
  public:
    DebugCapture();
    ~DebugCapture();
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;

    // Everything written while the capture lived, exactly as the sink would have received it.
    std::string text() const;
    // The same text cut into lines, each without its "\n" or "\r\n".
    std::vector<std::string> lines() const;

    void append(std::string_view text);

  private:
    mutable std::mutex m_mutex;
    std::string m_text;
};

} // namespace handset
