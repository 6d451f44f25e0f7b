#include "cellcore/at_reply.h"

#include "base/wide_text.h"

#include <algorithm>
#include <cctype>

namespace handset {

namespace {

// Deeper nesting than any modem sends is refused rather than followed, so a hostile line cannot
// exhaust the stack.
constexpr int max_depth = 4;
constexpr size_t max_number_digits = 18; // stays within int64_t

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && is_blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::optional<int64_t> decimal(std::string_view digits) {
    if (digits.empty() || digits.size() > max_number_digits ||
        !std::all_of(digits.begin(), digits.end(), is_digit)) {
        return std::nullopt;
    }
    int64_t value = 0;
    for (char digit : digits) {
        value = value * 10 + (digit - '0');
    }
    return value;
}

AtValue make_value(AtValue::Kind kind, int64_t number = 0, int64_t last = 0,
                   std::string_view text = {}) {
    AtValue value;
    value.kind = kind;
    value.number = number;
    value.last = last;
    value.text = std::string(text);
    return value;
}

struct Cursor {
    std::string_view text;
    size_t at = 0;

    bool done() const { return at >= text.size(); }
    char peek() const { return text[at]; }
    void skip_blanks() {
        while (!done() && is_blank(peek())) {
            ++at;
        }
    }
    // True when only blanks stand between here and a separator or the end.
    bool before_separator(size_t from) const {
        while (from < text.size() && is_blank(text[from])) {
            ++from;
        }
        return from >= text.size() || text[from] == ',' || text[from] == ')';
    }
};

// "\22" stands for the byte 0x22; a backslash not followed by two hexadecimal digits is kept as
// it is, as some modems send backslashes unescaped.
bool read_escape(Cursor& cursor, std::string& text) {
    if (cursor.at + 2 >= cursor.text.size()) {
        return false;
    }
    const int high = hex_digit_value(static_cast<unsigned char>(cursor.text[cursor.at + 1]));
    const int low = hex_digit_value(static_cast<unsigned char>(cursor.text[cursor.at + 2]));
    if (high < 0 || low < 0) {
        return false;
    }
    text.push_back(static_cast<char>(high << 4 | low));
    cursor.at += 3;
    return true;
}

// A quote ends the string only where a separator follows: some modems put quotes inside a name
// without escaping them, and a string left open runs to the end of the line.
AtValue read_quoted(Cursor& cursor) {
    AtValue value = make_value(AtValue::Kind::text);
    ++cursor.at;
    while (!cursor.done()) {
        const char c = cursor.peek();
        if (c == '"' && cursor.before_separator(cursor.at + 1)) {
            ++cursor.at;
            break;
        }
        if (c == '\\' && read_escape(cursor, value.text)) {
            continue;
        }
        value.text.push_back(c);
        ++cursor.at;
    }
    return value;
}

AtValue classify_unquoted(std::string_view text) {
    text = trimmed(text);
    if (text.empty()) {
        return AtValue{};
    }
    if (std::optional<int64_t> number = decimal(text)) {
        return make_value(AtValue::Kind::number, *number, 0, text);
    }
    const size_t dash = text.find('-');
    if (dash != std::string_view::npos) {
        std::optional<int64_t> first = decimal(trimmed(text.substr(0, dash)));
        std::optional<int64_t> last = decimal(trimmed(text.substr(dash + 1)));
        if (first && last) {
            return make_value(AtValue::Kind::range, *first, *last);
        }
    }
    return make_value(AtValue::Kind::token, 0, 0, text);
}

AtValue read_unquoted(Cursor& cursor, bool in_list) {
    const size_t start = cursor.at;
    while (!cursor.done() && cursor.peek() != ',' && !(in_list && cursor.peek() == ')')) {
        ++cursor.at;
    }
    return classify_unquoted(cursor.text.substr(start, cursor.at - start));
}

std::optional<AtValue> read_value(Cursor& cursor, int depth);

// The values up to the end of the text (depth 0) or up to the closing parenthesis.
std::optional<std::vector<AtValue>> read_sequence(Cursor& cursor, int depth) {
    std::vector<AtValue> values;
    const bool in_list = depth > 0;
    if (in_list) {
        cursor.skip_blanks();
        if (!cursor.done() && cursor.peek() == ')') {
            ++cursor.at;
            return values;
        }
    }
    for (;;) {
        std::optional<AtValue> value = read_value(cursor, depth);
        if (!value) {
            return std::nullopt;
        }
        values.push_back(std::move(*value));
        cursor.skip_blanks();
        if (cursor.done()) {
            return in_list ? std::nullopt : std::optional(std::move(values));
        }
        const char separator = cursor.peek();
        ++cursor.at;
        if (separator == ')' && in_list) {
            return values;
        }
        if (separator != ',') {
            return std::nullopt;
        }
    }
}

std::optional<AtValue> read_value(Cursor& cursor, int depth) {
    cursor.skip_blanks();
    if (cursor.done()) {
        return AtValue{};
    }
    if (cursor.peek() == '"') {
        return read_quoted(cursor);
    }
    if (cursor.peek() == '(') {
        if (depth >= max_depth) {
            return std::nullopt;
        }
        ++cursor.at;
        std::optional<std::vector<AtValue>> items = read_sequence(cursor, depth + 1);
        if (!items) {
            return std::nullopt;
        }
        AtValue list = make_value(AtValue::Kind::list);
        list.items = std::move(*items);
        return list;
    }
    return read_unquoted(cursor, depth > 0);
}

} // namespace

bool same_ascii_text(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

std::string_view response_name(std::string_view line) {
    if (line.empty() || (line.front() != '+' && line.front() != '^')) {
        return {};
    }
    const size_t colon = line.find(':');
    return colon == std::string_view::npos ? std::string_view{} : line.substr(0, colon);
}

std::optional<std::string_view> response_body(std::string_view line, std::string_view name) {
    const std::string_view found = response_name(line);
    if (found.empty() || !same_ascii_text(found, name)) {
        return std::nullopt;
    }
    return trimmed(line.substr(found.size() + 1));
}

std::optional<std::vector<AtValue>> parse_values(std::string_view body) {
    Cursor cursor{body};
    return read_sequence(cursor, 0);
}

std::optional<IndexBounds> index_bounds(const AtValue& value) {
    switch (value.kind) {
    case AtValue::Kind::number:
        return IndexBounds{value.number, value.number};
    case AtValue::Kind::range:
        return IndexBounds{std::min(value.number, value.last), std::max(value.number, value.last)};
    case AtValue::Kind::list: {
        std::optional<IndexBounds> bounds;
        for (const AtValue& item : value.items) {
            std::optional<IndexBounds> inner = index_bounds(item);
            if (!inner) {
                continue;
            }
            bounds = bounds ? IndexBounds{std::min(bounds->first, inner->first),
                                          std::max(bounds->last, inner->last)}
                            : *inner;
        }
        return bounds;
    }
    case AtValue::Kind::empty:
    case AtValue::Kind::text:
    case AtValue::Kind::token:
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace handset
