#include "cellcore/at_channel.h"

#include "base/debug_output.h"
#include "cellcore/at_reply.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <optional>

namespace handset {

namespace {

struct FinalCode {
    std::string_view text;
    AtOutcome outcome;
};

constexpr std::array<FinalCode, 6> plain_final_codes = {{
    {"OK", AtOutcome::ok},
    {"ERROR", AtOutcome::error},
    {"NO CARRIER", AtOutcome::no_carrier},
    {"BUSY", AtOutcome::busy},
    {"NO ANSWER", AtOutcome::no_answer},
    {"NO DIALTONE", AtOutcome::no_dialtone},
}};

// "+CPBR" for "AT+CPBR=1,50", "^SYSINFO" for "AT^SYSINFO"; empty for basic commands (ATE0, ATD).
std::string_view command_name(std::string_view command) {
    if (command.size() < 3 || (command[2] != '+' && command[2] != '^')) {
        return {};
    }
    const std::string_view name = command.substr(2);
    return name.substr(0, name.find_first_of("=?"));
}

void read_error(std::string_view body, AtResponse& response) {
    int code = 0;
    const auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), code);
    if (error == std::errc() && end == body.data() + body.size()) {
        response.error_code = code;
    } else {
        response.error_text = std::string(body);
    }
}

// The outcome a final result code gives, or nothing for any other line.
std::optional<AtOutcome> final_outcome(std::string_view line, AtResponse& response) {
    for (const FinalCode& code : plain_final_codes) {
        if (same_ascii_text(line, code.text)) {
            return code.outcome;
        }
    }
    if (line.starts_with("CONNECT")) {
        return AtOutcome::connect;
    }
    if (std::optional<std::string_view> body = response_body(line, "+CME ERROR")) {
        read_error(*body, response);
        return AtOutcome::cme_error;
    }
    if (std::optional<std::string_view> body = response_body(line, "+CMS ERROR")) {
        read_error(*body, response);
        return AtOutcome::cms_error;
    }
    return std::nullopt;
}

} // namespace

const char* outcome_name(AtOutcome outcome) {
    switch (outcome) {
    case AtOutcome::ok:
        return "OK";
    case AtOutcome::error:
        return "ERROR";
    case AtOutcome::cme_error:
        return "+CME ERROR";
    case AtOutcome::cms_error:
        return "+CMS ERROR";
    case AtOutcome::no_carrier:
        return "NO CARRIER";
    case AtOutcome::busy:
        return "BUSY";
    case AtOutcome::no_answer:
        return "NO ANSWER";
    case AtOutcome::no_dialtone:
        return "NO DIALTONE";
    case AtOutcome::connect:
        return "CONNECT";
    case AtOutcome::timeout:
        return "no final result in time";
    case AtOutcome::closed:
        return "the line is closed";
    }
    return "?";
}

AtChannel::AtChannel(SerialLine line) : m_line(std::move(line)) {}

bool AtChannel::next_line(std::string& line) {
    for (;;) {
        const size_t end = m_buffer.find_first_of("\r\n");
        if (end == std::string::npos) {
            return false;
        }
        line = m_buffer.substr(0, end);
        m_buffer.erase(0, end + 1);
        if (!line.empty()) {
            return true;
        }
    }
}

// A line is unsolicited when it is RING or an information response of another name than the
// command's: a reply's information lines carry the command's own name.
bool AtChannel::unsolicited(std::string_view command, std::string_view line) const {
    if (same_ascii_text(line, "RING")) {
        return true;
    }
    const std::string_view name = response_name(line);
    return !name.empty() && !same_ascii_text(name, command_name(command));
}

bool AtChannel::take_line(std::string_view command, const std::string& line, AtResponse& response) {
    if (std::optional<AtOutcome> outcome = final_outcome(line, response)) {
        response.outcome = *outcome;
        return true;
    }
    if (same_ascii_text(line, command)) {
        return false; // the echo
    }
    if (unsolicited(command, line)) {
        debug_printf("modem: unsolicited %s", line.c_str());
        if (m_unsolicited) {
            m_unsolicited(line);
        }
        return false;
    }
    response.lines.push_back(line);
    return false;
}

void AtChannel::drain() {
    if (!closed()) {
        m_line.read(m_buffer, SerialLine::Clock::now());
    }
    std::string line;
    while (next_line(line)) {
        AtResponse ignored;
        if (!final_outcome(line, ignored) && unsolicited({}, line)) {
            take_line({}, line, ignored);
        } else {
            // Most likely the late end of a command that timed out: it answers nothing now.
            debug_printf("modem: ignored %s", line.c_str());
        }
    }
}

AtResponse AtChannel::command(std::string_view command, std::chrono::milliseconds timeout) {
    AtResponse response;
    drain();
    const auto deadline = SerialLine::Clock::now() + timeout;
    if (!m_line.write(std::string(command) + "\r", deadline)) {
        response.outcome = closed() ? AtOutcome::closed : AtOutcome::timeout;
        trace(command, response, timeout);
        return response;
    }
    for (;;) {
        std::string line;
        while (next_line(line)) {
            if (take_line(command, line, response)) {
                trace(command, response, timeout);
                return response;
            }
        }
        switch (m_line.read(m_buffer, deadline)) {
        case SerialLine::ReadResult::data:
            continue;
        case SerialLine::ReadResult::timeout:
            response.outcome = AtOutcome::timeout;
            break;
        case SerialLine::ReadResult::closed:
            response.outcome = AtOutcome::closed;
            break;
        }
        trace(command, response, timeout);
        return response;
    }
}

namespace {

// A PIN given to the modem never reaches the debug output.
std::string shown(std::string_view command) {
    constexpr std::string_view pin_entry = "AT+CPIN=";
    return command.starts_with(pin_entry) ? std::string(pin_entry) + "\"****\""
                                          : std::string(command);
}

} // namespace

void AtChannel::trace(std::string_view command, const AtResponse& response,
                      std::chrono::milliseconds timeout) const {
    const std::string sent = shown(command);
    switch (response.outcome) {
    case AtOutcome::cme_error:
    case AtOutcome::cms_error:
        if (response.error_code >= 0) {
            debug_printf("modem: %s -> %s: %d", sent.c_str(), outcome_name(response.outcome),
                         response.error_code);
        } else {
            debug_printf("modem: %s -> %s: %s", sent.c_str(), outcome_name(response.outcome),
                         response.error_text.c_str());
        }
        return;
    case AtOutcome::timeout:
        debug_printf("modem: %s -> no final result within %lld ms", sent.c_str(),
                     static_cast<long long>(timeout.count()));
        return;
    case AtOutcome::ok:
    case AtOutcome::error:
    case AtOutcome::no_carrier:
    case AtOutcome::busy:
    case AtOutcome::no_answer:
    case AtOutcome::no_dialtone:
    case AtOutcome::connect:
    case AtOutcome::closed:
        debug_printf("modem: %s -> %s (%zu lines)", sent.c_str(), outcome_name(response.outcome),
                     response.lines.size());
        return;
    }
}

} // namespace handset
