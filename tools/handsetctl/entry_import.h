// Restores vCards into the SIM phonebook's free slots one by one, as a program would write them.
// An entry the card cannot hold is named and not written (or, when asked, written shortened, and
// the shortening named); one the card already holds is a duplicate. The first write that finds
// the card full, or fails otherwise, ends the import, and the report names what was not imported.
#pragma once

#include "card_files.h"
#include "entry_fitting.h"
#include "import_report.h"
#include "phonebook_cards.h"

#include <ostream>
#include <set>

namespace handsetctl {

class EntryImport {
  public:
    EntryImport(SimPhonebook& phonebook, bool shorten);

    ImportReport& report() { return m_report; }
    void take(const VcardSource& file, const vcard::VcardCard& card);
    // Prints the report; throws OperationError when not everything could be imported.
    void finish(std::ostream& out) const;

  private:
    void write(const std::string& name, const FittedEntry& fitted,
               const SkippedProperties& skipped);

    SimPhonebook& m_phonebook;
    bool m_shorten;
    std::set<std::u16string> m_known;
    ImportReport m_report;
    // Why the import stopped; empty while it goes on.
    std::string m_stopped;
    std::vector<std::string> m_left_out;
};

} // namespace handsetctl
