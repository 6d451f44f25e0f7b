#include "handsetctl_fixture.h"

#include "base/utf.h"
#include "registry/key_path.h"

#include <shlobj.h>

#include <gmock/gmock.h>

#include <unistd.h>

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char* kQuorrel = "{AA01964D-85CC-44DC-9FFF-EEDCFA945CBB}";

class ExtensionCommandTest : public HandsetctlTest {
  protected:
    handset::RegistryTree registry() const {
        return handset::RegFileParser([](const auto&) {})
            .parse(m_folder.read("device/registry.reg"));
    }

    // The library registered for the class, or nothing.
    std::optional<std::u16string> library(const std::u16string& clsid) const {
        const handset::RegistryTree tree = registry();
        const handset::RegistryKey* key = tree.root(handset::RegistryRoot::classes_root)
                                              .descendant({u"CLSID", clsid, u"InprocServer32"});
        const handset::RegistryValue* value = key ? key->value(u"") : nullptr;
        return value ? value->as_string() : std::nullopt;
    }

    bool listed(const std::u16string& clsid) const {
        std::vector<std::u16string> key =
            *handset::split_key_path(REGKEY_CONTACTS_ITEM_CONTEXT_MENUS);
        key.push_back(clsid);
        return registry().root(handset::RegistryRoot::local_machine).descendant(key) != nullptr;
    }
};

TEST_F(ExtensionCommandTest, InitRegistersQuorrelWithTheLibraryBesideTheRunningProgram) {
    EXPECT_THAT(ok({"init", "--empty"}),
                HasSubstr(std::string("registered the context-menu extension ") + kQuorrel));
    const std::filesystem::path programs =
        std::filesystem::read_symlink("/proc/self/exe").parent_path();
    EXPECT_EQ(
        library(u"{AA01964D-85CC-44DC-9FFF-EEDCFA945CBB}"),
        std::optional<std::u16string>(handset::utf8_to_utf16((programs / "Quorrel.dll").string())));
    EXPECT_TRUE(listed(u"{AA01964D-85CC-44DC-9FFF-EEDCFA945CBB}"));
    EXPECT_THAT(ok({"extension", "list"}),
                HasSubstr(std::string("1 context-menu extension\n  ") + kQuorrel + "  " +
                          (programs / "Quorrel.dll").string() + "\n"));
}

TEST_F(ExtensionCommandTest, RegisterTakesAnyCaseAndARelativePathAndUnregisterRemovesBothKeys) {
    ok({"init", "--empty"});
    ok({"extension", "unregister", kQuorrel});
    EXPECT_EQ(ok({"extension", "list"}), "0 context-menu extensions\n");

    const std::filesystem::path here = std::filesystem::current_path();
    EXPECT_THAT(ok({"extension", "register", "{5e0a7a10-3c1b-4f2e-8d6a-1b2c3d4e5f01}", "Ext.dll"}),
                HasSubstr("{5E0A7A10-3C1B-4F2E-8D6A-1B2C3D4E5F01}"));
    EXPECT_EQ(library(u"{5E0A7A10-3C1B-4F2E-8D6A-1B2C3D4E5F01}"),
              std::optional<std::u16string>(handset::utf8_to_utf16((here / "Ext.dll").string())));
    EXPECT_TRUE(listed(u"{5E0A7A10-3C1B-4F2E-8D6A-1B2C3D4E5F01}"));

    ok({"extension", "unregister", "{5E0A7A10-3C1B-4F2E-8D6A-1B2C3D4E5F01}"});
    EXPECT_FALSE(library(u"{5E0A7A10-3C1B-4F2E-8D6A-1B2C3D4E5F01}"));
    EXPECT_FALSE(listed(u"{5E0A7A10-3C1B-4F2E-8D6A-1B2C3D4E5F01}"));
    const Outcome again =
        run({"extension", "unregister", "{5E0A7A10-3C1B-4F2E-8D6A-1B2C3D4E5F01}"});
    EXPECT_EQ(again.code, 1);
    EXPECT_THAT(again.err, HasSubstr("is not registered"));
}

TEST_F(ExtensionCommandTest, AListedClassWithoutALibrarySaysSo) {
    ok({"init", "--empty"});
    ok({"reg", "delete", std::string("HKEY_CLASSES_ROOT\\CLSID\\") + kQuorrel});
    EXPECT_THAT(ok({"extension", "list"}), HasSubstr("(no library registered)"));
}

TEST_F(ExtensionCommandTest, ABadClassIdentifierOrMissingWordsChangeNothing) {
    ok({"init", "--empty"});
    const std::string before = m_folder.read("device/registry.reg");
    for (const std::vector<std::string>& words :
         {std::vector<std::string>{"extension", "register", "Quorrel", "Quorrel.dll"},
          std::vector<std::string>{"extension", "register", kQuorrel},
          std::vector<std::string>{"extension", "unregister", "{AA01964D-85CC}"},
          std::vector<std::string>{"extension", "forget", kQuorrel}}) {
        const Outcome outcome = run(words);
        EXPECT_EQ(outcome.code, 2) << words[1];
        EXPECT_THAT(outcome.err, Not(HasSubstr("registered the")));
    }
    EXPECT_EQ(m_folder.read("device/registry.reg"), before);
    EXPECT_THAT(ok({"extension", "--help"}), HasSubstr("extension register CLSID PATH"));
}

} // namespace
