#include "arguments.h"

#include "base/utf.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace handsetctl {

namespace {

bool is_option(std::string_view word) {
    return word.size() > 2 && word.starts_with("--");
}

std::string quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

} // namespace

Arguments::Arguments(std::vector<std::string> words) : m_words(std::move(words)) {
    for (size_t i = 0; i < m_words.size(); ++i) {
        if (!handset::is_valid_utf8(m_words[i])) {
            throw UsageError("argument " + std::to_string(i + 1) + " is not UTF-8 text");
        }
    }
    const auto marker = std::find(m_words.begin(), m_words.end(), "--");
    m_options_end = static_cast<size_t>(marker - m_words.begin());
    if (marker != m_words.end()) {
        m_words.erase(marker);
    }
}

void Arguments::erase(size_t at, size_t count) {
    m_words.erase(m_words.begin() + static_cast<std::ptrdiff_t>(at),
                  m_words.begin() + static_cast<std::ptrdiff_t>(at + count));
    m_options_end -= count;
}

std::optional<size_t> Arguments::find(std::string_view name) const {
    std::optional<size_t> found;
    for (size_t i = 0; i < m_options_end; ++i) {
        if (m_words[i] == name) {
            if (found) {
                throw UsageError(std::string(name) + " is given twice");
            }
            found = i;
        }
    }
    return found;
}

std::optional<std::string> Arguments::option(std::string_view name) {
    const std::optional<size_t> at = find(name);
    if (!at) {
        return std::nullopt;
    }
    if (*at + 1 >= m_options_end) {
        throw UsageError(std::string(name) + " needs a value");
    }
    std::string value = m_words[*at + 1];
    erase(*at, 2);
    return value;
}

bool Arguments::flag(std::string_view name) {
    const std::optional<size_t> at = find(name);
    if (at) {
        erase(*at, 1);
    }
    return at.has_value();
}

std::optional<std::string> Arguments::optional_word() {
    if (m_words.empty() || (m_options_end > 0 && is_option(m_words.front()))) {
        return std::nullopt;
    }
    std::string word = std::move(m_words.front());
    m_words.erase(m_words.begin());
    m_options_end -= m_options_end > 0 ? 1 : 0;
    return word;
}

std::string Arguments::word(std::string_view what) {
    std::optional<std::string> word = optional_word();
    if (!word) {
        throw UsageError(std::string(what) + " is missing");
    }
    return *word;
}

void Arguments::finish() const {
    if (m_words.empty()) {
        return;
    }
    const std::string& extra = m_words.front();
    throw UsageError(m_options_end > 0 && is_option(extra) ? "unknown option " + extra
                                                           : "unexpected " + quoted(extra));
}

long long parse_integer(std::string_view text, std::string_view what) {
    const std::string digits(text);
    const bool hexadecimal = digits.starts_with("0x") || digits.starts_with("0X");
    const char* begin = digits.c_str() + (hexadecimal ? 2 : 0);
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(begin, &end, hexadecimal ? 16 : 10);
    const bool whole = *begin != '\0' && !std::isspace(static_cast<unsigned char>(*begin)) &&
                       *begin != '+' && *end == '\0';
    if (!whole || errno == ERANGE || (hexadecimal && *begin == '-')) {
        throw UsageError(std::string(what) + " must be a number, not " + quoted(text));
    }
    return value;
}

long long parse_integer(std::string_view text, std::string_view what, long long low,
                        long long high) {
    const long long value = parse_integer(text, what);
    if (value < low || value > high) {
        throw UsageError(std::string(what) + " must be " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not " + quoted(text));
    }
    return value;
}

long long parse_index(std::string_view text, std::string_view what) {
    const long long index = parse_integer(text, what);
    if (index < 1) {
        throw UsageError(std::string(what) + " must be 1 or more, not " + quoted(text));
    }
    return index;
}

bool parse_on_off(std::string_view text, std::string_view what) {
    if (text == "on") {
        return true;
    }
    if (text == "off") {
        return false;
    }
    throw UsageError(std::string(what) + " must be on or off, not " + quoted(text));
}

} // namespace handsetctl
