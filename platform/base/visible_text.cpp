#include "base/visible_text.h"

#include <cstdio>

namespace handset {

namespace {

// The lead byte of a C1 control's two-byte UTF-8 form (U+0080 to U+009F).
constexpr unsigned char c1_lead = 0xC2;

bool is_control(unsigned char byte) {
    return byte < 0x20 || byte == 0x7F;
}

bool is_c1_at(std::string_view text, size_t at) {
    return static_cast<unsigned char>(text[at]) == c1_lead && at + 1 < text.size() &&
           static_cast<unsigned char>(text[at + 1]) >= 0x80 &&
           static_cast<unsigned char>(text[at + 1]) <= 0x9F;
}

void append_escape(std::string& out, unsigned char byte) {
    switch (byte) {
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    }
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\x%02x", byte);
    out += escape;
}

} // namespace

std::string visible_text(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t at = 0; at < utf8.size(); ++at) {
        const auto byte = static_cast<unsigned char>(utf8[at]);
        if (is_control(byte)) {
            append_escape(out, byte);
        } else if (is_c1_at(utf8, at)) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(utf8[++at]));
            out += escape;
        } else {
            out.push_back(utf8[at]);
        }
    }
    return out;
}

} // namespace handset
