// What an import did, for its report: how many were imported, which were duplicates, which
// properties the target cannot hold, which cards could not be read, and for the card which
// entries it refused or took only shortened.
#pragma once

#include "vcard_card.h"

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace handsetctl {

class ImportReport {
  public:
    void add_imported() { ++m_imported; }
    void add_duplicate() { ++m_duplicates; }
    void add_skipped(const std::map<std::string, int>& skipped);
    // A card of file that could not be read or holds nothing to import.
    void add_broken(const std::string& file, const vcard::VcardProblem& problem);
    void add_refused(const std::string& name, const std::string& reason);
    void add_shortened(const std::string& name, const std::string& how);

    int imported() const { return m_imported; }
    // Whether something was not imported that the user must look at: a broken card or a refused
    // entry. Duplicates and skipped properties are what an import means to do.
    bool incomplete() const { return !m_broken.empty() || !m_refused.empty(); }

    void print(std::ostream& out) const;

  private:
    int m_imported = 0;
    int m_duplicates = 0;
    std::map<std::string, int> m_skipped;
    std::vector<std::string> m_broken;
    std::vector<std::string> m_refused;
    std::vector<std::string> m_shortened;
};

} // namespace handsetctl
