#include "phonebook_cards.h"
#include "text_output.h"

#include "ascii_text.h"

namespace handsetctl {

namespace {

std::string entry_name(const vcard::VcardCard& card) {
    if (const vcard::VcardProperty* full = card.first("FN")) {
        if (const std::string name(vcard::trimmed(full->text())); !name.empty()) {
            return name;
        }
    }
    if (const std::string spoken = card_name(card).spoken(); !spoken.empty()) {
        return spoken;
    }
    const vcard::VcardProperty* nickname = card.first("NICKNAME");
    return nickname ? nickname->text() : "";
}

void take_numbers(const vcard::VcardCard& card, bool additional, CardEntry& result) {
    for (const vcard::VcardProperty* telephone : by_preference(card, "TEL")) {
        const std::u16string number = utf16(number_text(*telephone));
        if (result.entry.number.empty()) {
            result.entry.number = number;
        } else if (additional && result.entry.additional_number.empty()) {
            result.entry.additional_number = number;
        } else {
            ++result.skipped["TEL"];
        }
    }
}

} // namespace

std::optional<CardEntry> entry_from_card(const vcard::VcardCard& card,
                                         const SimPhonebook& phonebook) {
    CardEntry result;
    result.entry.name = utf16(entry_name(card));
    take_numbers(card, phonebook.holds_additional_number(), result);
    for (const vcard::VcardProperty* email : by_preference(card, "EMAIL")) {
        if (phonebook.holds_email() && result.entry.email.empty()) {
            result.entry.email = utf16(email->text());
        } else {
            ++result.skipped["EMAIL"];
        }
    }
    skip_all_but(card, {"N", "FN", "TEL", "EMAIL"}, result.skipped);
    if (result.entry.name.empty() && result.entry.number.empty()) {
        return std::nullopt;
    }
    return result;
}

void write_entry(vcard::VcardWriter& writer, const SimEntry& entry) {
    writer.begin_card();
    write_name(writer, {"", "", utf8(entry.name)});
    if (!entry.number.empty()) {
        write_number(writer, utf8(entry.number), "VOICE", true);
    }
    if (!entry.additional_number.empty()) {
        write_number(writer, utf8(entry.additional_number), "VOICE", false);
    }
    if (!entry.email.empty()) {
        write_email(writer, utf8(entry.email));
    }
    writer.end_card();
}

} // namespace handsetctl
