#include "registry/reg_file_parser.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using handset::RegFileParser;
using handset::RegistryKey;
using handset::RegistryRoot;
using handset::RegistryTree;
using handset::RegistryValue;
using testing::ElementsAre;
using testing::HasSubstr;

namespace {

struct Parsed {
    RegistryTree tree;
    std::vector<std::string> problems; // "line: text"

    const RegistryKey* key(std::u16string_view path,
                           RegistryRoot root = RegistryRoot::local_machine) const {
        std::vector<std::u16string> names;
        size_t start = 0;
        while (start <= path.size() && !path.empty()) {
            const size_t end = path.find(u'\\', start);
            names.emplace_back(path.substr(start, end - start));
            if (end == std::u16string_view::npos) {
                break;
            }
            start = end + 1;
        }
        return tree.root(root).descendant(names);
    }

    const RegistryValue* value(std::u16string_view path, std::u16string_view name) const {
        const RegistryKey* found = key(path);
        return found ? found->value(name) : nullptr;
    }
};

Parsed parse(std::string_view text) {
    Parsed parsed;
    RegFileParser parser([&](const RegFileParser::Problem& problem) {
        parsed.problems.push_back(std::to_string(problem.line_number) + ": " +
                                  std::string(problem.text));
    });
    parsed.tree = parser.parse(text);
    return parsed;
}

} // namespace

TEST(RegFileParser, ReadsStringsNumbersAndDefaultValues) {
    const Parsed parsed = parse("REGEDIT4\n"
                                "\n"
                                "[HKEY_LOCAL_MACHINE\\Software\\Nemora\\Telvane]\n"
                                "\"Version\"=\"1.0.0.0\"\n"
                                "\"USIMSupport\"=dword:00000001\n"
                                "@=\"default\"\n"
                                "\"Quote\"=\"say \\\"hi\\\" to C:\\\\dir\\\\\"\n"
                                "\"Short\"=dword:ABcd\n"
                                "\"Empty\"=\"\"\n"
                                "; a comment\n"
                                "[HKEY_CLASSES_ROOT\\CLSID\\{1}\\InprocServer32]\n"
                                "@=\"/opt/Quorrel.dll\"\n");
    EXPECT_THAT(parsed.problems, ElementsAre());
    EXPECT_EQ(*parsed.value(u"Software\\Nemora\\Telvane", u"Version"),
              RegistryValue::string(u"1.0.0.0"));
    EXPECT_EQ(*parsed.value(u"Software\\Nemora\\Telvane", u"USIMSupport"), RegistryValue::dword(1));
    EXPECT_EQ(*parsed.value(u"Software\\Nemora\\Telvane", u""), RegistryValue::string(u"default"));
    EXPECT_EQ(parsed.value(u"Software\\Nemora\\Telvane", u"Quote")->as_string(),
              u"say \"hi\" to C:\\dir\\");
    EXPECT_EQ(parsed.value(u"Software\\Nemora\\Telvane", u"Short")->as_dword(), 0xabcdu);
    EXPECT_EQ(parsed.value(u"Software\\Nemora\\Telvane", u"Empty")->data.size(), 2u);
    EXPECT_TRUE(parsed.tree.root(RegistryRoot::classes_root)
                    .descendant({u"CLSID", u"{1}", u"InprocServer32"})
                    ->value(u""));
}

TEST(RegFileParser, ReadsBothHeadersCrlfAndByteOrderMarks) {
    const char* body = "[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=\"\xC3\xA9\"\r\n";
    for (std::string text : {std::string("REGEDIT4\r\n") + body,
                             std::string("Windows Registry Editor Version 5.00\r\n\r\n") + body,
                             std::string("\xEF\xBB\xBFREGEDIT4\n") + body}) {
        const Parsed parsed = parse(text);
        EXPECT_THAT(parsed.problems, ElementsAre()) << text;
        ASSERT_TRUE(parsed.value(u"A", u"x")) << text;
        EXPECT_EQ(parsed.value(u"A", u"x")->as_string(), u"\u00e9") << text;
    }

    std::u16string wide = u"\uFEFFWindows Registry Editor Version 5.00\r\n[HKEY_LOCAL_MACHINE\\"
                          u"B]\r\n\"n\"=\"\u4e2d\"\r\n";
    std::string utf16le;
    for (char16_t c : wide) {
        utf16le.push_back(static_cast<char>(c & 0xFF));
        utf16le.push_back(static_cast<char>(c >> 8));
    }
    const Parsed parsed = parse(utf16le);
    EXPECT_THAT(parsed.problems, ElementsAre());
    ASSERT_TRUE(parsed.value(u"B", u"n"));
    EXPECT_EQ(parsed.value(u"B", u"n")->as_string(), u"\u4e2d");
}

TEST(RegFileParser, MergesKeysAndValuesThatDifferOnlyInCase) {
    const Parsed parsed = parse("REGEDIT4\n"
                                "[HKEY_LOCAL_MACHINE\\System\\State\\Phone]\n"
                                "\"Status\"=dword:1\n"
                                "[hkey_local_machine\\SYSTEM\\state\\PHONE\\]\n"
                                "\"STATUS\"=dword:2\n");
    EXPECT_THAT(parsed.problems, ElementsAre());
    const RegistryKey* phone = parsed.key(u"system\\STATE\\phone");
    ASSERT_TRUE(phone);
    EXPECT_EQ(phone->name(), u"Phone") << "first spelling kept";
    ASSERT_EQ(phone->values().size(), 1u);
    EXPECT_EQ(phone->values().begin()->second.name, u"Status");
    EXPECT_EQ(phone->value(u"status")->as_dword(), 2u) << "last value wins";
}

TEST(RegFileParser, ReadsHexDataAcrossContinuationLines) {
    const Parsed parsed = parse("REGEDIT4\n"
                                "[HKEY_LOCAL_MACHINE\\A]\n"
                                "\"Blob\"=hex:01,02,\\\n"
                                "  ff,FE,\\\n"
                                "  00\n"
                                "\"Path\"=hex(2):41,00,00,00\n"
                                "\"None\"=hex:\n"
                                "\"Next\"=dword:7\n");
    EXPECT_THAT(parsed.problems, ElementsAre());
    EXPECT_EQ(parsed.value(u"A", u"Blob")->data, (std::vector<BYTE>{1, 2, 0xff, 0xfe, 0}));
    EXPECT_EQ(parsed.value(u"A", u"Blob")->type, 3u);
    EXPECT_EQ(parsed.value(u"A", u"Path")->type, 2u);
    EXPECT_EQ(parsed.value(u"A", u"Path")->data, (std::vector<BYTE>{0x41, 0, 0, 0}));
    EXPECT_TRUE(parsed.value(u"A", u"None")->data.empty());
    EXPECT_EQ(parsed.value(u"A", u"Next")->as_dword(), 7u);
}

TEST(RegFileParser, RemovesKeysAndValuesMarkedWithAMinus) {
    const Parsed parsed = parse("REGEDIT4\n"
                                "[HKEY_LOCAL_MACHINE\\Keep]\n"
                                "\"a\"=\"1\"\n"
                                "\"b\"=\"2\"\n"
                                "[HKEY_LOCAL_MACHINE\\Drop\\Deep]\n"
                                "\"c\"=\"3\"\n"
                                "[-HKEY_LOCAL_MACHINE\\Drop]\n"
                                "[HKEY_LOCAL_MACHINE\\Keep]\n"
                                "\"a\"=-\n"
                                "[-HKEY_LOCAL_MACHINE\\Never\\There]\n");
    EXPECT_THAT(parsed.problems, ElementsAre());
    EXPECT_FALSE(parsed.key(u"Drop"));
    EXPECT_FALSE(parsed.value(u"Keep", u"a"));
    EXPECT_TRUE(parsed.value(u"Keep", u"b"));
}

TEST(RegFileParser, ReportsEachBadLineWithItsNumberAndReadsTheRest) {
    const Parsed parsed = parse("[HKEY_LOCAL_MACHINE\\A]\n"        // 1: no header
                                "\"ok1\"=\"fine\"\n"               // 2
                                "\"open\"=\"no end\n"              // 3
                                "\"type\"=qword:1\n"               // 4
                                "\"huge\"=dword:100000000\n"       // 5
                                "\"notHex\"=dword:12345g\n"        // 6
                                "\"bytes\"=hex:1,02\n"             // 7
                                "\"name without end\n"             // 8
                                "\"noEquals\" \"x\"\n"             // 9
                                "\"after\"=\"x\" y\n"              // 10
                                "random words\n"                   // 11
                                "[HKEY_CURRENT_USER\\Elsewhere]\n" // 12
                                "\"ignored\"=\"x\"\n"              // 13
                                "[HKEY_LOCAL_MACHINE\\A\\\\B]\n"   // 14
                                "[HKEY_LOCAL_MACHINE\\Unclosed\n"  // 15
                                "[-HKEY_LOCAL_MACHINE]\n"          // 16
                                "[HKEY_LOCAL_MACHINE\\A]\n"        // 17
                                "\"hexType\"=hex(zz):00\n"         // 18
                                "\"ok2\"=dword:00000002\n");       // 19
    EXPECT_THAT(
        parsed.problems,
        ElementsAre(
            HasSubstr("1: no REGEDIT4 header"), HasSubstr("3: unterminated"),
            HasSubstr("4: unknown value type"), HasSubstr("5: dword"), HasSubstr("6: dword"),
            HasSubstr("7: hex data"), HasSubstr("8: value name without its closing quote"),
            HasSubstr("9: value name not followed"), HasSubstr("10: text after the closing quote"),
            HasSubstr("11: neither a key nor a value"),
            HasSubstr("12: key under a root other than"), HasSubstr("14: bad key name"),
            HasSubstr("15: key line without"), HasSubstr("16: a root key cannot be removed"),
            HasSubstr("18: hex value with a bad type")));
    EXPECT_EQ(parsed.value(u"A", u"ok1")->as_string(), u"fine");
    EXPECT_EQ(parsed.value(u"A", u"ok2")->as_dword(), 2u);
    EXPECT_EQ(parsed.key(u"A")->values().size(), 2u);
}

TEST(RegFileParser, ReportsValuesBeforeAnyKeyAndBadBytesOnceEach) {
    const Parsed parsed = parse("REGEDIT4\n"
                                "\"early\"=\"x\"\n"
                                "[HKEY_LOCAL_MACHINE\\A]\n"
                                "\"latin1\"=\"caf\xE9\"\n"
                                "\"blob\"=hex:00,\\\n"
                                "  zz,\\\n"
                                "  01\n"
                                "\"after\"=\"y\"\n");
    EXPECT_THAT(parsed.problems,
                ElementsAre(HasSubstr("2: value before the first key"),
                            HasSubstr("4: text that is not UTF-8"), HasSubstr("5: hex data")));
    EXPECT_EQ(parsed.value(u"A", u"latin1")->as_string(), u"caf\uFFFD");
    EXPECT_FALSE(parsed.value(u"A", u"blob"));
    EXPECT_TRUE(parsed.value(u"A", u"after")) << "continuation lines are not read as lines";
}

TEST(RegFileParser, SurvivesFilesCutAnywhere) {
    const std::string file = "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\Software\\Nemora]\r\n"
                             "\"ODM_AP\"=dword:00000001\r\n\"Blob\"=hex:01,\\\r\n  02\r\n"
                             "\"Version\"=\"1.\\\"0\"\r\n";
    for (size_t length = 0; length <= file.size(); ++length) {
        parse(file.substr(0, length));
    }
    EXPECT_EQ(parse(file).value(u"Software\\Nemora", u"Version")->as_string(), u"1.\"0");
}

TEST(RegFileParser, RefusesKeysBeyondTheDevicesLimits) {
    std::string deep = "REGEDIT4\n[HKEY_LOCAL_MACHINE";
    for (int level = 0; level < 513; ++level) {
        deep += "\\k";
    }
    deep += "]\n[HKEY_LOCAL_MACHINE\\" + std::string(256, 'n') + "]\n[HKEY_LOCAL_MACHINE\\" +
            std::string(255, 'n') + "]\n";
    const Parsed parsed = parse(deep);
    EXPECT_THAT(parsed.problems,
                ElementsAre(HasSubstr("2: bad key name"), HasSubstr("3: bad key name")));
    EXPECT_EQ(parsed.tree.root(RegistryRoot::local_machine).children().size(), 1u);
}
