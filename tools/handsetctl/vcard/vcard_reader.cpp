#include "vcard_reader.h"

#include "ascii_text.h"
#include "value_decoding.h"

#include "base/utf.h"

namespace vcard {

namespace {

// CRLF, LF and a lone CR all end a line.
std::vector<std::string_view> split_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    if (start < text.size()) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

bool is_folded(std::string_view line) {
    return !line.empty() && (line.front() == ' ' || line.front() == '\t');
}

bool starts_with(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// The file's text in UTF-8, without a byte order mark: a UTF-16 file is converted whole, since
// its line ends are two bytes wide.
std::string file_text(std::string_view bytes) {
    if (starts_with(bytes, "\xEF\xBB\xBF")) {
        return std::string(bytes.substr(3));
    }
    if (starts_with(bytes, "\xFF\xFE") || starts_with(bytes, "\xFE\xFF")) {
        if (std::optional<std::string> text = to_utf8(bytes, "UTF-16")) {
            return *text;
        }
    }
    return std::string(bytes);
}

// Text in no named character set that is not UTF-8 is most often from a Windows program of the
// 2.1 era; ISO-8859-1 takes every byte that Windows-1252 leaves undefined.
std::string unlabelled_text(std::string value) {
    if (handset::is_valid_utf8(value)) {
        return value;
    }
    if (std::optional<std::string> text = to_utf8(value, "WINDOWS-1252")) {
        return *text;
    }
    return to_utf8(value, "ISO-8859-1").value_or(value);
}

} // namespace

VcardFile VcardReader::read(std::string_view bytes) {
    const std::string text = file_text(bytes);
    VcardReader reader(text);
    reader.read_all();
    return std::move(reader.m_file);
}

VcardReader::VcardReader(std::string_view text) : m_lines(split_lines(text)) {}

void VcardReader::read_all() {
    while (std::optional<LogicalLine> line = next_line()) {
        take(*line);
    }
    if (m_card) {
        problem(m_card->line,
                "the card from line " + std::to_string(m_card->line) + " has no END:VCARD");
    }
}

// 3.0 and 4.0 fold by inserting a line break and one blank, which unfolding takes out again; 2.1
// folds only where there is a blank already, which stays. A quoted-printable value also goes on
// after a line that ends in "=", its soft line break.
std::optional<VcardReader::LogicalLine> VcardReader::next_line() {
    while (m_next < m_lines.size() && trimmed(m_lines[m_next]).empty()) {
        ++m_next;
    }
    if (m_next >= m_lines.size()) {
        return std::nullopt;
    }
    LogicalLine logical{std::string(m_lines[m_next]), static_cast<int>(m_next) + 1};
    ++m_next;
    const bool quoted_printable = is_quoted_printable(logical.text);
    while (m_next < m_lines.size()) {
        const std::string_view next = m_lines[m_next];
        if (quoted_printable && !logical.text.empty() && logical.text.back() == '=') {
            logical.text.pop_back();
            logical.text += next;
        } else if (is_folded(next)) {
            logical.text += m_version == VcardVersion::v2_1 ? next : next.substr(1);
        } else {
            break;
        }
        ++m_next;
    }
    return logical;
}

void VcardReader::take(const LogicalLine& line) {
    const std::optional<ContentLine> content = parse_content_line(line.text);
    if (!content) {
        if (m_card && m_embedded == 0) {
            break_card(line.line, "line " + std::to_string(line.line) + " is not a property");
        } else if (!m_card) {
            stray_line(line.line);
        }
        return;
    }
    const bool card_value = equal_ignoring_case(trimmed(content->value), "VCARD");
    if (content->name == "BEGIN" && card_value) {
        begin_card(line.line);
    } else if (content->name == "END" && card_value) {
        end_card(line.line);
    } else if (!m_card) {
        stray_line(line.line);
    } else if (m_embedded == 0) {
        add_property(*content, line.line);
    }
}

void VcardReader::begin_card(int line) {
    if (m_card) {
        const VcardProperty* agent =
            m_card->properties.empty() ? nullptr : &m_card->properties.back();
        if (m_embedded > 0 || (agent && agent->name() == "AGENT" && agent->raw_value().empty())) {
            ++m_embedded;
            return;
        }
        problem(m_card->line, "the card from line " + std::to_string(m_card->line) +
                                  " has no END:VCARD before line " + std::to_string(line));
    }
    m_card = VcardCard{line, VcardVersion::v3_0, {}};
    m_stray_reported = false;
    m_card_broken = false;
    m_version = VcardVersion::v3_0;
}

void VcardReader::end_card(int line) {
    if (m_embedded > 0) {
        --m_embedded;
        return;
    }
    if (!m_card) {
        problem(line, "END:VCARD on line " + std::to_string(line) + " ends no card");
        return;
    }
    if (!m_card_broken) {
        m_file.cards.push_back(std::move(*m_card));
    }
    m_card.reset();
}

void VcardReader::add_property(const ContentLine& content, int line) {
    if (content.name == "VERSION") {
        const std::optional<VcardVersion> version = parse_version(content.value);
        if (!version) {
            break_card(line, "unknown vCard version '" + content.value + "' on line " +
                                 std::to_string(line));
            return;
        }
        m_card->version = m_version = *version;
        return;
    }
    std::string value = content.value;
    const std::string encoding = upper_case(content.first("ENCODING"));
    if (encoding == "QUOTED-PRINTABLE") {
        value = decode_quoted_printable(value);
    }
    const bool binary = encoding == "B" || encoding == "BASE64";
    const std::string charset = content.first("CHARSET");
    if (!binary && !charset.empty()) {
        std::optional<std::string> converted = to_utf8(value, charset);
        if (!converted) {
            break_card(line, "line " + std::to_string(line) + " is not in the character set '" +
                                 charset + "'");
            return;
        }
        value = std::move(*converted);
    } else if (!binary) {
        value = unlabelled_text(std::move(value));
    }
    m_card->properties.emplace_back(content.group, content.name, content.parameters,
                                    std::move(value), m_version, line);
}

void VcardReader::break_card(int line, const std::string& message) {
    if (!m_card_broken) {
        problem(line, "the card from line " + std::to_string(m_card->line) + ": " + message);
    }
    m_card_broken = true;
}

void VcardReader::stray_line(int line) {
    if (!m_stray_reported) {
        problem(line, "line " + std::to_string(line) + " is outside any card");
    }
    m_stray_reported = true;
}

void VcardReader::problem(int line, std::string message) {
    m_file.problems.push_back({line, std::move(message)});
}

} // namespace vcard
