#include "registry/reg_file_parser.h"

#include "base/utf.h"
#include "base/wide_text.h"
#include "registry/key_path.h"

namespace handset {

namespace {

constexpr std::u16string_view header_version_4 = u"REGEDIT4";
constexpr std::u16string_view header_version_5 = u"Windows Registry Editor Version 5.00";

bool is_space(char16_t c) {
    return c == u' ' || c == u'\t';
}

std::u16string_view trim(std::u16string_view text) {
    while (!text.empty() && is_space(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && is_space(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool starts_with_ignoring_case(std::u16string_view text, std::u16string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        const char16_t c = text[i] >= u'A' && text[i] <= u'Z' ? text[i] + 0x20 : text[i];
        if (c != prefix[i]) {
            return false;
        }
    }
    return true;
}

// One to eight hex digits and nothing else.
std::optional<DWORD> parse_hex_number(std::u16string_view digits) {
    if (digits.empty() || digits.size() > 8) {
        return std::nullopt;
    }
    DWORD number = 0;
    for (char16_t c : digits) {
        const int digit = hex_digit_value(c);
        if (digit < 0) {
            return std::nullopt;
        }
        number = (number << 4) | static_cast<DWORD>(digit);
    }
    return number;
}

struct Quoted {
    std::u16string text;
    std::u16string_view rest; // what follows the closing quote
};

// Reads a quoted string that starts at text[0]; nothing when it has no closing quote.
std::optional<Quoted> read_quoted(std::u16string_view text) {
    Quoted quoted;
    for (size_t i = 1; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'"') {
            quoted.rest = text.substr(i + 1);
            return quoted;
        }
        if (c == u'\\' && i + 1 < text.size() && (text[i + 1] == u'\\' || text[i + 1] == u'"')) {
            quoted.text.push_back(text[++i]);
        } else {
            quoted.text.push_back(c);
        }
    }
    return std::nullopt;
}

// A file saved by regedit as "Unicode" is UTF-16LE with a byte order mark.
std::string as_utf8(std::string_view file) {
    if (file.starts_with("\xEF\xBB\xBF")) {
        return std::string(file.substr(3));
    }
    if (file.starts_with("\xFF\xFE")) {
        std::u16string wide;
        for (size_t i = 2; i + 1 < file.size(); i += 2) {
            wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(file[i]) |
                                                 static_cast<unsigned char>(file[i + 1]) << 8));
        }
        return utf16_to_utf8(wide);
    }
    return std::string(file);
}

bool is_header(std::u16string_view line) {
    const std::u16string_view header = trim(line);
    return header == header_version_4 || header == header_version_5;
}

std::vector<std::string_view> split_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    return lines;
}

} // namespace

RegistryTree RegFileParser::parse(std::string_view file) {
    const std::string text = as_utf8(file);
    m_lines = split_lines(text);
    std::u16string line;
    while (next_line(line)) {
        if (!m_header_checked && !trim(line).empty()) {
            m_header_checked = true;
            if (is_header(line)) {
                continue;
            }
            complain("no REGEDIT4 header; reading on", false);
        }
        read_line(line);
    }
    m_lines.clear();
    return std::move(m_tree);
}

// The next physical line as UTF-16; bytes that are not UTF-8 are reported and replaced.
bool RegFileParser::next_line(std::u16string& line) {
    if (m_next_line >= m_lines.size()) {
        return false;
    }
    const std::string_view bytes = m_lines[m_next_line++];
    m_line_number = m_next_line;
    if (!is_valid_utf8(bytes)) {
        complain("text that is not UTF-8, read with U+FFFD in its place");
    }
    line = utf8_to_utf16(bytes);
    return true;
}

void RegFileParser::read_line(std::u16string_view line) {
    const std::u16string_view text = trim(line);
    if (text.empty() || text.front() == u';') {
        return;
    }
    if (text.front() == u'[') {
        read_key_line(text);
    } else if (text.front() == u'"' || text.front() == u'@') {
        read_value_line(text);
    } else {
        complain("neither a key nor a value; line skipped");
    }
}

void RegFileParser::read_key_line(std::u16string_view line) {
    m_section = Section::ignored;
    m_key = nullptr;
    if (line.back() != u']') {
        complain("key line without its closing ']'; skipped up to the next key");
        return;
    }
    std::u16string_view path = line.substr(1, line.size() - 2);
    const bool removal = !path.empty() && path.front() == u'-';
    if (removal) {
        path.remove_prefix(1);
    }
    const size_t separator = path.find(u'\\');
    const std::optional<RegistryRoot> root = registry_root_named(path.substr(0, separator));
    if (!root) {
        complain("key under a root other than HKEY_LOCAL_MACHINE or HKEY_CLASSES_ROOT; skipped "
                 "up to the next key");
        return;
    }
    const std::u16string_view below_root =
        separator == std::u16string_view::npos ? u"" : path.substr(separator + 1);
    const auto names = split_key_path(below_root);
    if (!names) {
        complain("bad key name (empty, longer than 255 characters or deeper than 512 levels); "
                 "skipped up to the next key");
        return;
    }
    if (removal) {
        if (names->empty()) {
            complain("a root key cannot be removed; line skipped");
        } else {
            m_tree.root(*root).remove_descendant(*names);
        }
        return;
    }
    m_key = &m_tree.root(*root).descendant_or_add(*names);
    m_section = Section::open;
}

void RegFileParser::read_value_line(std::u16string_view line) {
    if (m_section == Section::ignored) {
        return;
    }
    if (m_section == Section::none_yet) {
        complain("value before the first key; line skipped");
        return;
    }
    std::u16string name;
    std::u16string_view rest;
    if (line.front() == u'@') {
        rest = line.substr(1);
    } else {
        std::optional<Quoted> quoted = read_quoted(line);
        if (!quoted) {
            complain("value name without its closing quote; line skipped");
            return;
        }
        name = std::move(quoted->text);
        rest = quoted->rest;
    }
    rest = trim(rest);
    if (rest.empty() || rest.front() != u'=') {
        complain("value name not followed by '='; line skipped");
        return;
    }
    const std::u16string_view data = trim(rest.substr(1));
    if (data == u"-") {
        m_key->remove_value(name);
        return;
    }
    if (std::optional<RegistryValue> value = read_data(data)) {
        m_key->set_value(name, std::move(*value));
    }
}

std::optional<RegistryValue> RegFileParser::read_data(std::u16string_view data) {
    if (!data.empty() && data.front() == u'"') {
        const std::optional<Quoted> quoted = read_quoted(data);
        if (!quoted) {
            complain("unterminated string; line skipped");
            return std::nullopt;
        }
        if (!trim(quoted->rest).empty()) {
            complain("text after the closing quote; line skipped");
            return std::nullopt;
        }
        return RegistryValue::string(quoted->text);
    }
    if (starts_with_ignoring_case(data, u"dword:")) {
        const std::optional<DWORD> number = parse_hex_number(data.substr(6));
        if (!number) {
            complain("dword value that is not one to eight hex digits; line skipped");
            return std::nullopt;
        }
        return RegistryValue::dword(*number);
    }
    if (starts_with_ignoring_case(data, u"hex:")) {
        return read_hex(registry_type_binary, data.substr(4));
    }
    if (starts_with_ignoring_case(data, u"hex(")) {
        const size_t close = data.find(u"):");
        const std::optional<DWORD> type = close == std::u16string_view::npos
                                              ? std::nullopt
                                              : parse_hex_number(data.substr(4, close - 4));
        if (!type) {
            complain("hex value with a bad type number; line skipped");
            return std::nullopt;
        }
        return read_hex(*type, data.substr(close + 2));
    }
    complain("unknown value type; line skipped");
    return std::nullopt;
}

// Bytes as two hex digits each, separated by commas; a trailing backslash continues the list on
// the next line. On a bad byte the continuation lines are still consumed, so they are not read as
// lines of their own.
std::optional<RegistryValue> RegFileParser::read_hex(DWORD type, std::u16string_view data) {
    const size_t first_line = m_line_number;
    RegistryValue value{type, {}};
    bool bad = false;
    std::u16string continuation;
    for (;;) {
        std::u16string_view list = trim(data);
        const bool continues = !list.empty() && list.back() == u'\\';
        if (continues) {
            list.remove_suffix(1);
        }
        while (!bad && !trim(list).empty()) {
            const size_t comma = list.find(u',');
            const std::u16string_view item = trim(list.substr(0, comma));
            const std::optional<DWORD> byte =
                item.size() == 2 ? parse_hex_number(item) : std::nullopt;
            if (!byte) {
                bad = true;
                break;
            }
            value.data.push_back(static_cast<BYTE>(*byte));
            list = comma == std::u16string_view::npos ? u"" : list.substr(comma + 1);
        }
        if (!continues || !next_line(continuation)) {
            break;
        }
        data = continuation;
    }
    if (bad) {
        m_line_number = first_line;
        complain("hex data that is not two-digit bytes separated by commas; value skipped");
        return std::nullopt;
    }
    return value;
}

void RegFileParser::complain(std::string_view problem, bool loses_content) const {
    if (m_complain) {
        m_complain(Problem{m_line_number, problem, loses_content});
    }
}

} // namespace handset
