// Reads the vCards of a file: 2.1, 3.0 and 4.0, unfolded, decoded and in UTF-8. A card that
// cannot be read is left out and named, with the line where it went wrong, among the problems;
// the cards around it are read as usual.
#pragma once

#include "content_line.h"
#include "vcard_card.h"

#include <optional>
#include <string_view>
#include <vector>

namespace vcard {

class VcardReader {
  public:
    // bytes may start with a byte order mark; UTF-16 files are read too.
    static VcardFile read(std::string_view bytes);

  private:
    struct LogicalLine {
        std::string text;
        int line;
    };

    explicit VcardReader(std::string_view text);
    void read_all();
    std::optional<LogicalLine> next_line();
    void take(const LogicalLine& line);
    void begin_card(int line);
    void end_card(int line);
    void add_property(const ContentLine& content, int line);
    // The card open now cannot be read: it is dropped at its END, with this said of it.
    void break_card(int line, const std::string& message);
    // Text between cards, named once for each run of such lines.
    void stray_line(int line);
    void problem(int line, std::string message);

    std::vector<std::string_view> m_lines;
    size_t m_next = 0;
    // Folding differs by version, and the version is known from the card's VERSION line on.
    VcardVersion m_version = VcardVersion::v3_0;
    std::optional<VcardCard> m_card;
    bool m_card_broken = false;
    // The depth of a card embedded in the open one (2.1's AGENT), whose lines are not the
    // open card's.
    int m_embedded = 0;
    bool m_stray_reported = false;
    VcardFile m_file;
};

} // namespace vcard
