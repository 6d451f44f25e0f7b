#include "vcard_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using vcard::VcardFile;
using vcard::VcardReader;
using vcard::VcardVersion;

const char utf16_file[] = "\xFF\xFE"
                          "B\0E\0G\0I\0N\0:\0V\0C\0A\0R\0D\0\n\0F\0N\0:\0\xB1\x03\n\0"
                          "E\0N\0D\0:\0V\0C\0A\0R\0D\0\n\0";

// A case "2.1 bare QUOTED-PRINTABLE" is named "2_1_bare_QUOTED_PRINTABLE": gtest takes only
// letters, digits and underscores.
template <typename Case>
std::string case_name(const ::testing::TestParamInfo<Case>& info) {
    std::string name;
    for (const char* c = info.param.what; *c; ++c) {
        const bool word = std::isalnum(static_cast<unsigned char>(*c));
        if (word) {
            name += *c;
        } else if (!name.empty() && name.back() != '_') {
            name += '_';
        }
    }
    if (!name.empty() && name.back() == '_') {
        name.pop_back();
    }
    return name;
}

// ctest lists each case by what it is, not by its bytes.
struct ValueCase {
    const char* what;
    std::string file;
    const char* property;
    std::vector<std::string> components;
};

void PrintTo(const ValueCase& value, std::ostream* out) {
    *out << value.what;
}

// Each file holds one card; the property named must read as the components given.
class ReaderValues : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ReaderValues, GiveTheValueAsWritten) {
    const VcardFile file = VcardReader::read(GetParam().file);
    ASSERT_EQ(file.cards.size(), 1u) << GetParam().what;
    EXPECT_TRUE(file.problems.empty()) << file.problems.front().message;
    const vcard::VcardProperty* property = file.cards[0].first(GetParam().property);
    ASSERT_NE(property, nullptr) << GetParam().what;
    EXPECT_EQ(property->components(), GetParam().components) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    EveryVersion, ReaderValues,
    ::testing::Values(
        ValueCase{"2.1 quoted-printable in Latin-1 with a soft line break",
                  "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:"
                  "M=FCller;J=\r\n=FCrgen\r\nEND:VCARD\r\n",
                  "N",
                  {"Müller", "Jürgen"}},
        ValueCase{"2.1 bare QUOTED-PRINTABLE and Windows-1252",
                  "BEGIN:VCARD\r\nVERSION:2.1\r\nNOTE;CHARSET=WINDOWS-1252;QUOTED-PRINTABLE:"
                  "=80 5=0D=0Aend\r\nEND:VCARD\r\n",
                  "NOTE",
                  {"€ 5\r\nend"}},
        ValueCase{"2.1 ISO-8859-15 and a backslash that is text",
                  "BEGIN:VCARD\nVERSION:2.1\nNOTE;CHARSET=ISO-8859-15:\xA4 C:\\dir\nEND:VCARD\n",
                  "NOTE",
                  {"€ C:\\dir"}},
        ValueCase{"2.1 folding keeps its blank",
                  "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Anna\r\n Berger\r\nEND:VCARD\r\n",
                  "FN",
                  {"Anna Berger"}},
        ValueCase{"2.1 Latin-1 without a character set",
                  "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Ren\xE9\r\nEND:VCARD\r\n",
                  "FN",
                  {"René"}},
        ValueCase{"3.0 escapes, split only at unescaped semicolons",
                  "BEGIN:VCARD\r\nVERSION:3.0\r\nN:O\\;Brien\\, Jr.;Sean\\nPat\\\\;;;\r\n"
                  "END:VCARD\r\n",
                  "N",
                  {"O;Brien, Jr.", "Sean\nPat\\", "", "", ""}},
        ValueCase{"3.0 folding by CRLF and space or LF and tab, in the middle of a character",
                  "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ele\xCE\r\n \xBDni\n\t Pap\r\nEND:VCARD\r\n",
                  "FN",
                  {"Eleνni Pap"}},
        ValueCase{"a byte order mark, lower-case names and a group",
                  "\xEF\xBB\xBF"
                  "begin:vcard\r\nversion:3.0\r\nitem1.tel;type=CELL:+491701\r\nend:vcard\r\n",
                  "TEL",
                  {"+491701"}},
        ValueCase{"a UTF-16 file", std::string(utf16_file, sizeof utf16_file - 1), "FN", {"α"}}),
    case_name<ValueCase>);

TEST(Reader, ReadsTheParametersOfEachVersion) {
    const VcardFile file = VcardReader::read(
        "BEGIN:VCARD\r\nVERSION:2.1\r\nTEL;CELL;PREF:1\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:3.0\r\nTEL;TYPE=work,voice;TYPE=pref:2\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:4.0\r\nitem2.TEL;VALUE=uri;TYPE=\"cell,voice\";PREF=2:"
        "tel:+1-555\r\nEND:VCARD\r\n");
    ASSERT_EQ(file.cards.size(), 3u);
    const vcard::VcardProperty& old = file.cards[0].properties[0];
    EXPECT_TRUE(old.has_type("cell"));
    EXPECT_EQ(old.preference(), 1);
    const vcard::VcardProperty& listed = file.cards[1].properties[0];
    EXPECT_TRUE(listed.has_type("WORK") && listed.has_type("voice"));
    EXPECT_EQ(listed.preference(), 1);
    const vcard::VcardProperty& quoted = file.cards[2].properties[0];
    EXPECT_EQ(file.cards[2].version, VcardVersion::v4_0);
    EXPECT_EQ(quoted.group(), "item2");
    EXPECT_TRUE(quoted.has_type("cell") && quoted.has_type("voice"));
    EXPECT_EQ(quoted.preference(), 2);
    EXPECT_THAT(quoted.parameter("VALUE"), ElementsAre("uri"));
    EXPECT_EQ(quoted.text(), "tel:+1-555");
}

struct BrokenCase {
    const char* what;
    std::string file;
    int line;
    const char* message;
};

void PrintTo(const BrokenCase& broken, std::ostream* out) {
    *out << broken.what;
}

// Each file holds a good card named Good after the broken one.
class BrokenCards : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenCards, AreNamedByLineAndTheRestIsRead) {
    const VcardFile file =
        VcardReader::read(GetParam().file + "BEGIN:VCARD\r\nFN:Good\r\nEND:VCARD\r\n");
    ASSERT_EQ(file.problems.size(), 1u) << GetParam().what;
    EXPECT_EQ(file.problems[0].line, GetParam().line) << GetParam().what;
    EXPECT_THAT(file.problems[0].message, HasSubstr(GetParam().message)) << GetParam().what;
    ASSERT_EQ(file.cards.size(), 1u) << GetParam().what;
    EXPECT_EQ(file.cards[0].first("FN")->text(), "Good");
}

INSTANTIATE_TEST_SUITE_P(
    Reader, BrokenCards,
    ::testing::Values(BrokenCase{"a line without a colon",
                                 "BEGIN:VCARD\r\nFN:A\r\nthis is no property\r\nEND:VCARD\r\n", 3,
                                 "the card from line 1: line 3 is not a property"},
                      BrokenCase{"a card without its end", "BEGIN:VCARD\r\nFN:A\r\n\r\n", 1,
                                 "the card from line 1 has no END:VCARD before line 4"},
                      BrokenCase{"an unknown character set",
                                 "\r\nBEGIN:VCARD\r\nFN;CHARSET=X-NONE:A\r\nEND:VCARD\r\n", 3,
                                 "is not in the character set 'X-NONE'"},
                      BrokenCase{"an unknown version",
                                 "BEGIN:VCARD\nVERSION:5.0\nFN:A\nEND:VCARD\n", 2,
                                 "unknown vCard version '5.0'"},
                      BrokenCase{"text between cards", "garbage\nmore garbage\n", 1,
                                 "line 1 is outside any card"}),
    case_name<BrokenCase>);

TEST(Reader, SkipsA21AgentCardInsideTheCard) {
    const VcardFile file = VcardReader::read(
        "BEGIN:VCARD\nVERSION:2.1\nFN:Boss\nAGENT:\nBEGIN:VCARD\nFN:Assistant\nEND:VCARD\n"
        "TEL:1\nEND:VCARD\n");
    ASSERT_EQ(file.cards.size(), 1u);
    EXPECT_TRUE(file.problems.empty());
    EXPECT_EQ(file.cards[0].all("FN").size(), 1u);
    EXPECT_EQ(file.cards[0].first("TEL")->line(), 8);
}

} // namespace
