// What both the contacts and the SIM phonebook take from a vCard, and write into one: names,
// numbers and e-mail addresses, the ones a card prefers first.
#pragma once

#include "vcard_card.h"
#include "vcard_writer.h"

#include <map>
#include <string>
#include <vector>

namespace handsetctl {

struct PersonName {
    std::string first;
    std::string middle;
    std::string last;

    bool empty() const { return first.empty() && middle.empty() && last.empty(); }
    // "First Middle Last", as a person is named in speech.
    std::string spoken() const;
};

// The card's N; where it has none or an empty one, its FN split into words: the first word is
// the first name, the last the last name, those between the middle name.
PersonName card_name(const vcard::VcardCard& card);

// The properties of that name, the preferred first (PREF=1 before PREF=2 before none), and
// otherwise in the order of the file.
std::vector<const vcard::VcardProperty*> by_preference(const vcard::VcardCard& card,
                                                       std::string_view name);

// A TEL's number: a 4.0 "tel:" URI gives its number, with an extension as a pause and the
// extension's digits.
std::string number_text(const vcard::VcardProperty& telephone);

// Counts properties the target cannot hold, by name.
using SkippedProperties = std::map<std::string, int>;

// Every property of the card not named in kept is counted as skipped.
void skip_all_but(const vcard::VcardCard& card, std::initializer_list<std::string_view> kept,
                  SkippedProperties& skipped);

// N and FN.
void write_name(vcard::VcardWriter& writer, const PersonName& name);
// A TEL of the given type (the 3.0 and 4.0 spelling differ only in case: "CELL"); 4.0 writes a
// number as a "tel:" URI where the number is one.
void write_number(vcard::VcardWriter& writer, std::string_view number, std::string_view type,
                  bool preferred);
void write_email(vcard::VcardWriter& writer, std::string_view address);

} // namespace handsetctl
