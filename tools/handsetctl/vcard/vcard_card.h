// One vCard as read from a file, and what was wrong with the cards that could not be read.
#pragma once

#include "vcard_property.h"

#include <string>
#include <vector>

namespace vcard {

struct VcardCard {
    // The line of its BEGIN:VCARD, from 1.
    int line = 0;
    VcardVersion version = VcardVersion::v3_0;
    // In the order of the file, without BEGIN, VERSION and END.
    std::vector<VcardProperty> properties;

    // Those named name (upper case), in the order of the file.
    std::vector<const VcardProperty*> all(std::string_view name) const;
    // The first of them; nullptr when there is none.
    const VcardProperty* first(std::string_view name) const;
};

// A card that could not be read, or text between cards, at the line where it went wrong.
struct VcardProblem {
    int line;
    std::string message;
};

struct VcardFile {
    std::vector<VcardCard> cards;
    std::vector<VcardProblem> problems;
};

} // namespace vcard
