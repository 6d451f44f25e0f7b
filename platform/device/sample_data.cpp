#include "device/sample_data.h"

#include <array>

namespace handset {

namespace {

struct SampleEntry {
    std::u16string_view name;
    std::u16string_view number;
    std::u16string_view second_number;
    std::u16string_view email;
};

constexpr std::array<SampleEntry, 5> phonebook_samples{{
    {u"Mailbox", u"333", u"", u""},
    {u"Anna Berger", u"01701234567", u"030123456", u"anna@example.org"},
    {u"Office Berlin", u"+493012345678", u"", u"office@example.com"},
    {u"Pizza Roma", u"0301112233", u"", u""},
    {u"Dad", u"0612345678", u"0612340000", u""},
}};

struct SampleContact {
    std::u16string_view first;
    std::u16string_view last;
    std::u16string_view mobile;
    std::u16string_view home;
    std::u16string_view business;
};

constexpr std::array<SampleContact, 8> contact_samples{{
    {u"Anna", u"Berger", u"01701234567", u"030123456", u""},
    {u"Carlos", u"Mendes", u"", u"", u"+351213456789"},
    {u"小明", u"王", u"+8613800138000", u"", u""},
    {u"Ελένη", u"Παπαδοπούλου", u"+306912345678", u"", u"+302101234567"},
    {u"David", u"Okafor", u"07911123456", u"02079460000", u"02079461111"},
    {u"Frieda", u"Lorenz", u"", u"", u""},
    {u"Georg", u"Hansen", u"", u"045123456", u""},
    {u"Hana", u"Novak", u"+420601123456", u"", u""},
}};

DiallingNumber number_of(std::u16string_view text) {
    // The samples are written to fit any card the initialiser makes.
    return DiallingNumber::parse(text).value();
}

} // namespace

std::vector<PhonebookEntry> sample_phonebook(bool extended) {
    std::vector<PhonebookEntry> entries;
    for (const SampleEntry& sample : phonebook_samples) {
        PhonebookEntry entry{std::u16string(sample.name), number_of(sample.number), {}, {}};
        if (extended && !sample.second_number.empty()) {
            entry.additional_number = number_of(sample.second_number);
        }
        if (extended && !sample.email.empty()) {
            entry.email = std::u16string(sample.email);
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<ContactRecord> sample_contacts() {
    std::vector<ContactRecord> contacts;
    for (const SampleContact& sample : contact_samples) {
        ContactRecord contact;
        contact[ContactField::first_name] = sample.first;
        contact[ContactField::last_name] = sample.last;
        contact[ContactField::mobile_telephone] = sample.mobile;
        contact[ContactField::home_telephone] = sample.home;
        contact[ContactField::business_telephone] = sample.business;
        contacts.push_back(std::move(contact));
    }
    return contacts;
}

} // namespace handset
