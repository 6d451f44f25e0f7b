// A throw-away device for the program's benchmarks: a folder of its own made current, with a
// healthy phone, a SIM card and a contacts store to fill, and Telvane's picture and language
// files loaded as the program loads them.
#pragma once

#include "base/device_folder.h"
#include "cellcore/card_file.h"
#include "poom/contact_store.h"
#include "registry/registry_editor.h"
#include "shell/resources.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

class BenchDevice {
  public:
    BenchDevice() {
        std::string pattern = std::filesystem::temp_directory_path() / "telvane-bench-XXXXXX";
        m_folder = ::mkdtemp(pattern.data());
        handset::set_device_folder(m_folder);
        handset::set_registry_value(m_folder / "registry.reg", handset::RegistryRoot::local_machine,
                                    u"System\\State\\Phone", u"Status",
                                    handset::RegistryValue::dword(0x20));
    }

    // A card service that a benchmark started may still write its last debug line as it ends,
    // so the folder is removed again until nothing new appears in it.
    ~BenchDevice() {
        handset::set_device_folder({});
        std::error_code failed;
        constexpr std::uintmax_t removal_failed = static_cast<std::uintmax_t>(-1);
        for (int attempt = 0;
             attempt < 20 && std::filesystem::remove_all(m_folder, failed) == removal_failed;
             ++attempt) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    BenchDevice(const BenchDevice&) = delete;
    BenchDevice& operator=(const BenchDevice&) = delete;

    const std::filesystem::path& folder() const { return m_folder; }

    // A card of `slots` slots, every one of them used.
    void fill_card(int slots) {
        handset::CardProfile profile;
        profile.slots = slots;
        handset::CardFile card = handset::CardFile::create(m_folder / "sim.db", profile);
        for (int slot = 1; slot <= slots; ++slot) {
            handset::PhonebookEntry entry;
            entry.name = u"Entry " + digits(slots - slot);
            entry.number = *handset::DiallingNumber::parse(u"+49170" + digits(1000000 + slot));
            card.store(slot, entry, handset::EntryFields::all);
        }
    }

    // `count` contacts, each with a mobile, a home and a business number.
    void fill_contacts(int count) {
        handset::StoreResult result;
        auto store = handset::ContactStore::create(m_folder / "contacts.db", result);
        std::vector<handset::ContactRecord> contacts(count);
        for (int i = 0; i < count; ++i) {
            contacts[i][handset::ContactField::first_name] = u"First" + digits(i);
            contacts[i][handset::ContactField::last_name] =
                u"Last" + std::u16string(i % 26 + 1, u'a');
            contacts[i][handset::ContactField::mobile_telephone] = u"+4917012345" + digits(i);
            contacts[i][handset::ContactField::home_telephone] = u"030123456" + digits(i);
            contacts[i][handset::ContactField::business_telephone] = u"040987654" + digits(i);
        }
        store->add_all(contacts);
    }

    static std::u16string digits(int number) {
        const std::string text = std::to_string(number);
        return std::u16string(text.begin(), text.end());
    }

  private:
    std::filesystem::path m_folder;
};
