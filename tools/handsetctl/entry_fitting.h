// Whether the card can hold an entry, measured as the card stores it: a name takes a byte a
// character in the GSM alphabet, else 1 + 2 bytes a character in UCS2; a number holds only digits,
// '*', '#' and 'p' after an optional '+'. A name too long is cut only when asked, and the
// shortening is always said; a number is never cut, as a shorter number reaches someone else.
#pragma once

#include "sim_phonebook.h"

#include <string>
#include <vector>

namespace handsetctl {

struct FittedEntry {
    SimEntry entry;
    // Why the card cannot hold it; empty when it can.
    std::string refusal;
    // What was cut or left out to make it fit.
    std::vector<std::string> shortenings;
};

// The spaces, dashes, dots, slashes and brackets people write between digits are only
// layout, and go; nothing else in a number changes.
std::u16string dialable(std::u16string_view number);

FittedEntry fit_entry(const SimEntry& entry, const SIMPHONEBOOKCAPS& capabilities, bool shorten);

} // namespace handsetctl
