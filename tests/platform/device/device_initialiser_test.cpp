#include "../base/temporary_folder.h"

#include "base/debug_output.h"
#include "base/device_folder.h"
#include "cellcore/card_file.h"
#include "device/device_initialiser.h"
#include "device/phone_status.h"
#include "poom/contact_store.h"
#include "registry/reg_file_parser.h"
#include "registry/registry_editor.h"

#include <gmock/gmock.h>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <thread>

namespace {

using handset::CardFile;
using handset::ContactField;
using handset::ContactRecord;
using handset::DeviceOptions;
using handset::RegistryRoot;
using ::testing::Contains;
using ::testing::SizeIs;

class DeviceInitialiserTest : public ::testing::Test {
  protected:
    void TearDown() override { handset::set_device_folder({}); }

    std::filesystem::path device() const { return m_folder.path() / "device"; }

    CardFile card() const { return CardFile::open(device() / "sim.db"); }

    std::vector<ContactRecord> contacts() const {
        handset::StoreResult result;
        auto store = handset::ContactStore::open(device() / "contacts.db", result);
        EXPECT_TRUE(result.ok()) << result.detail;
        std::vector<ContactRecord> all;
        if (store) {
            EXPECT_TRUE(store->list(all).ok());
        }
        return all;
    }

    const handset::RegistryValue* value(std::vector<std::u16string> key, std::u16string_view name) {
        std::ifstream in(device() / "registry.reg");
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        m_tree = handset::RegFileParser([](const auto&) { ADD_FAILURE(); }).parse(text);
        const handset::RegistryKey* found =
            m_tree.root(RegistryRoot::local_machine).descendant(key);
        return found ? found->value(name) : nullptr;
    }

    TemporaryFolder m_folder;
    handset::RegistryTree m_tree;
};

TEST_F(DeviceInitialiserTest, AFolderItMakesIsPrivateAndEveryFileInItTheUsersAlone) {
    handset::initialise_device(device(), {});
    handset::initialise_device(device(), {});
    const auto mode = [](const std::filesystem::path& path) {
        struct stat status {};
        EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
        return status.st_mode & 0777;
    };
    EXPECT_EQ(mode(device()), 0700u);
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(device())) {
        EXPECT_EQ(mode(entry.path()), 0600u) << entry.path();
        ++files;
    }
    EXPECT_GE(files, 3u);
}

TEST_F(DeviceInitialiserTest, MakesAPlainCardWithFiveSamplesOneOfThemInternational) {
    handset::initialise_device(device(), {});
    CardFile sim = card();
    EXPECT_EQ(sim.profile(), handset::CardProfile{});
    EXPECT_EQ(sim.state(), handset::CardState{});
    const std::vector<handset::StoredEntry> entries = sim.entries();
    ASSERT_THAT(entries, SizeIs(5));
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(),
                            [](const auto& stored) { return stored.entry.number.international(); }),
              1);
    for (const handset::StoredEntry& stored : entries) {
        EXPECT_FALSE(stored.entry.additional_number || stored.entry.email);
    }
}

TEST_F(DeviceInitialiserTest, MakesContactsWithEveryKindOfNumberOneWithoutAndNonLatinNames) {
    handset::initialise_device(device(), {});
    const std::vector<ContactRecord> all = contacts();
    ASSERT_THAT(all, SizeIs(8));
    const auto count = [&](auto predicate) {
        return std::count_if(all.begin(), all.end(), predicate);
    };
    const auto has = [](ContactField field) {
        return [field](const ContactRecord& contact) { return !contact[field].empty(); };
    };
    EXPECT_GT(count(has(ContactField::mobile_telephone)), 0);
    EXPECT_GT(count(has(ContactField::home_telephone)), 0);
    EXPECT_GT(count(has(ContactField::business_telephone)), 0);
    EXPECT_EQ(count([](const ContactRecord& contact) {
                  return contact[ContactField::mobile_telephone].empty() &&
                         contact[ContactField::home_telephone].empty() &&
                         contact[ContactField::business_telephone].empty();
              }),
              1);
    EXPECT_GT(count([](const ContactRecord& contact) {
                  const std::u16string& name = contact[ContactField::last_name];
                  return std::any_of(name.begin(), name.end(),
                                     [](char16_t c) { return c > 0x24F; });
              }),
              0);
}

TEST_F(DeviceInitialiserTest, WritesAHealthyStatusTheVersionAndTheDeviceSettings) {
    handset::initialise_device(device(), {.card = handset::CardKind::plain,
                                          .screen = handset::DeviceScreen::vga,
                                          .language = 0x0407,
                                          .empty = false});
    const std::optional<DWORD> status =
        value({u"System", u"State", u"Phone"}, u"Status")->as_dword();
    ASSERT_TRUE(status);
    EXPECT_NE(*status, 0u);
    EXPECT_EQ(*status & 0x16u, 0u);
    EXPECT_EQ(value({u"Software", u"Nemora", u"Telvane"}, u"Version")->as_string(),
              u"" HANDSET_TEST_PROJECT_VERSION);
    EXPECT_EQ(value({u"Software", u"Nemora", u"Telvane"}, u"USIMSupport")->as_dword(), 0u);
    EXPECT_EQ(value({u"Handset", u"Device"}, u"Screen")->as_string(), u"vga");
    EXPECT_EQ(value({u"Handset", u"Device"}, u"UILanguage")->as_dword(), 0x0407u);
}

TEST_F(DeviceInitialiserTest, AUsimCardHoldsSecondNumbersAndEmailAndTurnsTheSwitchOn) {
    handset::initialise_device(device(), {.card = handset::CardKind::usim});
    const handset::ExtendedCapabilities extended = card().profile().extended;
    EXPECT_TRUE(extended.holds_additional_number());
    EXPECT_TRUE(extended.holds_email());
    const std::vector<handset::StoredEntry> entries = card().entries();
    EXPECT_TRUE(std::any_of(entries.begin(), entries.end(),
                            [](const auto& stored) { return stored.entry.additional_number; }));
    EXPECT_TRUE(std::any_of(entries.begin(), entries.end(),
                            [](const auto& stored) { return stored.entry.email; }));
    EXPECT_EQ(value({u"Software", u"Nemora", u"Telvane"}, u"USIMSupport")->as_dword(), 1u);
}

TEST_F(DeviceInitialiserTest, AnEmptyDeviceHasNeitherEntriesNorContacts) {
    handset::initialise_device(device(), {.empty = true});
    EXPECT_TRUE(card().entries().empty());
    EXPECT_TRUE(contacts().empty());
}

TEST_F(DeviceInitialiserTest, InitialisingAgainResetsTheDataButKeepsTheRestOfTheRegistry) {
    handset::initialise_device(device(), {});
    card().update_state([](handset::CardState& state) { state.radio_on = false; });
    ASSERT_EQ(handset::set_registry_value(device() / "registry.reg", RegistryRoot::classes_root,
                                          u"CLSID\\{1}", u"", handset::RegistryValue::string(u"x"))
                  .status,
              handset::RegistryEdit::Status::changed);
    handset::initialise_device(device(), {.empty = true});
    EXPECT_EQ(card().state(), handset::CardState{});
    EXPECT_TRUE(contacts().empty());
    EXPECT_EQ(value({u"System", u"State", u"Phone"}, u"Status")->as_dword(),
              handset::phone_status_healthy);
    const handset::RegistryKey* registered =
        m_tree.root(RegistryRoot::classes_root).descendant({u"CLSID", u"{1}"});
    EXPECT_NE(registered, nullptr);
}

TEST_F(DeviceInitialiserTest, ReplacesDamagedCardAndContactsFiles) {
    std::filesystem::create_directories(device());
    for (const char* file : {"sim.db", "contacts.db"}) {
        std::ofstream(device() / file) << "not a database, just some text long enough to matter";
    }
    handset::initialise_device(device(), {});
    EXPECT_THAT(card().entries(), SizeIs(5));
    EXPECT_THAT(contacts(), SizeIs(8));
}

TEST_F(DeviceInitialiserTest, FailsWithTheReasonWhenTheFolderCannotBeMade) {
    std::ofstream(m_folder.path() / "file") << "x";
    try {
        handset::initialise_device(m_folder.path() / "file" / "device", {});
        FAIL() << "no error";
    } catch (const handset::DeviceError& error) {
        EXPECT_THAT(error.what(), ::testing::HasSubstr("file/device"));
    }
}

TEST_F(DeviceInitialiserTest, EnsureDeviceMakesTheDefaultDeviceOnlyWhereThereIsNone) {
    handset::set_device_folder(device());
    ASSERT_TRUE(handset::ensure_device());
    EXPECT_THAT(card().entries(), SizeIs(5));

    card().clear();
    ASSERT_TRUE(handset::ensure_device());
    EXPECT_TRUE(card().entries().empty()) << "an existing device is left as it is";

    std::filesystem::remove(device() / "registry.reg");
    std::filesystem::remove(device() / "contacts.db");
    ASSERT_TRUE(handset::ensure_device());
    EXPECT_FALSE(std::filesystem::exists(device() / "contacts.db"))
        << "a partly missing device is for its programs to report";
}

TEST_F(DeviceInitialiserTest, EnsureDeviceFromTwoThreadsAtOnceFillsTheDeviceOnce) {
    handset::set_device_folder(device());
    bool made[2] = {false, false};
    std::thread first([&] { made[0] = handset::ensure_device(); });
    std::thread second([&] { made[1] = handset::ensure_device(); });
    first.join();
    second.join();
    EXPECT_TRUE(made[0] && made[1]);
    EXPECT_THAT(card().entries(), SizeIs(5));
    EXPECT_THAT(contacts(), SizeIs(8));
}

TEST_F(DeviceInitialiserTest, EnsureDeviceSaysWhyWhenItCannotMakeOne) {
    std::ofstream(m_folder.path() / "file") << "x";
    handset::set_device_folder(m_folder.path() / "file" / "device");
    handset::DebugCapture capture;
    EXPECT_FALSE(handset::ensure_device());
    EXPECT_THAT(capture.lines(), Contains(::testing::HasSubstr("no device in")));
}

} // namespace
