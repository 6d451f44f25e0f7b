// One AT command at a time over a serial line: the command goes out as "AT...\r", and the lines
// that come back are collected up to the final result code. Modems differ in what else they put
// on the line, and all of it is tolerated:
//   - the echo of the command (echo on, before ATE0 took effect) is dropped;
//   - "\r\n", "\n" or a lone "\r" ends a line, and empty lines are skipped;
//   - unsolicited result codes ("RING", "+CREG: 1", "^RSSI: 12", "+CPIN: NOT READY" while the
//     command is not +CPIN) may come at any time, in the middle of a reply too; they go to the
//     unsolicited handler and never into the reply.
// Each command and its final result is traced to the debug output, so a user can see what the
// modem said. A timeout and a closed line are distinct outcomes; once closed, every later command
// fails at once. What is left of a reply that came after its command timed out is dropped before
// the next command goes out, as far as it has arrived by then.
#pragma once

#include "cellcore/serial_line.h"

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace handset {

enum class AtOutcome {
    ok,
    error,     // plain ERROR
    cme_error, // +CME ERROR: n (the phone's and the SIM's errors)
    cms_error, // +CMS ERROR: n (the message service's)
    no_carrier,
    busy,
    no_answer,
    no_dialtone,
    connect,
    timeout, // no final result before the command's deadline
    closed,  // the line closed before or during the command
};

struct AtResponse {
    AtOutcome outcome = AtOutcome::closed;
    // The number of a +CME or +CMS error; -1 when the modem gave it as text (error_text).
    int error_code = -1;
    std::string error_text;
    // The information lines, in order, without unsolicited ones.
    std::vector<std::string> lines;

    bool ok() const { return outcome == AtOutcome::ok; }
};

class AtChannel {
  public:
    using UnsolicitedHandler = std::function<void(std::string_view line)>;

    static constexpr std::chrono::milliseconds default_timeout{5000};

    explicit AtChannel(SerialLine line);

    // Runs on the thread that runs the command (or drain), once per unsolicited line.
    void on_unsolicited(UnsolicitedHandler handler) { m_unsolicited = std::move(handler); }

    // command without the trailing "\r", e.g. "AT+CPBR=1,50".
    AtResponse command(std::string_view command,
                       std::chrono::milliseconds timeout = default_timeout);
    // Hands what arrived between commands to the unsolicited handler, without waiting.
    void drain();
    bool closed() const { return m_line.closed(); }

  private:
    // The next complete line in the buffer, or false.
    bool next_line(std::string& line);
    // Sorts one line into the reply; true when it was the final result.
    bool take_line(std::string_view command, const std::string& line, AtResponse& response);
    bool unsolicited(std::string_view command, std::string_view line) const;
    void trace(std::string_view command, const AtResponse& response,
               std::chrono::milliseconds timeout) const;

    SerialLine m_line;
    std::string m_buffer;
    UnsolicitedHandler m_unsolicited;
};

const char* outcome_name(AtOutcome outcome);

} // namespace handset
