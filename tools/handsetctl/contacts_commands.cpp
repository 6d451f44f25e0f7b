#include "card_files.h"
#include "commands.h"
#include "contact_cards.h"
#include "import_report.h"
#include "text_files.h"
#include "text_output.h"

#include "poom/contact_store.h"

#include <array>
#include <climits>
#include <set>

namespace handsetctl {

namespace {

using handset::ContactField;
using handset::ContactRecord;
using handset::ContactStore;

struct NumberField {
    ContactField field;
    std::string_view option;
    std::string_view label;
};

constexpr std::array<NumberField, 3> number_fields{{
    {ContactField::mobile_telephone, "--mobile", "mobile"},
    {ContactField::home_telephone, "--home", "home"},
    {ContactField::business_telephone, "--business", "business"},
}};

std::vector<ContactRecord> all_contacts(ContactStore& store) {
    std::vector<ContactRecord> contacts;
    check_store(store.list(contacts));
    return contacts;
}

void list(Arguments& words, std::ostream& out) {
    words.finish();
    const std::vector<ContactRecord> contacts = all_contacts(*open_store(Use::reading));
    out << contacts.size() << " contacts\n";
    for (size_t i = 0; i < contacts.size(); ++i) {
        std::string line =
            padded(padded(std::to_string(i + 1), 4) + shown(contacts[i].file_as()), 28);
        for (const NumberField& number : number_fields) {
            const std::u16string& text = contacts[i][number.field];
            if (!text.empty()) {
                line += "  " + std::string(number.label) + " " + shown(text);
            }
        }
        // A contact without numbers would end in padding.
        out << line.substr(0, line.find_last_not_of(' ') + 1) << "\n";
    }
}

void add(Arguments& words, std::ostream& out) {
    ContactRecord contact;
    contact[ContactField::first_name] = utf16(words.option("--first").value_or(""));
    contact[ContactField::last_name] = utf16(words.option("--last").value_or(""));
    for (const NumberField& number : number_fields) {
        contact[number.field] = utf16(words.option(number.option).value_or(""));
    }
    words.finish();
    if (contact[ContactField::first_name].empty() && contact[ContactField::last_name].empty()) {
        throw UsageError("a contact needs --first or --last");
    }
    std::unique_ptr<ContactStore> store = open_store(Use::changing);
    check_store(store->add(contact));
    out << "added " << shown(contact.file_as()) << "\n";
}

void erase(Arguments& words, std::ostream& out) {
    const long long index = parse_index(words.word("INDEX"), "INDEX");
    words.finish();
    std::unique_ptr<ContactStore> store = open_store(Use::changing);
    const std::vector<ContactRecord> contacts = all_contacts(*store);
    if (static_cast<size_t>(index) > contacts.size()) {
        throw OperationError("there is no contact " + std::to_string(index) + "; the store has " +
                             std::to_string(contacts.size()));
    }
    const ContactRecord& contact = contacts[static_cast<size_t>(index) - 1];
    check_store(store->remove(contact.id));
    out << "deleted " << shown(contact.file_as()) << "\n";
}

void quota(Arguments& words, std::ostream& out) {
    const long long bytes = parse_integer(words.word("BYTES"), "BYTES", 0, LLONG_MAX);
    words.finish();
    std::unique_ptr<ContactStore> store = open_store(Use::changing);
    check_store(store->set_quota_bytes(static_cast<uint64_t>(bytes)));
    uint64_t kept = 0;
    check_store(store->quota_bytes(kept));
    out << "quota: " << (kept == 0 ? std::string("none") : std::to_string(kept) + " bytes") << "\n";
}

// The contacts of the files that the store does not hold yet, and the report of them.
std::vector<ContactRecord> new_contacts(const std::vector<VcardSource>& files,
                                        const std::vector<ContactRecord>& stored,
                                        ImportReport& report) {
    std::set<std::u16string> known;
    for (const ContactRecord& contact : stored) {
        known.insert(duplicate_key(contact));
    }
    std::vector<ContactRecord> added;
    for_each_card(files, report, [&](const VcardSource& file, const vcard::VcardCard& card) {
        std::optional<CardContact> read = contact_from_card(card);
        if (!read) {
            report.add_broken(file.name, empty_card(card, "name, number or e-mail"));
        } else if (!known.insert(duplicate_key(read->contact)).second) {
            report.add_duplicate();
        } else {
            report.add_skipped(read->skipped);
            report.add_imported();
            added.push_back(std::move(read->contact));
        }
    });
    return added;
}

// All of the new contacts are stored in one transaction, so that a store that fills up on the way
// keeps none of them rather than some.
void import(Arguments& words, std::ostream& out) {
    const std::vector<VcardSource> files = read_card_files(words);
    std::unique_ptr<ContactStore> store = open_store(Use::changing);
    ImportReport report;
    std::vector<ContactRecord> added = new_contacts(files, all_contacts(*store), report);
    const handset::StoreResult result = store->add_all(added);
    if (result.status == handset::StoreStatus::full) {
        throw OperationError("the contacts store is full: none of the " +
                             std::to_string(added.size()) +
                             " new contacts was imported, and the store is as it was");
    }
    check_store(result);
    report.print(out);
    if (report.incomplete()) {
        throw OperationError("some cards were not imported; see above");
    }
}

void export_contacts(Arguments& words, std::ostream& out) {
    vcard::VcardWriter writer(vcard_version_option(words));
    const std::string file = words.word("FILE");
    words.finish();
    const std::vector<ContactRecord> contacts = all_contacts(*open_store(Use::reading));
    for (const ContactRecord& contact : contacts) {
        write_contact(writer, contact);
    }
    write_output(file, writer.text(), out);
    if (file != "-") {
        out << "exported " << contacts.size() << " contacts to " << file << "\n";
    }
}

} // namespace

vcard::VcardVersion vcard_version_option(Arguments& words) {
    const std::optional<std::string> version = words.option("--version");
    if (!version || *version == "3.0") {
        return vcard::VcardVersion::v3_0;
    }
    if (*version == "4.0") {
        return vcard::VcardVersion::v4_0;
    }
    throw UsageError("--version is 3.0 or 4.0");
}

void check_store(const handset::StoreResult& result) {
    if (!result.ok()) {
        throw OperationError(result.detail);
    }
}

std::unique_ptr<ContactStore> open_store(Use use) {
    handset::StoreResult result;
    const std::filesystem::path file = ContactStore::default_path();
    std::unique_ptr<ContactStore> store = use == Use::reading
                                              ? ContactStore::open_for_reading(file, result)
                                              : ContactStore::open(file, result);
    if (result.status == handset::StoreStatus::missing) {
        throw OperationError(result.detail + "; run 'handsetctl init' first");
    }
    check_store(result);
    return store;
}

void contacts_command(Arguments& words, std::ostream& out) {
    const std::string action = words.word("the contacts command");
    if (action == "list") {
        list(words, out);
    } else if (action == "add") {
        add(words, out);
    } else if (action == "delete") {
        erase(words, out);
    } else if (action == "quota") {
        quota(words, out);
    } else if (action == "import") {
        import(words, out);
    } else if (action == "export") {
        export_contacts(words, out);
    } else {
        throw UsageError("unknown contacts command '" + action + "'");
    }
}

} // namespace handsetctl
