#include "vcard_reader.h"
#include "vcard_writer.h"

#include <gtest/gtest.h>

namespace {

using vcard::VcardReader;
using vcard::VcardVersion;
using vcard::VcardWriter;

std::vector<std::string> physical_lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

bool is_utf8_lead_or_ascii(unsigned char byte) {
    return (byte & 0xC0) != 0x80;
}

// Long values of one-, two-, three- and four-byte characters, and every escaped character. A
// line folded inside a character would start its continuation with a continuation byte.
TEST(Writer, FoldsAt75OctetsBetweenCharactersAndReadsBackTheSameText) {
    const std::vector<std::string> values{
        std::string(200, 'a'), "Παπαδοπούλου " + std::string(30, 'x') + " Ελένη Παπαδοπούλου",
        "王小明王小明王小明王小明王小明王小明王小明王小明王小明王小明王小明王小明王小明",
        "🙂a🙂🙂🙂🙂🙂🙂🙂🙂🙂🙂🙂🙂🙂🙂🙂🙂🙂🙂🙂🙂🙂"
        "🙂",
        "a,b;c\\d\ne\r\nf"};
    for (const VcardVersion version : {VcardVersion::v3_0, VcardVersion::v4_0}) {
        VcardWriter writer(version);
        writer.begin_card();
        for (const std::string& value : values) {
            writer.add_text("NOTE", "", value);
        }
        writer.add_structured("N", {"Last;name", "First,name", "", "", ""});
        writer.end_card();
        for (const std::string& line : physical_lines(writer.text())) {
            EXPECT_LE(line.size(), 75u) << line;
            if (line.size() > 1 && line[0] == ' ') {
                EXPECT_TRUE(is_utf8_lead_or_ascii(static_cast<unsigned char>(line[1]))) << line;
            }
        }
        const vcard::VcardFile file = VcardReader::read(writer.text());
        ASSERT_EQ(file.cards.size(), 1u);
        EXPECT_EQ(file.cards[0].version, version);
        const std::vector<const vcard::VcardProperty*> notes = file.cards[0].all("NOTE");
        ASSERT_EQ(notes.size(), values.size());
        for (size_t i = 0; i < values.size(); ++i) {
            const std::string expected = i + 1 == values.size() ? "a,b;c\\d\ne\nf" : values[i];
            EXPECT_EQ(notes[i]->text(), expected);
        }
        EXPECT_EQ(file.cards[0].first("N")->components(),
                  (std::vector<std::string>{"Last;name", "First,name", "", "", ""}));
    }
}

} // namespace
