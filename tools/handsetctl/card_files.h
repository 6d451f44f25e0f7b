// The vCard files an import names, read whole before the store or the card is touched, so that
// one that cannot be read changes nothing.
#pragma once

#include "arguments.h"
#include "import_report.h"

#include "vcard_card.h"

#include <string>
#include <vector>

namespace handsetctl {

struct VcardSource {
    // As the report names it: "standard input" for "-".
    std::string name;
    vcard::VcardFile cards;
};

// The files named by the remaining words, at least one.
std::vector<VcardSource> read_card_files(Arguments& words);

// Calls take(file, card) for each card, after adding the file's unreadable cards to the report.
template <typename Take>
void for_each_card(const std::vector<VcardSource>& files, ImportReport& report, Take take) {
    for (const VcardSource& file : files) {
        for (const vcard::VcardProblem& problem : file.cards.problems) {
            report.add_broken(file.name, problem);
        }
        for (const vcard::VcardCard& card : file.cards.cards) {
            take(file, card);
        }
    }
}

// The problem of a card that holds nothing the import keeps.
vcard::VcardProblem empty_card(const vcard::VcardCard& card, std::string_view what);

} // namespace handsetctl
