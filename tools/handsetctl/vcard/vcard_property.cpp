#include "vcard_property.h"

#include "ascii_text.h"

#include <charconv>

namespace vcard {

namespace {

// 2.1 escapes only the semicolon of structured values: its backslashes are otherwise text,
// as in a Windows path. 3.0 and 4.0 also escape the backslash, the comma and the line break.
std::string unescaped(std::string_view value, VcardVersion version) {
    std::string text;
    text.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        const char next = i + 1 < value.size() ? value[i + 1] : '\0';
        if (value[i] != '\\' || next == '\0') {
            text += value[i];
        } else if (next == ';') {
            text += ';';
            ++i;
        } else if (version == VcardVersion::v2_1) {
            text += '\\';
        } else if (next == 'n' || next == 'N') {
            text += '\n';
            ++i;
        } else if (next == '\\' || next == ',') {
            text += next;
            ++i;
        } else {
            text += '\\';
        }
    }
    return text;
}

} // namespace

std::string_view version_name(VcardVersion version) {
    switch (version) {
    case VcardVersion::v2_1:
        return "2.1";
    case VcardVersion::v3_0:
        return "3.0";
    case VcardVersion::v4_0:
        return "4.0";
    }
    return "3.0";
}

std::optional<VcardVersion> parse_version(std::string_view text) {
    for (const VcardVersion version :
         {VcardVersion::v2_1, VcardVersion::v3_0, VcardVersion::v4_0}) {
        if (trimmed(text) == version_name(version)) {
            return version;
        }
    }
    return std::nullopt;
}

VcardProperty::VcardProperty(std::string group, std::string name,
                             std::vector<VcardParameter> parameters, std::string value,
                             VcardVersion version, int line)
    : m_group(std::move(group)), m_name(std::move(name)), m_parameters(std::move(parameters)),
      m_value(std::move(value)), m_version(version), m_line(line) {}

std::vector<std::string> VcardProperty::parameter(std::string_view name) const {
    std::vector<std::string> values;
    for (const VcardParameter& parameter : m_parameters) {
        if (parameter.name == name) {
            values.insert(values.end(), parameter.values.begin(), parameter.values.end());
        }
    }
    return values;
}

bool VcardProperty::has_type(std::string_view type) const {
    for (const std::string& value : parameter("TYPE")) {
        if (equal_ignoring_case(value, type)) {
            return true;
        }
    }
    return false;
}

std::optional<int> VcardProperty::preference() const {
    for (const std::string& value : parameter("PREF")) {
        int rank = 0;
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), rank);
        if (error == std::errc() && end == value.data() + value.size() && rank > 0) {
            return rank;
        }
    }
    if (has_type("pref")) {
        return 1;
    }
    return std::nullopt;
}

std::string VcardProperty::text() const {
    return unescaped(m_value, m_version);
}

std::vector<std::string> VcardProperty::components() const {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t i = 0; i <= m_value.size(); ++i) {
        if (i == m_value.size() || m_value[i] == ';') {
            parts.push_back(
                unescaped(std::string_view(m_value).substr(start, i - start), m_version));
            start = i + 1;
        } else if (m_value[i] == '\\') {
            ++i;
        }
    }
    return parts;
}

} // namespace vcard
