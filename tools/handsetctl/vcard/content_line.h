// The parts of one unfolded content line: [group "."] name *(";" parameter) ":" value.
#pragma once

#include "vcard_property.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vcard {

struct ContentLine {
    std::string group;
    // Upper case.
    std::string name;
    std::vector<VcardParameter> parameters;
    std::string value;

    // The first value of the parameter; empty when there is none.
    std::string first(std::string_view parameter) const;
};

// Nothing when the line has no colon outside quotes or its name is not a vCard name (letters,
// digits and "-").
std::optional<ContentLine> parse_content_line(std::string_view text);

// Whether the line's value is in quoted-printable, whose soft line breaks continue it on the next
// line. Only the part before the value is looked at.
bool is_quoted_printable(std::string_view text);

} // namespace vcard
