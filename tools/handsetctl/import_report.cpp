#include "import_report.h"

namespace handsetctl {

void ImportReport::add_skipped(const std::map<std::string, int>& skipped) {
    for (const auto& [name, count] : skipped) {
        m_skipped[name] += count;
    }
}

void ImportReport::add_broken(const std::string& file, const vcard::VcardProblem& problem) {
    m_broken.push_back(file + ":" + std::to_string(problem.line) + ": " + problem.message);
}

void ImportReport::add_refused(const std::string& name, const std::string& reason) {
    m_refused.push_back(name + ": " + reason);
}

void ImportReport::add_shortened(const std::string& name, const std::string& how) {
    m_shortened.push_back(name + ": " + how);
}

void ImportReport::print(std::ostream& out) const {
    out << "imported " << m_imported << "\n";
    out << "duplicates " << m_duplicates << "\n";
    if (!m_skipped.empty()) {
        out << "skipped properties:";
        for (const auto& [name, count] : m_skipped) {
            out << " " << name << " " << count;
        }
        out << "\n";
    }
    for (const std::string& line : m_shortened) {
        out << "shortened " << line << "\n";
    }
    for (const std::string& line : m_refused) {
        out << "not imported " << line << "\n";
    }
    for (const std::string& line : m_broken) {
        out << "broken card " << line << "\n";
    }
}

} // namespace handsetctl
