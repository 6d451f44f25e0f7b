// Reading every contact of a 5000-contact store through the collection, as the programs do when
// they fill their contact trees: count, then for each index the contact's name and its mobile,
// home and business numbers.
#include "base/device_folder.h"
#include "poom/contact_store.h"

#include <pimstore.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int contact_count = 5000;

std::u16string digits(int number) {
    const std::string text = std::to_string(number);
    return std::u16string(text.begin(), text.end());
}

// A device folder of its own with 5000 contacts, and a logged-on application object over it.
class StoreOf5000 {
  public:
    StoreOf5000() {
        std::string pattern = std::filesystem::temp_directory_path() / "poom-bench-XXXXXX";
        m_folder = ::mkdtemp(pattern.data());
        handset::set_device_folder(m_folder);
        handset::StoreResult result;
        auto store = handset::ContactStore::create(handset::ContactStore::default_path(), result);
        std::vector<handset::ContactRecord> contacts(contact_count);
        for (int i = 0; i < contact_count; ++i) {
            const std::u16string n = digits(i);
            contacts[i][handset::ContactField::first_name] = u"First" + n;
            contacts[i][handset::ContactField::last_name] =
                u"Last" + std::u16string(i % 26 + 1, u'a');
            contacts[i][handset::ContactField::mobile_telephone] = u"+4917012345" + n;
            contacts[i][handset::ContactField::home_telephone] = u"030123456" + n;
            contacts[i][handset::ContactField::business_telephone] = u"040987654" + n;
        }
        store->add_all(contacts);
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        CoCreateInstance(CLSID_Application, nullptr, CLSCTX_INPROC_SERVER, IID_IPOutlookApp,
                         reinterpret_cast<void**>(&m_application));
        m_application->lpVtbl->Logon(m_application, 0);
        m_application->lpVtbl->GetDefaultFolder(m_application, olFolderContacts, &m_folder_object);
    }

    ~StoreOf5000() {
        m_folder_object->lpVtbl->Release(m_folder_object);
        m_application->lpVtbl->Logoff(m_application);
        m_application->lpVtbl->Release(m_application);
        CoUninitialize();
        std::filesystem::remove_all(m_folder);
    }

    IFolder* folder() const { return m_folder_object; }

  private:
    std::filesystem::path m_folder;
    IPOutlookApp* m_application = nullptr;
    IFolder* m_folder_object = nullptr;
};

StoreOf5000& store() {
    static StoreOf5000 instance;
    return instance;
}

size_t read_text(IContact* contact, decltype(&IContactVtbl::get_FirstName) getter) {
    BSTR text = nullptr;
    (contact->lpVtbl->*getter)(contact, &text);
    const size_t length = SysStringLen(text);
    SysFreeString(text);
    return length;
}

size_t walk(IPOutlookItemCollection* items) {
    int count = 0;
    items->lpVtbl->get_Count(items, &count);
    size_t characters = 0;
    for (int index = 1; index <= count; ++index) {
        IDispatch* item = nullptr;
        items->lpVtbl->Item(items, index, &item);
        auto* contact = reinterpret_cast<IContact*>(item);
        characters += read_text(contact, &IContactVtbl::get_FirstName);
        characters += read_text(contact, &IContactVtbl::get_LastName);
        characters += read_text(contact, &IContactVtbl::get_MobileTelephoneNumber);
        characters += read_text(contact, &IContactVtbl::get_HomeTelephoneNumber);
        characters += read_text(contact, &IContactVtbl::get_BusinessTelephoneNumber);
        contact->lpVtbl->Release(contact);
    }
    return characters;
}

// A reader that opens the collection afresh, so its first count reads the store.
void BM_ReadAllContactsFromANewCollection(benchmark::State& state) {
    IFolder* folder = store().folder();
    for (auto _ : state) {
        IPOutlookItemCollection* items = nullptr;
        folder->lpVtbl->get_Items(folder, &items);
        benchmark::DoNotOptimize(walk(items));
        items->lpVtbl->Release(items);
    }
    state.SetItemsProcessed(state.iterations() * contact_count);
}
BENCHMARK(BM_ReadAllContactsFromANewCollection)->Unit(benchmark::kMillisecond);

// A reader that walks again a collection whose store has not changed.
void BM_ReadAllContactsAgain(benchmark::State& state) {
    IFolder* folder = store().folder();
    IPOutlookItemCollection* items = nullptr;
    folder->lpVtbl->get_Items(folder, &items);
    walk(items);
    for (auto _ : state) {
        benchmark::DoNotOptimize(walk(items));
    }
    items->lpVtbl->Release(items);
    state.SetItemsProcessed(state.iterations() * contact_count);
}
BENCHMARK(BM_ReadAllContactsAgain)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
