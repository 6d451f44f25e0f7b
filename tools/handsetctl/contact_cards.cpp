#include "contact_cards.h"
#include "text_output.h"

#include <algorithm>
#include <array>

namespace handsetctl {

namespace {

using handset::ContactField;
using handset::ContactRecord;
using vcard::VcardCard;
using vcard::VcardProperty;

struct NumberKind {
    ContactField field;
    // As 3.0 writes it; the reader ignores case.
    std::string_view type;
};

constexpr std::array<NumberKind, 3> number_kinds{{
    {ContactField::mobile_telephone, "CELL"},
    {ContactField::home_telephone, "HOME"},
    {ContactField::business_telephone, "WORK"},
}};

// The field a number goes to: a CELL is a mobile number whatever else it is; a fax, pager or
// modem line is none of the store's; a number of no place is the mobile one, as on a phone.
std::optional<ContactField> number_field(const VcardProperty& telephone) {
    for (const NumberKind& kind : number_kinds) {
        if (telephone.has_type(kind.type)) {
            return kind.field;
        }
    }
    for (const char* other :
         {"FAX", "PAGER", "MODEM", "TEXTPHONE", "TEXT", "VIDEO", "BBS", "ISDN"}) {
        if (telephone.has_type(other)) {
            return std::nullopt;
        }
    }
    return ContactField::mobile_telephone;
}

// An explicit type ranks before a number that only fell to a field, then the card's
// preference, then the order of the file.
bool ranks_before(const VcardProperty& a, const VcardProperty& b) {
    const bool a_typed = a.has_type("CELL") || a.has_type("HOME") || a.has_type("WORK");
    const bool b_typed = b.has_type("CELL") || b.has_type("HOME") || b.has_type("WORK");
    return a_typed != b_typed && a_typed;
}

void take_numbers(const VcardCard& card, CardContact& result) {
    std::vector<const VcardProperty*> telephones = by_preference(card, "TEL");
    std::stable_sort(
        telephones.begin(), telephones.end(),
        [](const VcardProperty* a, const VcardProperty* b) { return ranks_before(*a, *b); });
    for (const VcardProperty* telephone : telephones) {
        const std::optional<ContactField> field = number_field(*telephone);
        const std::string number = number_text(*telephone);
        if (!field || number.empty() || !result.contact[*field].empty()) {
            ++result.skipped["TEL"];
        } else {
            result.contact[*field] = utf16(number);
        }
    }
}

// The first one, the preferred first; the rest are skipped.
void take_first(const VcardCard& card, std::string_view name, ContactField field,
                CardContact& result) {
    for (const VcardProperty* property : by_preference(card, name)) {
        const std::string text = property->text();
        if (result.contact[field].empty() && !text.empty()) {
            result.contact[field] = utf16(text);
        } else {
            ++result.skipped[std::string(name)];
        }
    }
}

// The N parts the store has no place for: the honorific prefixes and suffixes.
void skip_honorifics(const VcardCard& card, SkippedProperties& skipped) {
    const VcardProperty* structured = card.first("N");
    if (!structured) {
        return;
    }
    const std::vector<std::string> parts = structured->components();
    if ((parts.size() > 3 && !parts[3].empty()) || (parts.size() > 4 && !parts[4].empty())) {
        ++skipped["N prefix or suffix"];
    }
}

bool holds_something(const ContactRecord& contact) {
    for (const std::u16string& field : contact.fields) {
        if (!field.empty()) {
            return true;
        }
    }
    return false;
}

} // namespace

std::optional<CardContact> contact_from_card(const VcardCard& card) {
    CardContact result;
    const PersonName name = card_name(card);
    result.contact[ContactField::first_name] = utf16(name.first);
    result.contact[ContactField::middle_name] = utf16(name.middle);
    result.contact[ContactField::last_name] = utf16(name.last);
    take_numbers(card, result);
    take_first(card, "EMAIL", ContactField::email1, result);
    take_first(card, "NICKNAME", ContactField::nickname, result);
    skip_honorifics(card, result.skipped);
    skip_all_but(card, {"N", "FN", "TEL", "EMAIL", "NICKNAME"}, result.skipped);
    if (!holds_something(result.contact)) {
        return std::nullopt;
    }
    return result;
}

void write_contact(vcard::VcardWriter& writer, const ContactRecord& contact) {
    writer.begin_card();
    write_name(writer,
               {utf8(contact[ContactField::first_name]), utf8(contact[ContactField::middle_name]),
                utf8(contact[ContactField::last_name])});
    if (!contact[ContactField::nickname].empty()) {
        writer.add_text("NICKNAME", "", utf8(contact[ContactField::nickname]));
    }
    for (const NumberKind& kind : number_kinds) {
        if (!contact[kind.field].empty()) {
            write_number(writer, utf8(contact[kind.field]), kind.type, false);
        }
    }
    if (!contact[ContactField::email1].empty()) {
        write_email(writer, utf8(contact[ContactField::email1]));
    }
    writer.end_card();
}

std::u16string duplicate_key(const ContactRecord& contact) {
    std::u16string key;
    for (const ContactField field :
         {ContactField::first_name, ContactField::middle_name, ContactField::last_name,
          ContactField::mobile_telephone, ContactField::home_telephone,
          ContactField::business_telephone}) {
        key += contact[field];
        key += u'\0';
    }
    return key;
}

} // namespace handsetctl
