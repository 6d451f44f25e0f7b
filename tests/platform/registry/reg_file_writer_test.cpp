#include "registry/reg_file_parser.h"
#include "registry/reg_file_writer.h"

#include "temporary_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

using handset::RegFileParser;
using handset::RegistryRoot;
using handset::RegistryTree;
using handset::RegistryValue;

namespace {

RegistryTree parse_strictly(const std::string& text) {
    RegFileParser parser([&](const RegFileParser::Problem& problem) {
        ADD_FAILURE() << "line " << problem.line_number << ": " << problem.text << "\n" << text;
    });
    return parser.parse(text);
}

RegistryTree sample_tree() {
    RegistryTree tree;
    auto& telvane = tree.root(RegistryRoot::local_machine)
                        .descendant_or_add({u"Software", u"Nemora", u"Telvane"});
    telvane.set_value(u"Version", RegistryValue::string(u"1.0.0.0"));
    telvane.set_value(u"USIMSupport", RegistryValue::dword(0xFFFFFFFF));
    telvane.set_value(u"", RegistryValue::string(u"default \"quoted\" C:\\path\\"));
    telvane.set_value(u"Name \"with\" \\ marks", RegistryValue::string(u"\u4e2d\U0001F600"));
    telvane.set_value(u"Lines", RegistryValue::string(u"one\r\ntwo"));
    telvane.set_value(u"Lone surrogate", RegistryValue::string(u"\xD800x"));
    telvane.set_value(u"Odd bytes", RegistryValue{1, {0x41, 0x00, 0x42}});
    telvane.set_value(u"Short dword", RegistryValue{4, {1, 2}});
    std::vector<BYTE> blob(60);
    for (size_t i = 0; i < blob.size(); ++i) {
        blob[i] = static_cast<BYTE>(i * 7);
    }
    telvane.set_value(u"Blob", RegistryValue{3, blob});
    telvane.set_value(u"Expand", RegistryValue{2, {0x25, 0, 0, 0}});
    tree.root(RegistryRoot::local_machine).descendant_or_add({u"Empty", u"Leaf"});
    tree.root(RegistryRoot::local_machine).set_value(u"AtRoot", RegistryValue::dword(3));
    tree.root(RegistryRoot::classes_root)
        .descendant_or_add({u"CLSID", u"{ABC}", u"InprocServer32"})
        .set_value(u"", RegistryValue::string(u"/usr/lib/Quorrel.dll"));
    return tree;
}

} // namespace

TEST(RegFileWriter, WritesWhatTheParserReadsBackUnchanged) {
    const RegistryTree tree = sample_tree();
    const std::string text = handset::write_reg_file(tree);
    EXPECT_TRUE(parse_strictly(text) == tree) << text;
    EXPECT_EQ(handset::write_reg_file(parse_strictly(text)), text);
}

TEST(RegFileWriter, WritesPlainTextForPlainValues) {
    RegistryTree tree;
    auto& phone =
        tree.root(RegistryRoot::local_machine).descendant_or_add({u"System", u"State", u"Phone"});
    phone.set_value(u"Status", RegistryValue::dword(0x20));
    phone.set_value(u"", RegistryValue::string(u"a\\b"));
    EXPECT_EQ(handset::write_reg_file(tree), "REGEDIT4\n"
                                             "\n"
                                             "[HKEY_LOCAL_MACHINE\\System\\State\\Phone]\n"
                                             "@=\"a\\\\b\"\n"
                                             "\"Status\"=dword:00000020\n"
                                             "\n");
}

TEST(RegFileWriter, ReplacesTheFileWholeAndLeavesNoTemporaryBehind) {
    TemporaryFolder folder;
    const auto file = folder.path() / "registry.reg";
    folder.write("registry.reg", "old");
    struct stat before {};
    ::stat(file.c_str(), &before);

    std::string error;
    ASSERT_TRUE(handset::save_reg_file(file, sample_tree(), error)) << error;
    EXPECT_EQ(folder.read("registry.reg"), handset::write_reg_file(sample_tree()));
    struct stat after {};
    ::stat(file.c_str(), &after);
    EXPECT_NE(before.st_ino, after.st_ino) << "renamed into place, not rewritten";
    EXPECT_EQ(after.st_mode & 0777, 0600u) << "the registry is the user's alone";
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1u);
}

TEST(RegFileWriter, FailsWithAReasonWhenTheFolderIsMissing) {
    TemporaryFolder folder;
    std::string error;
    EXPECT_FALSE(
        handset::save_reg_file(folder.path() / "absent" / "registry.reg", RegistryTree(), error));
    EXPECT_THAT(error, testing::HasSubstr("absent"));
}
