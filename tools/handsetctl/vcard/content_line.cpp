#include "content_line.h"

#include "ascii_text.h"

#include <algorithm>

namespace vcard {

namespace {

// The position of the first of stops outside double quotes, from `from` on.
size_t find_unquoted(std::string_view text, std::string_view stops, size_t from) {
    bool quoted = false;
    for (size_t i = from; i < text.size(); ++i) {
        if (text[i] == '"') {
            quoted = !quoted;
        } else if (!quoted && stops.find(text[i]) != std::string_view::npos) {
            return i;
        }
    }
    return std::string_view::npos;
}

bool is_name(std::string_view name) {
    if (name.empty()) {
        return false;
    }
    for (const char c : name) {
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!letter && !(c >= '0' && c <= '9') && c != '-' && c != '_') {
            return false;
        }
    }
    return true;
}

std::string unquoted(std::string_view value) {
    value = trimmed(value);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

// 4.0 quotes a list as one value (TYPE="cell,voice"); 3.0 lists it bare (TYPE=cell,voice).
std::vector<std::string> parameter_values(std::string_view text) {
    const std::string list = unquoted(text);
    std::vector<std::string> values;
    for (size_t start = 0;;) {
        const size_t comma = list.find(',', start);
        const size_t end = comma == std::string::npos ? list.size() : comma;
        values.push_back(unquoted(std::string_view(list).substr(start, end - start)));
        if (comma == std::string::npos) {
            return values;
        }
        start = comma + 1;
    }
}

// A 2.1 card may name a parameter's value alone: the encodings are known by their names, the
// rest are types (TEL;CELL;PREF).
VcardParameter parse_parameter(std::string_view text) {
    const size_t equals = find_unquoted(text, "=", 0);
    if (equals != std::string_view::npos) {
        return {upper_case(trimmed(text.substr(0, equals))),
                parameter_values(text.substr(equals + 1))};
    }
    const std::string bare = upper_case(trimmed(text));
    for (const char* encoding : {"QUOTED-PRINTABLE", "BASE64", "8BIT", "7BIT"}) {
        if (bare == encoding) {
            return {"ENCODING", {bare}};
        }
    }
    return {"TYPE", {bare}};
}

} // namespace

std::string ContentLine::first(std::string_view parameter) const {
    for (const VcardParameter& candidate : parameters) {
        if (candidate.name == parameter && !candidate.values.empty()) {
            return candidate.values.front();
        }
    }
    return {};
}

std::optional<ContentLine> parse_content_line(std::string_view text) {
    const size_t colon = find_unquoted(text, ":", 0);
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view head = text.substr(0, colon);
    const size_t name_end = std::min(head.find(';'), head.size());
    const std::string_view qualified = trimmed(head.substr(0, name_end));
    const size_t dot = qualified.rfind('.');
    ContentLine line;
    line.name = upper_case(dot == std::string_view::npos ? qualified : qualified.substr(dot + 1));
    line.group = dot == std::string_view::npos ? "" : std::string(qualified.substr(0, dot));
    if (!is_name(line.name)) {
        return std::nullopt;
    }
    for (size_t start = name_end; start < head.size();) {
        const size_t end = std::min(find_unquoted(head, ";", start + 1), head.size());
        const std::string_view parameter = head.substr(start + 1, end - start - 1);
        if (!trimmed(parameter).empty()) {
            line.parameters.push_back(parse_parameter(parameter));
        }
        start = end;
    }
    line.value = std::string(text.substr(colon + 1));
    return line;
}

bool is_quoted_printable(std::string_view text) {
    const size_t colon = find_unquoted(text, ":", 0);
    return upper_case(text.substr(0, colon)).find("QUOTED-PRINTABLE") != std::string::npos;
}

} // namespace vcard
