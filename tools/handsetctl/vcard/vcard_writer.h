// Writes vCards of 3.0 or 4.0: values escaped, lines ended by CRLF and folded at 75 octets, never
// inside a UTF-8 sequence.
#pragma once

#include "vcard_property.h"

#include <string>
#include <string_view>
#include <vector>

namespace vcard {

class VcardWriter {
  public:
    explicit VcardWriter(VcardVersion version) : m_version(version) {}

    VcardVersion version() const { return m_version; }

    // BEGIN and VERSION.
    void begin_card();
    void end_card();
    // parameters as they are written after the name, each with its ";" ("" or ";TYPE=CELL").
    void add_text(std::string_view name, std::string_view parameters, std::string_view text);
    void add_structured(std::string_view name, const std::vector<std::string>& components);
    // A value that needs no escaping, such as a URI.
    void add_raw(std::string_view name, std::string_view parameters, std::string_view value);

    const std::string& text() const { return m_text; }

  private:
    void add_line(std::string_view line);

    VcardVersion m_version;
    std::string m_text;
};

} // namespace vcard
