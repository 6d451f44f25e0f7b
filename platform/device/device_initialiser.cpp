#include "device/device_initialiser.h"

#include "base/debug_output.h"
#include "base/device_folder.h"
#include "cellcore/card_file.h"
#include "device/phone_status.h"
#include "device/sample_data.h"
#include "poom/contact_store.h"
#include "registry/edit_lock.h"
#include "registry/key_path.h"
#include "registry/ui_language.h"

#include <algorithm>
#include <array>
#include <optional>

namespace handset {

namespace {

constexpr std::array<const char*, 3> device_files = {"registry.reg", "sim.db", "contacts.db"};

size_t device_files_in(const std::filesystem::path& folder) {
    std::error_code ignored;
    return static_cast<size_t>(
        std::count_if(device_files.begin(), device_files.end(),
                      [&](auto file) { return std::filesystem::exists(folder / file, ignored); }));
}

void make_card(const std::filesystem::path& folder, const DeviceOptions& options) {
    try {
        CardFile card = CardFile::create(folder / "sim.db", card_profile_for(options.card));
        if (options.empty) {
            return;
        }
        for (const PhonebookEntry& entry : sample_phonebook(options.card == CardKind::usim)) {
            card.store(0, entry, EntryFields::all);
        }
    } catch (const CardError& error) {
        throw DeviceError(std::string("cannot make the card: ") + error.what());
    }
}

void check(const StoreResult& result) {
    if (!result.ok()) {
        throw DeviceError("cannot make the contacts store: " + result.detail);
    }
}

// The store at path, empty: an existing usable store keeps its file (programs may have it
// open), a damaged one is replaced.
std::unique_ptr<ContactStore> empty_contact_store(const std::filesystem::path& path) {
    StoreResult result;
    std::unique_ptr<ContactStore> store = ContactStore::open(path, result);
    if (!store) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
        store = ContactStore::create(path, result);
        check(result);
        return store;
    }
    std::vector<ContactRecord> contacts;
    check(store->list(contacts));
    for (const ContactRecord& contact : contacts) {
        check(store->remove(contact.id));
    }
    check(store->set_quota_bytes(0));
    return store;
}

void make_contacts(const std::filesystem::path& folder, const DeviceOptions& options) {
    std::unique_ptr<ContactStore> store = empty_contact_store(folder / "contacts.db");
    if (!options.empty) {
        std::vector<ContactRecord> contacts = sample_contacts();
        check(store->add_all(contacts));
    }
}

RegistryKey& key_at(RegistryTree& tree, std::u16string_view path) {
    return tree.root(RegistryRoot::local_machine).descendant_or_add(*split_key_path(path));
}

void write_registry(const std::filesystem::path& folder, const DeviceOptions& options) {
    const RegistryEdit edit = edit_registry_file(folder / "registry.reg", [&](RegistryTree& tree) {
        key_at(tree, phone_status_key)
            .set_value(phone_status_name, RegistryValue::dword(phone_status_healthy));
        RegistryKey& program = key_at(tree, program_key);
        program.set_value(u"Version", RegistryValue::string(u"" HANDSET_PROJECT_VERSION));
        program.set_value(u"USIMSupport",
                          RegistryValue::dword(options.card == CardKind::usim ? 1 : 0));
        RegistryKey& device = key_at(tree, device_settings_key);
        device.set_value(u"Screen", RegistryValue::string(
                                        options.screen == DeviceScreen::vga ? u"vga" : u"qvga"));
        device.set_value(u"UILanguage", RegistryValue::dword(options.language));
        return true;
    });
    if (edit.status != RegistryEdit::Status::changed) {
        throw DeviceError("cannot write the registry: " + edit.error);
    }
}

// Device folders are made under a lock of their own, so that two programs starting at once on
// a new folder do not both fill it.
class FolderLock {
  public:
    explicit FolderLock(const std::filesystem::path& folder) {
        std::error_code error;
        // The card, the contacts and the log are personal: a folder made here is this user's
        // alone. One the person made themselves keeps the access they gave it.
        if (std::filesystem::create_directories(folder, error)) {
            std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::replace, error);
        }
        if (error) {
            throw DeviceError("cannot make the folder " + folder.string() + ": " + error.message());
        }
        m_lock.emplace(folder / "device");
        if (!m_lock->error().empty()) {
            throw DeviceError(m_lock->error());
        }
    }

  private:
    std::optional<EditLock> m_lock;
};

void build_device(const std::filesystem::path& folder, const DeviceOptions& options) {
    make_card(folder, options);
    make_contacts(folder, options);
    write_registry(folder, options);
}

} // namespace

CardProfile card_profile_for(CardKind kind) {
    CardProfile profile;
    if (kind == CardKind::usim) {
        profile.extended = {.additional_number_digits = 20,
                            .email_bytes = 40,
                            .additional_number_count = 1,
                            .email_count = 1};
    }
    return profile;
}

void initialise_device(const std::filesystem::path& folder, const DeviceOptions& options) {
    const FolderLock lock(folder);
    build_device(folder, options);
}

bool ensure_device() {
    const std::filesystem::path folder = device_folder();
    if (device_files_in(folder) == device_files.size()) {
        return true;
    }
    // A device with files missing may be one that another process is making: its lock is held
    // until it is complete.
    try {
        const FolderLock lock(folder);
        if (device_files_in(folder) == 0) {
            build_device(folder, {.language = language_of_environment()});
            debug_printf("created the default device in %s", folder.c_str());
        }
        return true;
    } catch (const DeviceError& error) {
        debug_printf("no device in %s: %s", folder.c_str(), error.what());
        return false;
    }
}

} // namespace handset
