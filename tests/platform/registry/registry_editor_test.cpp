#include "registry/registry_editor.h"

#include "registry/reg_file_writer.h"
#include "registry_fixture.h"

#include <winreg.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

using handset::RegistryEdit;
using handset::RegistryRoot;
using handset::RegistryValue;
using testing::HasSubstr;

namespace {

class RegistryEditor : public RegistryFixture {
  protected:
    std::optional<std::u16string> read_string(LPCWSTR path, LPCWSTR name) {
        HKEY key{};
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, 0, &key) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        WCHAR text[260] = {};
        DWORD size = sizeof text;
        const LSTATUS status =
            RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
        RegCloseKey(key);
        if (status != ERROR_SUCCESS) {
            return std::nullopt;
        }
        return text;
    }
};

} // namespace

TEST_F(RegistryEditor, CreatesTheFileAndTheKeysAValueNeeds) {
    const RegistryEdit edit = handset::set_registry_value(
        registry_path(), RegistryRoot::local_machine, u"Software\\Nemora\\Telvane\\", u"Version",
        RegistryValue::string(u"1.2.3.4"));
    ASSERT_EQ(edit.status, RegistryEdit::Status::changed) << edit.error;
    EXPECT_EQ(read_string(u"Software\\Nemora\\Telvane", u"Version"), u"1.2.3.4");
    EXPECT_THAT(m_folder.read("registry.reg"), testing::StartsWith("REGEDIT4\n"));
}

TEST_F(RegistryEditor, TheNextWriteRemovesTheTemporariesOfWritersThatWereKilled) {
    m_folder.write(".registry.reg.a1B2c3", "REGEDIT4\n; a writer killed before its rename\n");
    m_folder.write(".registry.reg.Zz9yX8", "");
    m_folder.write(".registry.reg.notes", "not a temporary of ours");
    const RegistryEdit edit =
        handset::set_registry_value(registry_path(), RegistryRoot::local_machine, u"Software",
                                    u"Kept", RegistryValue::dword(1));
    ASSERT_EQ(edit.status, RegistryEdit::Status::changed) << edit.error;
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder.path())) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_THAT(names, testing::UnorderedElementsAre("registry.reg", "registry.reg.lock",
                                                     ".registry.reg.notes"));
}

TEST_F(RegistryEditor, DeletesValuesAndKeysAndSaysWhenTheyWereNotThere) {
    const auto file = registry_path();
    handset::set_registry_value(file, RegistryRoot::local_machine, u"A\\B", u"x",
                                RegistryValue::string(u"1"));
    handset::set_registry_value(file, RegistryRoot::local_machine, u"A\\B", u"y",
                                RegistryValue::string(u"2"));

    EXPECT_EQ(
        handset::delete_registry_value(file, RegistryRoot::local_machine, u"a\\b", u"X").status,
        RegistryEdit::Status::changed);
    EXPECT_FALSE(read_string(u"A\\B", u"x"));
    EXPECT_EQ(read_string(u"A\\B", u"y"), u"2");
    EXPECT_EQ(
        handset::delete_registry_value(file, RegistryRoot::local_machine, u"A\\B", u"x").status,
        RegistryEdit::Status::not_found);

    EXPECT_EQ(handset::delete_registry_key(file, RegistryRoot::local_machine, u"A").status,
              RegistryEdit::Status::changed);
    EXPECT_FALSE(read_string(u"A\\B", u"y"));
    EXPECT_EQ(handset::delete_registry_key(file, RegistryRoot::local_machine, u"A").status,
              RegistryEdit::Status::not_found);
    EXPECT_EQ(handset::delete_registry_key(file, RegistryRoot::local_machine, u"").status,
              RegistryEdit::Status::failed)
        << "a root stays";
}

TEST_F(RegistryEditor, LeavesAFileWithUnreadableLinesAlone) {
    const std::string damaged = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=\"open\n";
    rewrite_registry(damaged);
    const RegistryEdit edit = handset::set_registry_value(
        registry_path(), RegistryRoot::local_machine, u"A", u"y", RegistryValue::dword(1));
    EXPECT_EQ(edit.status, RegistryEdit::Status::failed);
    EXPECT_THAT(edit.error, HasSubstr("registry.reg:3: unterminated string"));
    EXPECT_EQ(m_folder.read("registry.reg"), damaged);
}

TEST_F(RegistryEditor, AcceptsAFileWithoutItsHeader) {
    rewrite_registry("[HKEY_LOCAL_MACHINE\\A]\n\"x\"=\"kept\"\n");
    const RegistryEdit edit = handset::set_registry_value(
        registry_path(), RegistryRoot::local_machine, u"A", u"y", RegistryValue::dword(1));
    EXPECT_EQ(edit.status, RegistryEdit::Status::changed) << edit.error;
    EXPECT_EQ(read_string(u"A", u"x"), u"kept");
}

TEST_F(RegistryEditor, RefusesNamesTheFileCannotHold) {
    const auto file = registry_path();
    EXPECT_EQ(handset::set_registry_value(file, RegistryRoot::local_machine, u"A\\\\B", u"x",
                                          RegistryValue::dword(1))
                  .status,
              RegistryEdit::Status::failed);
    EXPECT_EQ(handset::set_registry_value(file, RegistryRoot::local_machine, u"A", u"two\nlines",
                                          RegistryValue::dword(1))
                  .status,
              RegistryEdit::Status::failed);
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(RegistryEditor, LosesNoChangeWhenToolsEditAtOnce) {
    constexpr int tools = 4;
    constexpr int changes = 15;
    std::vector<std::thread> threads;
    for (int t = 0; t < tools; ++t) {
        threads.emplace_back([this, t] {
            for (int i = 0; i < changes; ++i) {
                const std::u16string name =
                    u"tool" + std::u16string(1, u'0' + t) + u"_" + std::u16string(1, u'a' + i);
                const RegistryEdit edit = handset::set_registry_value(
                    registry_path(), RegistryRoot::local_machine, u"Shared", name,
                    RegistryValue::dword(static_cast<DWORD>(i)));
                EXPECT_EQ(edit.status, RegistryEdit::Status::changed) << edit.error;
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    HKEY key{};
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Shared", 0, 0, &key), ERROR_SUCCESS);
    for (int t = 0; t < tools; ++t) {
        for (int i = 0; i < changes; ++i) {
            const std::u16string name =
                u"tool" + std::u16string(1, u'0' + t) + u"_" + std::u16string(1, u'a' + i);
            DWORD size = 0;
            EXPECT_EQ(RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, &size),
                      ERROR_SUCCESS);
        }
    }
    RegCloseKey(key);
}
