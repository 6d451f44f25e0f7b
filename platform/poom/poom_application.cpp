#include "poom/poom_application.h"

#include "base/debug_output.h"
#include "com/builtin_classes.h"
#include "poom/contact_store.h"
#include "poom/poom_contact.h"
#include "poom/poom_folder.h"
#include "poom/poom_status.h"

namespace handset {

namespace {

using Entries = UnknownEntries<IPOutlookApp, PoomApplication>;

constexpr char16_t version_text[] = u"2.0";

const BuiltinClassRegistration registration(CLSID_Application, &PoomApplication::create);

} // namespace

const IPOutlookAppVtbl PoomApplication::table = {
    Entries::query_interface,
    Entries::add_ref,
    Entries::release,
    logon_entry,
    logoff_entry,
    version_entry,
    default_folder_entry,
    create_item_entry,
};

HRESULT PoomApplication::create(REFIID iid, void** out) {
    auto* application = new PoomApplication();
    const HRESULT status = application->query_interface(iid, out);
    application->release();
    return status;
}

PoomApplication::PoomApplication() : m_application{{&table}, this} {}

void* PoomApplication::find_interface(REFIID iid) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPOutlookApp)) {
        return &m_application.iface;
    }
    return nullptr;
}

HRESULT PoomApplication::logon() {
    std::lock_guard lock(m_mutex);
    if (m_store != nullptr) {
        return S_FALSE;
    }
    StoreResult result;
    std::unique_ptr<ContactStore> opened = ContactStore::open(ContactStore::default_path(), result);
    if (opened == nullptr) {
        return hresult_of(result);
    }
    opened->honour_faults();
    m_store = std::move(opened);
    return S_OK;
}

HRESULT PoomApplication::logoff() {
    std::lock_guard lock(m_mutex);
    m_store.reset();
    return S_OK;
}

std::shared_ptr<ContactStore> PoomApplication::store() {
    std::lock_guard lock(m_mutex);
    if (m_store == nullptr) {
        debug_line("contacts store: the application object is not logged on");
    }
    return m_store;
}

// What GetDefaultFolder and CreateItem share: a place for the result, a kind the handset serves
// and a logged-on store, in that order.
template <typename Result, typename Make>
HRESULT PoomApplication::hand_out(Result** out, bool kind_served, Make make) {
    if (out == nullptr) {
        return E_INVALIDARG;
    }
    *out = nullptr;
    if (!kind_served) {
        return E_INVALIDARG;
    }
    std::shared_ptr<ContactStore> contacts = store();
    if (contacts == nullptr) {
        return E_UNEXPECTED;
    }
    *out = make(std::move(contacts));
    return S_OK;
}

HRESULT PoomApplication::default_folder(int kind, IFolder** out) {
    return hand_out(out, kind == olFolderContacts, [](std::shared_ptr<ContactStore> contacts) {
        return PoomFolder::make(std::move(contacts));
    });
}

HRESULT PoomApplication::create_item(int kind, IDispatch** out) {
    return hand_out(out, kind == olContactItem, [](std::shared_ptr<ContactStore> contacts) {
        return reinterpret_cast<IDispatch*>(PoomContact::make(std::move(contacts), {}));
    });
}

HRESULT STDMETHODCALLTYPE PoomApplication::logon_entry(IPOutlookApp* self, LONG) {
    return Entries::Binding::object_of(self)->logon();
}

HRESULT STDMETHODCALLTYPE PoomApplication::logoff_entry(IPOutlookApp* self) {
    return Entries::Binding::object_of(self)->logoff();
}

HRESULT STDMETHODCALLTYPE PoomApplication::version_entry(IPOutlookApp*, BSTR* out) {
    if (out == nullptr) {
        return E_INVALIDARG;
    }
    *out = SysAllocString(version_text);
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE PoomApplication::default_folder_entry(IPOutlookApp* self, int kind,
                                                                IFolder** out) {
    return Entries::Binding::object_of(self)->default_folder(kind, out);
}

HRESULT STDMETHODCALLTYPE PoomApplication::create_item_entry(IPOutlookApp* self, int kind,
                                                             IDispatch** out) {
    return Entries::Binding::object_of(self)->create_item(kind, out);
}

} // namespace handset
