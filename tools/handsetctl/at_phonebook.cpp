#include "at_phonebook.h"

#include "text_output.h"

#include "cellcore/alpha_identifier.h"

#include <simmgr.h>

#include <algorithm>

namespace handsetctl {

namespace {

using handset::DiallingNumber;
using handset::PhonebookEntry;

// The fields of AT+CPBW=<index>,<number>,<type>,<text>,<group>,<adnumber>,<adtype>,
// <secondtext>,<email>; the card keeps neither groups nor second texts.
enum class Field { index, number, type, text, group, adnumber, adtype, secondtext, email, end };

std::optional<int> type_value(const AtParameter* parameter) {
    if (!parameter || parameter->omitted()) {
        return DiallingNumber::unknown_type;
    }
    const std::optional<uint32_t> value = decimal_value(*parameter);
    if (!value || *value > 255) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

const AtParameter* field(const std::vector<AtParameter>& parameters, Field which) {
    const auto at = static_cast<size_t>(which);
    return at < parameters.size() ? &parameters[at] : nullptr;
}

bool given(const AtParameter* parameter) {
    return parameter && !parameter->text.empty();
}

// A number and its type; the type of number bits 001 make it international, as a "+" does.
AtResult number_from(const AtParameter* digits, const AtParameter* type, DiallingNumber& number) {
    const std::optional<int> type_of_number = type_value(type);
    if (!type_of_number) {
        return AtResult::failed(CmeError::incorrect_parameters);
    }
    const bool international = (*type_of_number & 0x70) == 0x10;
    const auto parsed = DiallingNumber::parse(utf16(digits ? digits->text : ""), international);
    if (!parsed) {
        return AtResult::failed(parsed.error() == handset::NumberError::too_long
                                    ? CmeError::dial_string_too_long
                                    : CmeError::invalid_dial_characters);
    }
    number = *parsed;
    return AtResult::ok();
}

char16_t folded(char16_t character) {
    return character >= u'A' && character <= u'Z' ? static_cast<char16_t>(character + 32)
                                                  : character;
}

bool starts_with_folded(std::u16string_view name, std::u16string_view start) {
    return name.size() >= start.size() &&
           std::equal(start.begin(), start.end(), name.begin(),
                      [](char16_t a, char16_t b) { return folded(a) == folded(b); });
}

bool holds_padding(std::u16string_view text) {
    return text.find(u'\uFFFF') != text.npos;
}

} // namespace

AtPhonebook::AtPhonebook(handset::CardBackend& card, const AtCharset& charset)
    : m_card(card), m_charset(charset) {}

AtResult AtPhonebook::storage(const AtCommand& command, const AtInfo& info) {
    switch (command.form) {
    case AtCommand::Form::test:
        info("+CPBS: (\"SM\")");
        return AtResult::ok();
    case AtCommand::Form::read: {
        DWORD used = 0;
        DWORD total = 0;
        const AtResult result = AtResult::of(m_card.phonebook_status(used, total));
        if (result.succeeded()) {
            info("+CPBS: \"SM\"," + std::to_string(used) + "," + std::to_string(total));
        }
        return result;
    }
    case AtCommand::Form::set: {
        const auto parameters = command.parameters();
        const bool sim = parameters && parameters->size() == 1 &&
                         equals_ignoring_case(parameters->front().text, "SM");
        return sim ? AtResult::ok() : AtResult::failed(CmeError::operation_not_supported);
    }
    case AtCommand::Form::action:
        return AtResult::error();
    }
    return AtResult::error();
}

AtResult AtPhonebook::sizes(std::string& line) {
    handset::CardProfile profile;
    const AtResult result = AtResult::of(m_card.capabilities(profile));
    if (!result.succeeded()) {
        return result;
    }
    line = "(1-" + std::to_string(profile.slots) + ")," + std::to_string(profile.number_digits) +
           "," + std::to_string(profile.name_bytes);
    const handset::ExtendedCapabilities& extended = profile.extended;
    if (extended.holds_additional_number() || extended.holds_email()) {
        line += ",0,0," + std::to_string(extended.holds_email() ? extended.email_bytes : 0);
    }
    return result;
}

AtResult AtPhonebook::read(const AtCommand& command, const AtInfo& info) {
    if (command.form == AtCommand::Form::test) {
        std::string line;
        const AtResult result = sizes(line);
        if (result.succeeded()) {
            info("+CPBR: " + line);
        }
        return result;
    }
    const auto parameters = command.parameters();
    if (command.form != AtCommand::Form::set || !parameters || parameters->size() > 2) {
        return AtResult::error();
    }
    const std::optional<uint32_t> first = decimal_value(parameters->front());
    const std::optional<uint32_t> last =
        parameters->size() == 2 ? decimal_value(parameters->back()) : first;
    if (!first || !last) {
        return AtResult::failed(CmeError::incorrect_parameters);
    }
    if (*last < *first) {
        return AtResult::failed(CmeError::invalid_index);
    }
    return read_range(*first, *last, info);
}

AtResult AtPhonebook::read_range(DWORD first, DWORD last, const AtInfo& info) {
    return each_entry(first, last, [&](DWORD slot, const PhonebookEntry& entry) {
        info(entry_line("+CPBR: ", slot, entry));
    });
}

AtResult AtPhonebook::each_entry(DWORD first, DWORD last, const Visit& visit) {
    DWORD used = 0;
    DWORD total = 0;
    if (const AtResult status = AtResult::of(m_card.phonebook_status(used, total));
        !status.succeeded()) {
        return status;
    }
    last = last == whole_card ? total : last;
    if (first < 1 || last < first || last > total) {
        return AtResult::failed(CmeError::invalid_index);
    }
    for (DWORD slot = first; slot <= last; ++slot) {
        PhonebookEntry entry;
        const HRESULT result = m_card.read_entry(slot, entry);
        if (result == S_OK) {
            visit(slot, entry);
        } else if (result != SIM_E_NOTFOUND) {
            return AtResult::of(result);
        }
    }
    return AtResult::ok();
}

AtResult AtPhonebook::find(const AtCommand& command, const AtInfo& info) {
    if (command.form == AtCommand::Form::test) {
        handset::CardProfile profile;
        const AtResult result = AtResult::of(m_card.capabilities(profile));
        if (result.succeeded()) {
            info("+CPBF: " + std::to_string(profile.number_digits) + "," +
                 std::to_string(profile.name_bytes));
        }
        return result;
    }
    const auto parameters = command.parameters();
    std::u16string start;
    if (command.form != AtCommand::Form::set || !parameters || parameters->size() != 1) {
        return AtResult::error();
    }
    if (const AtResult text = text_from(parameters->front(), start); !text.succeeded()) {
        return text;
    }
    bool found = false;
    const AtResult result = each_entry(1, whole_card, [&](DWORD slot, const PhonebookEntry& entry) {
        if (starts_with_folded(entry.name, start)) {
            info(entry_line("+CPBF: ", slot, entry));
            found = true;
        }
    });
    return result.succeeded() && !found ? AtResult::failed(CmeError::not_found) : result;
}

std::string AtPhonebook::entry_line(std::string_view prefix, DWORD slot,
                                    const PhonebookEntry& entry) const {
    std::string line = std::string(prefix) + std::to_string(slot) + ",\"" +
                       utf8(entry.number.text()) + "\"," + std::to_string(entry.number.type()) +
                       "," + quoted_text(entry.name);
    if (entry.additional_number || entry.email) {
        const DiallingNumber second = entry.additional_number.value_or(DiallingNumber());
        line += ",0,\"\",\"" + utf8(second.text()) + "\"," + std::to_string(second.type()) +
                ",\"\"," + quoted_text(entry.email.value_or(u""));
    }
    return line;
}

std::string AtPhonebook::quoted_text(std::u16string_view text) const {
    return "\"" + encode_text(text, m_charset) + "\"";
}

AtResult AtPhonebook::write(const AtCommand& command, const AtInfo& info) {
    if (command.form == AtCommand::Form::test) {
        std::string line;
        const AtResult result = sizes(line);
        if (result.succeeded()) {
            const size_t types_at = line.find(',', line.find(',') + 1);
            info("+CPBW: " + line.insert(types_at, ",(129,145)"));
        }
        return result;
    }
    const auto parameters = command.parameters();
    if (command.form != AtCommand::Form::set || !parameters ||
        parameters->size() > static_cast<size_t>(Field::end)) {
        return AtResult::error();
    }
    const AtParameter& where = parameters->front();
    const std::optional<uint32_t> slot =
        where.omitted() ? SIM_PBINDEX_FIRSTAVAILABLE : decimal_value(where);
    if (!slot || (parameters->size() == 1 && where.omitted())) {
        return AtResult::failed(CmeError::incorrect_parameters);
    }
    if (parameters->size() == 1) {
        return AtResult::of(m_card.delete_entry(*slot));
    }
    return store(*slot, *parameters);
}

// An entry with every field empty is the deletion of the slot, as a modem takes it.
AtResult AtPhonebook::store(DWORD index, const std::vector<AtParameter>& parameters) {
    PhonebookEntry entry;
    bool extended = false;
    if (const AtResult taken = entry_from(parameters, entry, extended); !taken.succeeded()) {
        return taken;
    }
    if (entry.empty()) {
        return index == SIM_PBINDEX_FIRSTAVAILABLE
                   ? AtResult::failed(CmeError::incorrect_parameters)
                   : AtResult::of(m_card.delete_entry(index));
    }
    const auto fields =
        extended ? handset::EntryFields::all : handset::EntryFields::name_and_number;
    const HRESULT result = m_card.write_entry(index, entry, fields);
    return result == SIM_E_BADPARAM ? refusal(entry) : AtResult::of(result);
}

AtResult AtPhonebook::entry_from(const std::vector<AtParameter>& parameters, PhonebookEntry& entry,
                                 bool& extended) const {
    if (given(field(parameters, Field::group)) || given(field(parameters, Field::secondtext))) {
        return AtResult::failed(CmeError::incorrect_parameters);
    }
    AtResult result =
        number_from(field(parameters, Field::number), field(parameters, Field::type), entry.number);
    if (result.succeeded() && field(parameters, Field::text)) {
        result = text_from(*field(parameters, Field::text), entry.name);
    }
    extended = parameters.size() > static_cast<size_t>(Field::group);
    if (result.succeeded() && given(field(parameters, Field::adnumber))) {
        entry.additional_number.emplace();
        result = number_from(field(parameters, Field::adnumber), field(parameters, Field::adtype),
                             *entry.additional_number);
    }
    if (result.succeeded() && given(field(parameters, Field::email))) {
        entry.email.emplace();
        result = text_from(*field(parameters, Field::email), *entry.email);
    }
    return result;
}

AtResult AtPhonebook::text_from(const AtParameter& parameter, std::u16string& text) const {
    std::optional<std::u16string> decoded = decode_text(parameter.text, m_charset);
    if (!decoded) {
        return AtResult::failed(CmeError::invalid_text_characters);
    }
    text = std::move(*decoded);
    return AtResult::ok();
}

AtResult AtPhonebook::refusal(const PhonebookEntry& entry) {
    handset::CardProfile profile;
    if (const AtResult result = AtResult::of(m_card.capabilities(profile)); !result.succeeded()) {
        return result;
    }
    const handset::ExtendedCapabilities& extended = profile.extended;
    const std::u16string email = entry.email.value_or(u"");
    const std::u16string second = entry.additional_number ? entry.additional_number->digits() : u"";
    if ((entry.email && !extended.holds_email()) ||
        (entry.additional_number && !extended.holds_additional_number())) {
        return AtResult::failed(CmeError::incorrect_parameters);
    }
    if (holds_padding(entry.name) || holds_padding(email)) {
        return AtResult::failed(CmeError::invalid_text_characters);
    }
    if (handset::alpha_bytes(entry.name).size() > static_cast<size_t>(profile.name_bytes) ||
        handset::alpha_bytes(email).size() > static_cast<size_t>(extended.email_bytes)) {
        return AtResult::failed(CmeError::text_too_long);
    }
    if (entry.number.digits().size() > static_cast<size_t>(profile.number_digits) ||
        second.size() > static_cast<size_t>(extended.additional_number_digits)) {
        return AtResult::failed(CmeError::dial_string_too_long);
    }
    return AtResult::failed(CmeError::incorrect_parameters);
}

} // namespace handsetctl
