// The values of a modem's information responses, such as
//   +CPBR: 12,"+4930123",145,"Anna"
//   +CPBR: (1-250),40,14
//   +CSCS: ("IRA","GSM","UCS2")
// Pure functions over one line of text: no I/O, and nothing is read past the text given.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace handset {

struct AtValue {
    enum class Kind {
        empty,  // nothing between two commas
        number, // decimal digits
        text,   // a quoted string, its escapes resolved
        token,  // anything else unquoted: READY, SIM PIN
        range,  // 1-250, inside or outside parentheses
        list,   // a parenthesised list of numbers, ranges and strings
    };

    Kind kind = Kind::empty;
    int64_t number = 0; // the number, or the range's first value
    int64_t last = 0;   // the range's last value
    std::string text;   // the text, the token, or the number's digits ("0123" keeps its 0)
    std::vector<AtValue> items;

    friend bool operator==(const AtValue&, const AtValue&) = default;
};

// Compares ASCII text as modems mean it: "ok" and "OK" are the same result.
bool same_ascii_text(std::string_view a, std::string_view b);

// The text after "<name>:" when line is an information response of that name ("+CPBR"),
// without the blanks that some modems put after the colon.
std::optional<std::string_view> response_body(std::string_view line, std::string_view name);

// The name of an information response ("+CREG", "^RSSI"), or empty when the line is none.
std::string_view response_name(std::string_view line);

// The comma-separated values of a response's body; nothing when a parenthesis is left open.
std::optional<std::vector<AtValue>> parse_values(std::string_view body);

// The lowest and highest index that a value names: a number, a range, or a list of them.
struct IndexBounds {
    int64_t first;
    int64_t last;
};
std::optional<IndexBounds> index_bounds(const AtValue& value);

} // namespace handset
