#include "cellcore/modem_phonebook.h"

#include "base/utf.h"
#include "cellcore/at_reply.h"

#include <algorithm>
#include <vector>

namespace handset {

namespace {

constexpr int international_type = 145;
constexpr int unknown_type = 129;

// The fields of an entry line, by position.
enum EntryField : size_t {
    index_field = 0,
    number_field = 1,
    type_field = 2,
    text_field = 3,
    additional_number_field = 6,
    additional_type_field = 7,
    email_field = 9,
};

std::optional<int> length_at(const std::vector<AtValue>& values, size_t position) {
    if (position >= values.size() || values[position].kind != AtValue::Kind::number) {
        return std::nullopt;
    }
    return static_cast<int>(std::min<int64_t>(values[position].number, 100000));
}

std::string_view text_at(const std::vector<AtValue>& values, size_t position) {
    if (position >= values.size()) {
        return {};
    }
    const AtValue& value = values[position];
    const bool has_text = value.kind == AtValue::Kind::text || value.kind == AtValue::Kind::token ||
                          value.kind == AtValue::Kind::number;
    return has_text ? std::string_view(value.text) : std::string_view{};
}

ExtendedCapabilities extended_capabilities(const std::vector<AtValue>& values, int number_digits) {
    const int group = length_at(values, 3).value_or(0);
    const int second_text = length_at(values, 4).value_or(0);
    const int email = length_at(values, 5).value_or(0);
    ExtendedCapabilities extended;
    if (group <= 0 && second_text <= 0 && email <= 0) {
        return extended;
    }
    extended.additional_number_digits = number_digits;
    extended.additional_number_count = 1;
    if (email > 0) {
        extended.email_bytes = std::min(email, CardProfile::max_email_bytes);
        extended.email_count = 1;
    }
    return extended;
}

// Pauses come as 'p', 'P' or ','; the card keeps them as 'p'. A number with characters the card
// cannot hold is kept as the modem gave it, so it is shown rather than lost.
DiallingNumber read_number(std::string_view text, int type) {
    std::u16string digits = utf8_to_utf16(text);
    bool international = false;
    if (!digits.empty() && digits.front() == u'+') {
        international = true;
        digits.erase(0, 1);
    }
    international = international || (type == international_type && !digits.empty());
    std::replace_if(
        digits.begin(), digits.end(), [](char16_t c) { return c == u'P' || c == u','; }, u'p');
    auto number = DiallingNumber::parse(digits, international);
    if (!number) {
        const int kept = international ? international_type : type;
        return DiallingNumber(std::move(digits), static_cast<uint8_t>(kept));
    }
    const bool modem_type = type >= 128 && type <= 255 && !international;
    return modem_type ? DiallingNumber(number->digits(), static_cast<uint8_t>(type)) : *number;
}

int type_at(const std::vector<AtValue>& values, size_t position) {
    const std::optional<int> type = length_at(values, position);
    return type && *type >= 128 && *type <= 255 ? *type : unknown_type;
}

std::optional<std::string> quoted_number(const DiallingNumber& number) {
    const std::u16string text = number.text();
    if (!text.empty() && !is_dial_string(text)) {
        return std::nullopt;
    }
    return quoted_ascii(utf16_to_utf8(text));
}

int type_of(const DiallingNumber& number) {
    if (number.international()) {
        return international_type;
    }
    return number.type() >= 128 ? number.type() : unknown_type;
}

} // namespace

std::optional<ModemPhonebook> parse_phonebook_capabilities(std::string_view line) {
    const std::optional<std::string_view> body = response_body(line, "+CPBR");
    const std::optional<std::vector<AtValue>> values = body ? parse_values(*body) : std::nullopt;
    const std::optional<IndexBounds> bounds =
        values && !values->empty() ? index_bounds(values->front()) : std::nullopt;
    if (!bounds || bounds->first < 0 || bounds->first > CardProfile::max_slots * 100) {
        return std::nullopt;
    }
    ModemPhonebook phonebook;
    phonebook.first_index = static_cast<int>(bounds->first);
    phonebook.profile.slots = static_cast<int>(
        std::min<int64_t>(bounds->last - bounds->first + 1, CardProfile::max_slots));
    const int max_digits = static_cast<int>(DiallingNumber::max_digits);
    phonebook.profile.number_digits =
        std::clamp(length_at(*values, 1).value_or(max_digits), 1, max_digits);
    phonebook.profile.name_bytes =
        std::clamp(length_at(*values, 2).value_or(CardProfile::max_name_bytes), 0,
                   CardProfile::max_name_bytes);
    phonebook.profile.extended = extended_capabilities(*values, phonebook.profile.number_digits);
    return phonebook;
}

std::optional<ModemEntry> parse_entry(std::string_view line, ModemCharset charset) {
    const std::optional<std::string_view> body = response_body(line, "+CPBR");
    const std::optional<std::vector<AtValue>> values = body ? parse_values(*body) : std::nullopt;
    if (!values || values->empty() || values->front().kind != AtValue::Kind::number ||
        values->front().number > 1000000) {
        return std::nullopt;
    }
    ModemEntry read{static_cast<int>(values->front().number), {}};
    read.entry.number = read_number(decode_number(text_at(*values, number_field), charset),
                                    type_at(*values, type_field));
    read.entry.name = decode_text(text_at(*values, text_field), charset);
    const std::string_view additional = text_at(*values, additional_number_field);
    if (!additional.empty()) {
        read.entry.additional_number = read_number(decode_number(additional, charset),
                                                   type_at(*values, additional_type_field));
    }
    const std::string_view email = text_at(*values, email_field);
    if (!email.empty()) {
        read.entry.email = decode_text(email, charset);
    }
    return read;
}

std::optional<std::string> write_command(int index, const PhonebookEntry& entry,
                                         ModemCharset charset, bool extended) {
    const std::optional<std::string> number = quoted_number(entry.number);
    const std::optional<std::string> name = quoted_text(entry.name, charset);
    if (!number || !name) {
        return std::nullopt;
    }
    std::string command = "AT+CPBW=" + (index > 0 ? std::to_string(index) : std::string()) + "," +
                          *number + "," + std::to_string(type_of(entry.number)) + "," + *name;
    if (!extended) {
        return command;
    }
    const DiallingNumber additional = entry.additional_number.value_or(DiallingNumber());
    const std::optional<std::string> additional_text = quoted_number(additional);
    const std::optional<std::string> email = quoted_text(entry.email.value_or(u""), charset);
    if (!additional_text || !email) {
        return std::nullopt;
    }
    // hidden, group, additional number and its type, second text, e-mail
    return command + ",0,\"\"," + *additional_text + "," + std::to_string(type_of(additional)) +
           ",\"\"," + *email;
}

bool is_dial_string(std::u16string_view number) {
    if (!number.empty() && number.front() == u'+') {
        number.remove_prefix(1);
    }
    return !number.empty() && std::all_of(number.begin(), number.end(), [](char16_t c) {
        return (c >= u'0' && c <= u'9') ||
               std::u16string_view(u"*#pPwW,").find(c) != std::u16string_view::npos;
    });
}

} // namespace handset
