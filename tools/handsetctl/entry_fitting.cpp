#include "entry_fitting.h"
#include "text_output.h"

#include "cellcore/alpha_identifier.h"
#include "cellcore/dialling_number.h"

namespace handsetctl {

namespace {

using handset::DiallingNumber;
using handset::NumberError;

size_t bytes_of(std::u16string_view text) {
    return handset::alpha_bytes(text).size();
}

// The longest beginning of text that fits, never ending inside a surrogate pair.
std::u16string cut_to(std::u16string text, size_t limit) {
    while (!text.empty() && bytes_of(text) > limit) {
        text.pop_back();
        if (!text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF) {
            text.pop_back();
        }
    }
    return text;
}

std::string quoted(std::u16string_view text) {
    return "'" + shown(text) + "'";
}

// Why number cannot be kept in a field of limit digits; empty when it can.
std::string number_problem(const std::u16string& number, DWORD limit, const char* what) {
    const auto parsed = DiallingNumber::parse(number);
    if (!parsed && parsed.error() == NumberError::bad_character) {
        return std::string("the ") + what + " " + quoted(number) +
               " has characters a number cannot have";
    }
    const size_t digits =
        parsed ? parsed->digits().size() : number.size() - (number.front() == u'+' ? 1 : 0);
    if (!parsed || digits > limit) {
        return std::string("the ") + what + " " + quoted(number) + " has " +
               std::to_string(digits) + " digits; the card keeps " + std::to_string(limit);
    }
    return {};
}

std::string text_problem(const std::u16string& text, DWORD limit, const char* what) {
    if (text.find(u'\uFFFF') != std::u16string::npos) {
        return std::string("the ") + what + " holds U+FFFF, which no card can store";
    }
    if (bytes_of(text) > limit) {
        return std::string("the ") + what + " " + quoted(text) + " needs " +
               std::to_string(bytes_of(text)) + " bytes; the card holds " + std::to_string(limit);
    }
    return {};
}

void fit_name(FittedEntry& fitted, DWORD limit, bool shorten) {
    std::u16string& name = fitted.entry.name;
    const std::string problem = text_problem(name, limit, "name");
    if (problem.empty()) {
        return;
    }
    if (!shorten || name.find(u'\uFFFF') != std::u16string::npos) {
        fitted.refusal = problem;
        return;
    }
    name = cut_to(name, limit);
    fitted.shortenings.push_back(problem + ": shortened to " + quoted(name));
}

// An extended field the card cannot hold refuses the entry, or with shorten is left out.
void fit_optional(FittedEntry& fitted, std::u16string& field, const std::string& problem,
                  bool shorten) {
    if (problem.empty() || !fitted.refusal.empty()) {
        return;
    }
    if (!shorten) {
        fitted.refusal = problem;
        return;
    }
    field.clear();
    fitted.shortenings.push_back(problem + ": left out");
}

} // namespace

std::u16string dialable(std::u16string_view number) {
    std::u16string digits;
    for (const char16_t c : number) {
        if (std::u16string_view(u" \t-./()").find(c) == std::u16string_view::npos) {
            digits += c;
        }
    }
    return digits;
}

FittedEntry fit_entry(const SimEntry& entry, const SIMPHONEBOOKCAPS& capabilities, bool shorten) {
    FittedEntry fitted{entry, "", {}};
    SimEntry& fitting = fitted.entry;
    fitting.number = dialable(entry.number);
    fitting.additional_number = dialable(entry.additional_number);
    if (!fitting.number.empty()) {
        fitted.refusal = number_problem(fitting.number, capabilities.dwMaxAddressLength, "number");
    }
    if (!fitted.refusal.empty()) {
        return fitted;
    }
    fit_name(fitted, capabilities.dwMaxTextLength, shorten);
    if (!fitting.additional_number.empty()) {
        fit_optional(fitted, fitting.additional_number,
                     number_problem(fitting.additional_number,
                                    capabilities.dwMaxAdditionalNumberLength, "second number"),
                     shorten);
    }
    if (!fitting.email.empty()) {
        fit_optional(fitted, fitting.email,
                     text_problem(fitting.email, capabilities.dwMaxEmailAddressLength, "e-mail"),
                     shorten);
    }
    return fitted;
}

} // namespace handsetctl
