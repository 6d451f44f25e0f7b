// Between vCards and SIM phonebook entries. A card gives its name (FN, else N, else its
// nickname), its preferred number, its next number as the additional number where the card keeps
// one, and its first e-mail address where the card keeps one; the rest is counted as skipped.
#pragma once

#include "card_fields.h"
#include "sim_phonebook.h"

#include <optional>

namespace handsetctl {

struct CardEntry {
    SimEntry entry;
    SkippedProperties skipped;
};

// Nothing when the card has neither name nor number.
std::optional<CardEntry> entry_from_card(const vcard::VcardCard& card,
                                         const SimPhonebook& phonebook);

// FN and N are the name, the number the preferred TEL, the additional number the other.
void write_entry(vcard::VcardWriter& writer, const SimEntry& entry);

} // namespace handsetctl
