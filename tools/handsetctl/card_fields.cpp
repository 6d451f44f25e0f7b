#include "card_fields.h"

#include "ascii_text.h"

#include <algorithm>
#include <climits>

namespace handsetctl {

namespace {

using vcard::VcardCard;
using vcard::VcardProperty;
using vcard::VcardVersion;

std::vector<std::string> words_of(std::string_view text) {
    std::vector<std::string> words;
    size_t start = 0;
    while ((start = text.find_first_not_of(" \t\n", start)) != std::string_view::npos) {
        const size_t end = std::min(text.find_first_of(" \t\n", start), text.size());
        words.emplace_back(text.substr(start, end - start));
        start = end;
    }
    return words;
}

std::string joined(const std::vector<std::string>& words, size_t from, size_t to) {
    std::string text;
    for (size_t i = from; i < to; ++i) {
        if (!words[i].empty()) {
            text += (text.empty() ? "" : " ") + words[i];
        }
    }
    return text;
}

PersonName split_full_name(std::string_view full) {
    const std::vector<std::string> words = words_of(full);
    if (words.size() <= 1) {
        return {joined(words, 0, words.size()), "", ""};
    }
    return {words.front(), joined(words, 1, words.size() - 1), words.back()};
}

bool starts_with_ignoring_case(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           vcard::equal_ignoring_case(text.substr(0, prefix.size()), prefix);
}

// RFC 3966 allows visual separators in a number; anything else makes it text.
bool is_tel_uri_number(std::string_view number) {
    return !number.empty() && number.find_first_not_of("0123456789+-.()*#") == std::string::npos;
}

} // namespace

std::string PersonName::spoken() const {
    return joined({first, middle, last}, 0, 3);
}

PersonName card_name(const VcardCard& card) {
    if (const VcardProperty* structured = card.first("N")) {
        std::vector<std::string> parts = structured->components();
        parts.resize(std::max<size_t>(parts.size(), 3));
        PersonName name{std::string(vcard::trimmed(parts[1])),
                        std::string(vcard::trimmed(parts[2])),
                        std::string(vcard::trimmed(parts[0]))};
        if (!name.empty()) {
            return name;
        }
    }
    const VcardProperty* full = card.first("FN");
    return full ? split_full_name(full->text()) : PersonName{};
}

std::vector<const VcardProperty*> by_preference(const VcardCard& card, std::string_view name) {
    std::vector<const VcardProperty*> found = card.all(name);
    std::stable_sort(
        found.begin(), found.end(), [](const VcardProperty* a, const VcardProperty* b) {
            return a->preference().value_or(INT_MAX) < b->preference().value_or(INT_MAX);
        });
    return found;
}

std::string number_text(const VcardProperty& telephone) {
    std::string text(vcard::trimmed(telephone.text()));
    if (!starts_with_ignoring_case(text, "tel:")) {
        return text;
    }
    const std::string uri = text.substr(4);
    const size_t parameters = uri.find(';');
    std::string number = uri.substr(0, parameters);
    const size_t extension = uri.find(";ext=");
    if (extension != std::string::npos) {
        const size_t end = std::min(uri.find(';', extension + 5), uri.size());
        number += "p" + uri.substr(extension + 5, end - extension - 5);
    }
    return number;
}

void skip_all_but(const VcardCard& card, std::initializer_list<std::string_view> kept,
                  SkippedProperties& skipped) {
    for (const VcardProperty& property : card.properties) {
        if (std::find(kept.begin(), kept.end(), property.name()) == kept.end()) {
            ++skipped[property.name()];
        }
    }
}

void write_name(vcard::VcardWriter& writer, const PersonName& name) {
    writer.add_structured("N", {name.last, name.first, name.middle, "", ""});
    writer.add_text("FN", "", name.spoken());
}

void write_number(vcard::VcardWriter& writer, std::string_view number, std::string_view type,
                  bool preferred) {
    if (writer.version() == VcardVersion::v3_0) {
        writer.add_text("TEL", ";TYPE=" + std::string(type) + (preferred ? ",PREF" : ""), number);
        return;
    }
    std::string parameters = ";TYPE=" + vcard::lower_case(type) + (preferred ? ";PREF=1" : "");
    if (is_tel_uri_number(number)) {
        writer.add_raw("TEL", ";VALUE=uri" + parameters, "tel:" + std::string(number));
    } else {
        writer.add_text("TEL", parameters, number);
    }
}

void write_email(vcard::VcardWriter& writer, std::string_view address) {
    writer.add_text("EMAIL", writer.version() == VcardVersion::v3_0 ? ";TYPE=INTERNET" : "",
                    address);
}

} // namespace handsetctl
