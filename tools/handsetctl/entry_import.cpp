#include "entry_import.h"

#include "arguments.h"
#include "text_output.h"

namespace handsetctl {

namespace {

// An entry's name and number as the card keeps them, which tell two entries apart.
std::u16string duplicate_key(const SimEntry& entry) {
    return entry.name + u'\0' + entry.number;
}

std::string listed(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

} // namespace

EntryImport::EntryImport(SimPhonebook& phonebook, bool shorten)
    : m_phonebook(phonebook), m_shorten(shorten) {
    for (const SimEntry& entry : phonebook.entries()) {
        m_known.insert(duplicate_key(entry));
    }
}

void EntryImport::take(const VcardSource& file, const vcard::VcardCard& card) {
    std::optional<CardEntry> read = entry_from_card(card, m_phonebook);
    if (!read) {
        m_report.add_broken(file.name, empty_card(card, "name or number"));
        return;
    }
    const std::string name = "'" + shown(read->entry.name) + "'";
    if (!m_stopped.empty()) {
        m_left_out.push_back(name);
        return;
    }
    const FittedEntry fitted = fit_entry(read->entry, m_phonebook.capabilities(), m_shorten);
    if (!fitted.refusal.empty()) {
        m_report.add_refused(name, fitted.refusal);
    } else if (m_known.count(duplicate_key(fitted.entry)) > 0) {
        m_report.add_duplicate();
    } else {
        write(name, fitted, read->skipped);
    }
}

void EntryImport::write(const std::string& name, const FittedEntry& fitted,
                        const SkippedProperties& skipped) {
    const HRESULT result = m_phonebook.add(fitted.entry);
    if (result == SIM_E_BADPARAM) {
        m_report.add_refused(name, describe_sim_result(result));
        return;
    }
    if (result != S_OK) {
        m_stopped = result == SIM_E_MEMORYFULL
                        ? "the card is full"
                        : "the card stopped taking entries: " + describe_sim_result(result);
        m_left_out.push_back(name);
        return;
    }
    m_known.insert(duplicate_key(fitted.entry));
    m_report.add_imported();
    m_report.add_skipped(skipped);
    for (const std::string& how : fitted.shortenings) {
        m_report.add_shortened(name, how);
    }
}

void EntryImport::finish(std::ostream& out) const {
    m_report.print(out);
    if (!m_stopped.empty()) {
        throw OperationError(m_stopped + ": " + std::to_string(m_report.imported()) +
                             " entries were imported; not imported: " + listed(m_left_out));
    }
    if (m_report.incomplete()) {
        throw OperationError("some entries were not imported; see above");
    }
}

} // namespace handsetctl
