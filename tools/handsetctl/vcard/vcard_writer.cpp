#include "vcard_writer.h"

namespace vcard {

namespace {

constexpr size_t line_octets = 75;

std::string escaped(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        switch (text[i]) {
        case '\\':
        case ',':
        case ';':
            result += '\\';
            result += text[i];
            break;
        case '\r':
            // A CRLF in the text is one line break.
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                break;
            }
            result += "\\n";
            break;
        case '\n':
            result += "\\n";
            break;
        default:
            result += text[i];
        }
    }
    return result;
}

bool continues_sequence(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

} // namespace

void VcardWriter::begin_card() {
    add_line("BEGIN:VCARD");
    add_line("VERSION:" + std::string(version_name(m_version)));
}

void VcardWriter::end_card() {
    add_line("END:VCARD");
}

void VcardWriter::add_text(std::string_view name, std::string_view parameters,
                           std::string_view text) {
    add_raw(name, parameters, escaped(text));
}

void VcardWriter::add_structured(std::string_view name,
                                 const std::vector<std::string>& components) {
    std::string value;
    for (size_t i = 0; i < components.size(); ++i) {
        value += (i == 0 ? "" : ";") + escaped(components[i]);
    }
    add_raw(name, "", value);
}

void VcardWriter::add_raw(std::string_view name, std::string_view parameters,
                          std::string_view value) {
    add_line(std::string(name) + std::string(parameters) + ":" + std::string(value));
}

// Each physical line, its leading blank included, takes at most 75 octets before its CRLF. A cut
// that would fall inside a UTF-8 sequence moves back to the sequence's start.
void VcardWriter::add_line(std::string_view line) {
    size_t room = line_octets;
    while (line.size() > room) {
        size_t cut = room;
        while (cut > 1 && continues_sequence(line[cut])) {
            --cut;
        }
        m_text.append(line.substr(0, cut));
        m_text += "\r\n ";
        line.remove_prefix(cut);
        room = line_octets - 1;
    }
    m_text.append(line);
    m_text += "\r\n";
}

} // namespace vcard
