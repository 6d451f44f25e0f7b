// A device folder of its own for each test, and handsetctl run on it in this process.
#pragma once

#include "../../platform/base/temporary_folder.h"

#include "handsetctl.h"

#include "base/device_folder.h"
#include "cellcore/card_file.h"
#include "poom/contact_store.h"
#include "registry/reg_file_parser.h"

#include <gtest/gtest.h>

#include <sstream>

struct Outcome {
    int code;
    std::string out;
    std::string err;
};

class HandsetctlTest : public ::testing::Test {
  protected:
    void TearDown() override { handset::set_device_folder({}); }

    Outcome run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--device", device().string()});
        std::ostringstream out;
        std::ostringstream err;
        const int code = handsetctl::run_handsetctl(arguments, out, err);
        return {code, out.str(), err.str()};
    }

    // Runs a command that must succeed.
    std::string ok(std::vector<std::string> arguments) {
        const Outcome outcome = run(arguments);
        EXPECT_EQ(outcome.code, 0) << outcome.err;
        return outcome.out;
    }

    std::filesystem::path device() const { return m_folder.path() / "device"; }

    handset::CardFile card() const { return handset::CardFile::open(device() / "sim.db"); }

    std::vector<handset::ContactRecord> contacts() const {
        handset::StoreResult result;
        auto store = handset::ContactStore::open(device() / "contacts.db", result);
        std::vector<handset::ContactRecord> all;
        EXPECT_TRUE(store && store->list(all).ok()) << result.detail;
        return all;
    }

    // A dword of the device's HKEY_LOCAL_MACHINE, as the programs would read it.
    std::optional<DWORD> registry_dword(const std::vector<std::u16string>& key,
                                        std::u16string_view name) const {
        const handset::RegistryTree tree =
            handset::RegFileParser([](const auto&) {}).parse(m_folder.read("device/registry.reg"));
        const handset::RegistryKey* found =
            tree.root(handset::RegistryRoot::local_machine).descendant(key);
        const handset::RegistryValue* value = found ? found->value(name) : nullptr;
        return value ? value->as_dword() : std::nullopt;
    }

    std::optional<DWORD> phone_status() const {
        return registry_dword({u"System", u"State", u"Phone"}, u"Status");
    }

    TemporaryFolder m_folder;
};
