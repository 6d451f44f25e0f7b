#include "store_damage.h"

#include "../../support/file_integrity.h"
#include "../com/temporary_device.h"

#include "base/debug_output.h"
#include "poom/contact_store.h"

#include <pimstore.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using handset::ContactField;
using handset::ContactRecord;
using handset::ContactStore;
using handset::StoreResult;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

struct Releaser {
    template <typename Interface>
    void operator()(Interface* iface) const {
        iface->lpVtbl->Release(iface);
    }
};
template <typename Interface>
using Held = std::unique_ptr<Interface, Releaser>;

using Getter = decltype(&IContactVtbl::get_FirstName);
using Putter = decltype(&IContactVtbl::put_FirstName);

std::u16string read(IContact* contact, Getter getter) {
    BSTR text = nullptr;
    EXPECT_EQ((contact->lpVtbl->*getter)(contact, &text), S_OK);
    EXPECT_NE(text, nullptr) << "an empty property is an empty string, not NULL";
    std::u16string copy(text != nullptr ? text : u"", SysStringLen(text));
    SysFreeString(text);
    return copy;
}

HRESULT write(IContact* contact, Putter putter, const char16_t* text) {
    return (contact->lpVtbl->*putter)(contact, const_cast<BSTR>(text));
}

HRESULT set_nickname(IContact* contact, const char16_t* nickname, WORD flags = 0) {
    IItem* item = nullptr;
    EXPECT_EQ(contact->lpVtbl->QueryInterface(contact, IID_IItem, reinterpret_cast<void**>(&item)),
              S_OK);
    CEPROPVAL value = {};
    value.propid = PIMPR_NICKNAME;
    value.wFlags = flags;
    value.val.lpwstr = const_cast<LPWSTR>(nickname);
    const HRESULT status = item->lpVtbl->SetProps(item, 0, 1, &value);
    item->lpVtbl->Release(item);
    return status;
}

Held<IPOutlookApp> create_application() {
    IPOutlookApp* application = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_Application, nullptr, CLSCTX_INPROC_SERVER, IID_IPOutlookApp,
                               reinterpret_cast<void**>(&application)),
              S_OK);
    return Held<IPOutlookApp>(application);
}

Held<IPOutlookItemCollection> items_of(IPOutlookApp* application) {
    IFolder* folder = nullptr;
    EXPECT_EQ(application->lpVtbl->GetDefaultFolder(application, olFolderContacts, &folder), S_OK);
    Held<IFolder> held_folder(folder);
    IPOutlookItemCollection* items = nullptr;
    EXPECT_EQ(folder->lpVtbl->get_Items(folder, &items), S_OK);
    return Held<IPOutlookItemCollection>(items);
}

int count_of(IPOutlookItemCollection* items) {
    int count = -1;
    EXPECT_EQ(items->lpVtbl->get_Count(items, &count), S_OK);
    return count;
}

Held<IContact> item_at(IPOutlookItemCollection* items, int index) {
    IDispatch* item = nullptr;
    EXPECT_EQ(items->lpVtbl->Item(items, index, &item), S_OK) << "index " << index;
    return Held<IContact>(reinterpret_cast<IContact*>(item));
}

Held<IContact> new_contact(IPOutlookApp* application) {
    IDispatch* item = nullptr;
    EXPECT_EQ(application->lpVtbl->CreateItem(application, olContactItem, &item), S_OK);
    return Held<IContact>(reinterpret_cast<IContact*>(item));
}

HRESULT save_named(IPOutlookApp* application, const std::u16string& first,
                   const std::u16string& last) {
    Held<IContact> contact = new_contact(application);
    write(contact.get(), &IContactVtbl::put_FirstName, first.c_str());
    write(contact.get(), &IContactVtbl::put_LastName, last.c_str());
    return contact->lpVtbl->Save(contact.get());
}

std::vector<std::u16string> last_names(IPOutlookItemCollection* items, int count) {
    std::vector<std::u16string> names;
    for (int index = 1; index <= count; ++index) {
        names.push_back(read(item_at(items, index).get(), &IContactVtbl::get_LastName));
    }
    return names;
}

ContactRecord named(std::u16string first, std::u16string last) {
    ContactRecord contact;
    contact[ContactField::first_name] = std::move(first);
    contact[ContactField::last_name] = std::move(last);
    return contact;
}

class ContactsObjectsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        StoreResult result;
        m_store = ContactStore::create(ContactStore::default_path(), result);
        ASSERT_NE(m_store, nullptr) << result.detail;
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        m_application = create_application();
        ASSERT_NE(m_application, nullptr);
    }

    void TearDown() override {
        m_application.reset();
        CoUninitialize();
    }

    HRESULT logon() { return m_application->lpVtbl->Logon(m_application.get(), 0); }

    Held<IPOutlookItemCollection> items() {
        EXPECT_TRUE(SUCCEEDED(logon()));
        return items_of(m_application.get());
    }

    std::vector<ContactRecord> stored() {
        std::vector<ContactRecord> contacts;
        EXPECT_TRUE(m_store->list(contacts).ok());
        return contacts;
    }

    void add_to_store(std::vector<ContactRecord> contacts) {
        ASSERT_TRUE(m_store->add_all(contacts).ok());
    }

    TemporaryDevice m_device;
    // The store as handsetctl or another process sees it.
    std::unique_ptr<ContactStore> m_store;
    Held<IPOutlookApp> m_application;
};

TEST_F(ContactsObjectsTest, LogsOnOnceAndSaysSoWhenAlreadyLoggedOn) {
    EXPECT_EQ(logon(), S_OK);
    EXPECT_EQ(logon(), S_FALSE);
    EXPECT_EQ(m_application->lpVtbl->Logoff(m_application.get()), S_OK);
    EXPECT_EQ(logon(), S_OK);
}

TEST_F(ContactsObjectsTest, GivesItsVersionAsAStringTheCallerFrees) {
    BSTR version = nullptr;
    ASSERT_EQ(m_application->lpVtbl->get_Version(m_application.get(), &version), S_OK);
    EXPECT_GT(SysStringLen(version), 0u);
    SysFreeString(version);
    EXPECT_EQ(m_application->lpVtbl->get_Version(m_application.get(), nullptr), E_INVALIDARG);
}

TEST_F(ContactsObjectsTest, ServesTheContactsFolderAndContactItemsOnlyAfterLogon) {
    IFolder* folder = reinterpret_cast<IFolder*>(this);
    IDispatch* item = reinterpret_cast<IDispatch*>(this);
    EXPECT_EQ(
        m_application->lpVtbl->GetDefaultFolder(m_application.get(), olFolderContacts, &folder),
        E_UNEXPECTED);
    EXPECT_EQ(folder, nullptr);
    EXPECT_EQ(m_application->lpVtbl->CreateItem(m_application.get(), olContactItem, &item),
              E_UNEXPECTED);
    EXPECT_EQ(item, nullptr);

    ASSERT_EQ(logon(), S_OK);
    constexpr int calendar = 9;
    constexpr int appointment = 1;
    EXPECT_EQ(m_application->lpVtbl->GetDefaultFolder(m_application.get(), calendar, &folder),
              E_INVALIDARG);
    EXPECT_EQ(m_application->lpVtbl->CreateItem(m_application.get(), appointment, &item),
              E_INVALIDARG);
    EXPECT_EQ(
        m_application->lpVtbl->GetDefaultFolder(m_application.get(), olFolderContacts, nullptr),
        E_INVALIDARG);
}

TEST_F(ContactsObjectsTest, SavesANewContactWithEveryPropertyThatTheCollectionThenShows) {
    Held<IPOutlookItemCollection> contacts = items();
    Held<IContact> contact = new_contact(m_application.get());
    EXPECT_EQ(write(contact.get(), &IContactVtbl::put_FirstName, u"Zoë"), S_OK);
    EXPECT_EQ(write(contact.get(), &IContactVtbl::put_MiddleName, u"Maria"), S_OK);
    EXPECT_EQ(write(contact.get(), &IContactVtbl::put_LastName, u"李"), S_OK);
    EXPECT_EQ(write(contact.get(), &IContactVtbl::put_MobileTelephoneNumber, u"+4917012"), S_OK);
    EXPECT_EQ(write(contact.get(), &IContactVtbl::put_HomeTelephoneNumber, u"030 98"), S_OK);
    EXPECT_EQ(write(contact.get(), &IContactVtbl::put_BusinessTelephoneNumber, u"040#1"), S_OK);
    EXPECT_EQ(write(contact.get(), &IContactVtbl::put_Email1Address, u"zoe@example.org"), S_OK);
    EXPECT_EQ(set_nickname(contact.get(), u"Zo"), S_OK);
    EXPECT_EQ(contact->lpVtbl->Save(contact.get()), S_OK);

    ASSERT_EQ(count_of(contacts.get()), 1);
    Held<IContact> read_back = item_at(contacts.get(), 1);
    EXPECT_EQ(read(read_back.get(), &IContactVtbl::get_FirstName), u"Zoë");
    EXPECT_EQ(read(read_back.get(), &IContactVtbl::get_MiddleName), u"Maria");
    EXPECT_EQ(read(read_back.get(), &IContactVtbl::get_LastName), u"李");
    EXPECT_EQ(read(read_back.get(), &IContactVtbl::get_MobileTelephoneNumber), u"+4917012");
    EXPECT_EQ(read(read_back.get(), &IContactVtbl::get_HomeTelephoneNumber), u"030 98");
    EXPECT_EQ(read(read_back.get(), &IContactVtbl::get_BusinessTelephoneNumber), u"040#1");
    EXPECT_EQ(read(read_back.get(), &IContactVtbl::get_Email1Address), u"zoe@example.org");
    EXPECT_EQ(stored().at(0)[ContactField::nickname], u"Zo");
}

TEST_F(ContactsObjectsTest, ReadsAPropertyNeverSetAsAnEmptyString) {
    add_to_store({named(u"Anna", u"")});
    Held<IPOutlookItemCollection> contacts = items();
    ASSERT_EQ(count_of(contacts.get()), 1);
    Held<IContact> contact = item_at(contacts.get(), 1);
    EXPECT_EQ(read(contact.get(), &IContactVtbl::get_LastName), u"");
    EXPECT_EQ(read(contact.get(), &IContactVtbl::get_HomeTelephoneNumber), u"");
    EXPECT_EQ(contact->lpVtbl->get_FirstName(contact.get(), nullptr), E_INVALIDARG);
}

TEST_F(ContactsObjectsTest, ReadsTextArgumentsToTheirTerminatorAndRefusesOverlongOnes) {
    ASSERT_EQ(logon(), S_OK);
    Held<IContact> contact = new_contact(m_application.get());
    // A plain buffer has no length prefix in front of it; reading one would run off the
    // allocation, which the address sanitizer reports.
    auto plain = std::make_unique<WCHAR[]>(5);
    std::char_traits<char16_t>::copy(plain.get(), u"Anna", 5);
    EXPECT_EQ(write(contact.get(), &IContactVtbl::put_FirstName, plain.get()), S_OK);
    EXPECT_EQ(read(contact.get(), &IContactVtbl::get_FirstName), u"Anna");

    const std::u16string longest(1023, u'n');
    const std::u16string too_long(1024, u'n');
    EXPECT_EQ(write(contact.get(), &IContactVtbl::put_LastName, longest.c_str()), S_OK);
    EXPECT_EQ(write(contact.get(), &IContactVtbl::put_LastName, too_long.c_str()), E_INVALIDARG);
    EXPECT_EQ(read(contact.get(), &IContactVtbl::get_LastName), longest);

    EXPECT_EQ(write(contact.get(), &IContactVtbl::put_LastName, nullptr), S_OK);
    EXPECT_EQ(read(contact.get(), &IContactVtbl::get_LastName), u"");
}

TEST_F(ContactsObjectsTest, SetPropsTakesTheNicknameAndChangesNothingWhenItRefuses) {
    ASSERT_EQ(logon(), S_OK);
    Held<IContact> contact = new_contact(m_application.get());
    write(contact.get(), &IContactVtbl::put_FirstName, u"Anna");
    ASSERT_EQ(set_nickname(contact.get(), u"Annie"), S_OK);

    IItem* item = nullptr;
    ASSERT_EQ(
        contact->lpVtbl->QueryInterface(contact.get(), IID_IItem, reinterpret_cast<void**>(&item)),
        S_OK);
    Held<IItem> held_item(item);
    CEPROPVAL values[2] = {};
    values[0].propid = PIMPR_NICKNAME;
    values[0].val.lpwstr = const_cast<LPWSTR>(u"Nan");
    values[1].propid = 0x0003001F;
    values[1].val.lpwstr = const_cast<LPWSTR>(u"Other");
    EXPECT_EQ(item->lpVtbl->SetProps(item, 0, 2, values), E_INVALIDARG);
    EXPECT_EQ(item->lpVtbl->SetProps(item, 1, 1, values), E_INVALIDARG);
    EXPECT_EQ(item->lpVtbl->SetProps(item, 0, 1, nullptr), E_INVALIDARG);
    values[0].val.lpwstr = nullptr;
    EXPECT_EQ(item->lpVtbl->SetProps(item, 0, 1, values), E_INVALIDARG);

    ASSERT_EQ(contact->lpVtbl->Save(contact.get()), S_OK);
    EXPECT_EQ(stored().at(0)[ContactField::nickname], u"Annie");

    EXPECT_EQ(set_nickname(contact.get(), nullptr, CEDB_PROPDELETE), S_OK);
    ASSERT_EQ(contact->lpVtbl->Save(contact.get()), S_OK);
    EXPECT_EQ(stored().at(0)[ContactField::nickname], u"");
}

TEST_F(ContactsObjectsTest, TheItemInterfaceLeadsBackToTheSameContact) {
    ASSERT_EQ(logon(), S_OK);
    Held<IContact> contact = new_contact(m_application.get());
    IItem* item = nullptr;
    ASSERT_EQ(
        contact->lpVtbl->QueryInterface(contact.get(), IID_IItem, reinterpret_cast<void**>(&item)),
        S_OK);
    IUnknown* through_item = nullptr;
    ASSERT_EQ(
        item->lpVtbl->QueryInterface(item, IID_IUnknown, reinterpret_cast<void**>(&through_item)),
        S_OK);
    EXPECT_EQ(static_cast<void*>(through_item), static_cast<void*>(contact.get()));
    through_item->lpVtbl->Release(through_item);
    EXPECT_EQ(item->lpVtbl->Release(item), 1u) << "only the test's own reference is left";

    void* other = this;
    EXPECT_EQ(contact->lpVtbl->QueryInterface(contact.get(), IID_IPOutlookApp, &other),
              E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
}

TEST_F(ContactsObjectsTest, AContactMayBeNoMoreThanANumberButNotNothing) {
    ASSERT_EQ(logon(), S_OK);
    Held<IContact> contact = new_contact(m_application.get());
    write(contact.get(), &IContactVtbl::put_FirstName, u"");
    EXPECT_EQ(contact->lpVtbl->Save(contact.get()), E_INVALIDARG);
    EXPECT_TRUE(stored().empty());
    write(contact.get(), &IContactVtbl::put_MobileTelephoneNumber, u"0170");
    EXPECT_EQ(contact->lpVtbl->Save(contact.get()), S_OK);
    ASSERT_EQ(stored().size(), 1u);
    EXPECT_EQ(stored()[0][ContactField::mobile_telephone], u"0170");
}

TEST_F(ContactsObjectsTest, SavingAContactAgainChangesItInPlace) {
    add_to_store({named(u"Anna", u"Berg")});
    Held<IPOutlookItemCollection> contacts = items();
    ASSERT_EQ(count_of(contacts.get()), 1);
    Held<IContact> contact = item_at(contacts.get(), 1);
    write(contact.get(), &IContactVtbl::put_MobileTelephoneNumber, u"0170");
    ASSERT_EQ(contact->lpVtbl->Save(contact.get()), S_OK);
    ASSERT_EQ(contact->lpVtbl->Save(contact.get()), S_OK);

    const std::vector<ContactRecord> contacts_now = stored();
    ASSERT_EQ(contacts_now.size(), 1u);
    EXPECT_EQ(contacts_now[0][ContactField::mobile_telephone], u"0170");
}

TEST_F(ContactsObjectsTest, IndexesRunFromOneToTheCountInFilingOrder) {
    add_to_store({named(u"Carl", u"Cole"), named(u"Anna", u"Adams"), named(u"Bob", u"Brown")});
    Held<IPOutlookItemCollection> contacts = items();
    ASSERT_EQ(count_of(contacts.get()), 3);
    EXPECT_THAT(last_names(contacts.get(), 3), ElementsAre(u"Adams", u"Brown", u"Cole"));
    for (int outside : {0, -1, 4}) {
        IDispatch* item = reinterpret_cast<IDispatch*>(this);
        EXPECT_EQ(contacts->lpVtbl->Item(contacts.get(), outside, &item), E_INVALIDARG) << outside;
        EXPECT_EQ(item, nullptr);
    }
    EXPECT_EQ(contacts->lpVtbl->get_Count(contacts.get(), nullptr), E_INVALIDARG);
}

TEST_F(ContactsObjectsTest, AReaderKeepsItsIndexesWhileOthersChangeTheStore) {
    add_to_store({named(u"Bob", u"Brown"), named(u"Carl", u"Cole"), named(u"Dora", u"Diaz")});
    Held<IPOutlookItemCollection> contacts = items();
    ASSERT_EQ(count_of(contacts.get()), 3);
    EXPECT_EQ(read(item_at(contacts.get(), 1).get(), &IContactVtbl::get_LastName), u"Brown");

    // Another process files a contact in front of the ones read so far and deletes one ahead.
    add_to_store({named(u"Anna", u"Adams")});
    ASSERT_TRUE(m_store->remove(stored().at(3).id).ok());
    EXPECT_EQ(read(item_at(contacts.get(), 2).get(), &IContactVtbl::get_LastName), u"Cole");
    EXPECT_EQ(read(item_at(contacts.get(), 3).get(), &IContactVtbl::get_LastName), u"Diaz");

    ASSERT_EQ(count_of(contacts.get()), 3) << "the next count takes the store as it is now";
    EXPECT_THAT(last_names(contacts.get(), 3), ElementsAre(u"Adams", u"Brown", u"Cole"));

    ASSERT_EQ(save_named(m_application.get(), u"Eve", u"Ernst"), S_OK);
    EXPECT_EQ(count_of(contacts.get()), 4) << "its own saves count as changes too";
}

TEST_F(ContactsObjectsTest, SaveAnswersOutOfMemoryWhenTheStorageQuotaIsReached) {
    ASSERT_TRUE(m_store->set_quota_bytes(64 * 1024).ok());
    ASSERT_EQ(logon(), S_OK);
    const std::u16string long_name(900, u'n');
    HRESULT status = S_OK;
    int saved = 0;
    while (saved < 1000 && (status = save_named(m_application.get(), long_name, u"Full")) == S_OK) {
        ++saved;
    }
    EXPECT_EQ(status, E_OUTOFMEMORY);
    EXPECT_GT(saved, 0);
    EXPECT_EQ(stored().size(), static_cast<size_t>(saved))
        << "every save that answered S_OK is kept, the refused one is not";
    EXPECT_EQ(save_named(m_application.get(), long_name, u"Again"), E_OUTOFMEMORY);
}

TEST_F(ContactsObjectsTest, AMissingStoreOrAFileThatIsNoDatabaseFailsLogonAndSaysWhy) {
    m_store.reset();
    std::filesystem::remove(ContactStore::default_path());
    handset::DebugCapture debug;
    EXPECT_EQ(logon(), E_FAIL);
    EXPECT_THAT(debug.text(), HasSubstr("there is no contacts store"));
    IFolder* folder = nullptr;
    EXPECT_EQ(
        m_application->lpVtbl->GetDefaultFolder(m_application.get(), olFolderContacts, &folder),
        E_UNEXPECTED);

    write_file(ContactStore::default_path(), "contacts: Anna, Bob\n" + std::string(4096, '\0'));
    EXPECT_EQ(logon(), E_FAIL);
    EXPECT_THAT(debug.text(), HasSubstr("not a database"));
}

TEST_F(ContactsObjectsTest, DamageFoundAfterLogonFailsTheCallsNotTheProgram) {
    add_to_store({named(u"Anna", u"Adams")});
    m_store.reset();
    scribble_over_pages(ContactStore::default_path());
    handset::DebugCapture debug;
    ASSERT_EQ(logon(), S_OK);
    Held<IPOutlookItemCollection> contacts = items_of(m_application.get());
    int count = -1;
    EXPECT_EQ(contacts->lpVtbl->get_Count(contacts.get(), &count), E_FAIL);
    IDispatch* item = nullptr;
    EXPECT_EQ(contacts->lpVtbl->Item(contacts.get(), 1, &item), E_FAIL);
    EXPECT_EQ(item, nullptr);
    EXPECT_EQ(save_named(m_application.get(), u"Bob", u"Brown"), E_FAIL);
    EXPECT_THAT(debug.text(), HasSubstr("malformed"));
}

TEST_F(ContactsObjectsTest, ASaveStruckWithStorageFullAnswersOutOfMemoryAndKeepsNothing) {
    add_to_store({named(u"Anna", u"Adams")});
    handset::Fault fault = contacts_fault(handset::FaultPoint::contacts_save, "storage-full", 1);
    ASSERT_TRUE(m_store->add_fault(fault).ok());
    ASSERT_EQ(logon(), S_OK);
    handset::DebugCapture debug;

    EXPECT_EQ(save_named(m_application.get(), u"Bob", u"Brown"), E_OUTOFMEMORY);
    EXPECT_EQ(stored().size(), 1u);
    EXPECT_THAT(debug.text(), HasSubstr("fault: contacts save #1 answers storage full"));
    EXPECT_EQ(save_named(m_application.get(), u"Bob", u"Brown"), S_OK) << "it strikes once";
    EXPECT_EQ(stored().size(), 2u);
}

TEST_F(ContactsObjectsTest, ABusyStoreFailsTheSaveUntilTheFaultsAreCleared) {
    handset::Fault fault = contacts_fault(handset::FaultPoint::contacts_save, "busy");
    ASSERT_TRUE(m_store->add_fault(fault).ok());
    ASSERT_EQ(logon(), S_OK);
    handset::DebugCapture debug;

    EXPECT_EQ(save_named(m_application.get(), u"Bob", u"Brown"), E_FAIL);
    EXPECT_EQ(save_named(m_application.get(), u"Bob", u"Brown"), E_FAIL);
    EXPECT_THAT(debug.text(), HasSubstr("fault: contacts save #2 answers busy"));
    add_to_store({named(u"Anna", u"Adams")});
    EXPECT_EQ(stored().size(), 1u) << "handsetctl's own store is never struck";

    int64_t cleared = 0;
    ASSERT_TRUE(m_store->clear_faults(cleared).ok());
    EXPECT_EQ(cleared, 1);
    EXPECT_EQ(save_named(m_application.get(), u"Bob", u"Brown"), S_OK);
    EXPECT_EQ(stored().size(), 2u);
}

// A child process saves through its own application object and exits with its failure count.
pid_t start_saving_process(const std::u16string& tag, int contacts) {
    const pid_t child = fork();
    if (child != 0) {
        return child;
    }
    int failures = contacts;
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    IPOutlookApp* application = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_Application, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IPOutlookApp, reinterpret_cast<void**>(&application))) &&
        SUCCEEDED(application->lpVtbl->Logon(application, 0))) {
        for (int i = 0; i < contacts; ++i) {
            failures -= save_named(application, tag, tag + std::u16string(1, u'A' + i)) == S_OK;
        }
    }
    _exit(failures);
}

// The child's exit status, or -1 when it had to be killed after the deadline.
int finish(pid_t child) {
    const auto deadline = std::chrono::steady_clock::now() + 45s;
    int status = 0;
    while (waitpid(child, &status, WNOHANG) != child) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(10ms);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(ContactsObjectsTest, TwoProcessesSavingAtOnceLoseNothing) {
    constexpr int each = 25;
    const pid_t first = start_saving_process(u"First", each);
    const pid_t second = start_saving_process(u"Second", each);
    EXPECT_EQ(finish(first), 0);
    EXPECT_EQ(finish(second), 0);

    std::vector<std::u16string> names;
    for (const ContactRecord& contact : stored()) {
        names.push_back(contact[ContactField::last_name]);
    }
    ASSERT_EQ(names.size(), 2u * each);
    for (int i = 0; i < each; ++i) {
        const std::u16string letter(1, u'A' + i);
        EXPECT_THAT(names, ::testing::Contains(u"First" + letter));
        EXPECT_THAT(names, ::testing::Contains(u"Second" + letter));
    }
    EXPECT_EQ(integrity_of(ContactStore::default_path()), "ok");
}

TEST_F(ContactsObjectsTest, AReaderThreadAndASavingThreadShareTheObjects) {
    add_to_store({named(u"Anna", u"Adams"), named(u"Bob", u"Brown")});
    Held<IPOutlookItemCollection> contacts = items();
    IPOutlookItemCollection* shared = contacts.get();
    auto reader = std::async(std::launch::async, [shared] {
        int previous = 0;
        for (int walk = 0; walk < 20; ++walk) {
            int count = 0;
            if (shared->lpVtbl->get_Count(shared, &count) != S_OK || count < previous) {
                return false;
            }
            for (int index = 1; index <= count; ++index) {
                IDispatch* item = nullptr;
                if (shared->lpVtbl->Item(shared, index, &item) != S_OK) {
                    return false;
                }
                auto* contact = reinterpret_cast<IContact*>(item);
                BSTR name = nullptr;
                contact->lpVtbl->get_LastName(contact, &name);
                const bool named_contact = SysStringLen(name) > 0;
                SysFreeString(name);
                contact->lpVtbl->Release(contact);
                if (!named_contact) {
                    return false;
                }
            }
            previous = count;
        }
        return true;
    });
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(save_named(m_application.get(), u"Writer", u"W" + std::u16string(1, u'a' + i)),
                  S_OK);
    }
    ASSERT_EQ(reader.wait_for(30s), std::future_status::ready);
    EXPECT_TRUE(reader.get());
    EXPECT_EQ(count_of(contacts.get()), 22);
}

} // namespace
