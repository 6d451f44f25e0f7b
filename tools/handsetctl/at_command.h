// One command of an AT command line (V.250): a basic command such as E1, &F or D<dial string>, or
// an extended one such as +CPBR=1,10, +CPIN? or +CSCS=?, with its name in upper case.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace handsetctl {

// A parameter of a set command. An omitted one ("AT+CPBW=,"123"") is empty and not quoted.
struct AtParameter {
    std::string text;
    bool quoted = false;

    bool omitted() const { return text.empty() && !quoted; }
};

struct AtCommand {
    enum class Form { action, set, read, test };

    std::string name;
    Form form = Form::action;
    // The number after a basic command, the dial string after D, the text after '=' of a set.
    std::string argument;

    // The set command's parameters, or nothing when a quoted one is not closed or is followed by
    // more than spaces before its comma.
    std::optional<std::vector<AtParameter>> parameters() const;
};

// The value of an unquoted parameter of decimal digits, or nothing for any other. More than nine
// digits saturate at 999999999: still a number, but above every index and code.
std::optional<uint32_t> decimal_value(const AtParameter& parameter);

// Whether two names are the same but for the case of their ASCII letters.
bool equals_ignoring_case(std::string_view a, std::string_view b);

// The commands of the line after its "AT", or nothing when it breaks the syntax: then none of
// them is run, as a modem answers such a line with ERROR. Spaces outside quotes are ignored.
std::optional<std::vector<AtCommand>> parse_command_line(std::string_view body);

} // namespace handsetctl
