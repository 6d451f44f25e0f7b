#include "card_files.h"
#include "commands.h"
#include "entry_import.h"
#include "phonebook_cards.h"
#include "text_files.h"
#include "text_output.h"

namespace handsetctl {

namespace {

using handset::DiallingNumber;
using handset::PhonebookEntry;

DiallingNumber number_from(const std::string& text, std::string_view what) {
    const auto number = DiallingNumber::parse(utf16(text));
    if (!number) {
        if (number.error() == handset::NumberError::too_long) {
            throw OperationError(std::string(what) + " '" + text + "' is longer than a card keeps");
        }
        throw UsageError(std::string(what) + " '" + text +
                         "' is not a phone number: digits, *, # and p, after an optional +");
    }
    return *number;
}

void list(Arguments& words, std::ostream& out) {
    words.finish();
    handset::CardFile card = open_card(Use::reading);
    const std::vector<handset::StoredEntry> entries = card.entries();
    out << entries.size() << " of " << card.profile().slots << " slots used\n";
    for (const handset::StoredEntry& stored : entries) {
        const PhonebookEntry& entry = stored.entry;
        std::string line = padded(std::to_string(stored.slot), 4) + padded(shown(entry.name), 20) +
                           "  " + shown(entry.number.text());
        if (entry.additional_number) {
            line += "  second " + shown(entry.additional_number->text());
        }
        if (entry.email) {
            line += "  e-mail " + shown(*entry.email);
        }
        out << line << "\n";
    }
    if (const std::string problem = stray_records_problem(card); !problem.empty()) {
        throw OperationError(problem);
    }
}

void add(Arguments& words, std::ostream& out) {
    const std::optional<std::string> index = words.option("--index");
    const std::optional<std::string> second = words.option("--number2");
    const std::optional<std::string> email = words.option("--email");
    PhonebookEntry entry;
    entry.name = utf16(words.word("NAME"));
    entry.number = number_from(words.word("NUMBER"), "NUMBER");
    words.finish();
    const long long slot = index ? parse_index(*index, "--index") : 0;
    if (second) {
        entry.additional_number = number_from(*second, "--number2");
    }
    if (email) {
        entry.email = utf16(*email);
    }
    handset::CardFile card = open_card(Use::changing);
    const int stored =
        card.store(slot == 0 ? 0 : card_slot(card, slot), entry, handset::EntryFields::all);
    out << "stored in slot " << stored << "\n";
}

void erase(Arguments& words, std::ostream& out) {
    const long long index = parse_index(words.word("INDEX"), "INDEX");
    words.finish();
    handset::CardFile card = open_card(Use::changing);
    const int slot = card_slot(card, index);
    if (!card.erase(slot)) {
        throw OperationError("slot " + std::to_string(slot) + " is empty");
    }
    out << "deleted slot " << slot << "\n";
}

void clear(Arguments& words, std::ostream& out) {
    words.finish();
    handset::CardFile card = open_card(Use::changing);
    const int used = card.used_slots();
    card.clear();
    out << "deleted " << used << " entries\n";
}

void export_entries(Arguments& words, std::ostream& out) {
    vcard::VcardWriter writer(vcard_version_option(words));
    const std::string file = words.word("FILE");
    words.finish();
    const std::vector<SimEntry> entries = SimPhonebook().entries();
    for (const SimEntry& entry : entries) {
        write_entry(writer, entry);
    }
    write_output(file, writer.text(), out);
    if (file != "-") {
        out << "exported " << entries.size() << " entries to " << file << "\n";
    }
}

void import_entries(Arguments& words, std::ostream& out) {
    const bool shorten = words.flag("--shorten");
    const std::vector<VcardSource> files = read_card_files(words);
    SimPhonebook phonebook;
    EntryImport import(phonebook, shorten);
    for_each_card(
        files, import.report(),
        [&](const VcardSource& file, const vcard::VcardCard& card) { import.take(file, card); });
    import.finish(out);
}

} // namespace

void phonebook_command(Arguments& words, std::ostream& out) {
    const std::string action = words.word("the phonebook command");
    if (action == "list") {
        list(words, out);
    } else if (action == "add") {
        add(words, out);
    } else if (action == "delete") {
        erase(words, out);
    } else if (action == "clear") {
        clear(words, out);
    } else if (action == "export") {
        export_entries(words, out);
    } else if (action == "import") {
        import_entries(words, out);
    } else {
        throw UsageError("unknown phonebook command '" + action + "'");
    }
}

} // namespace handsetctl
