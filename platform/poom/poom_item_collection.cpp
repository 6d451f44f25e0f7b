#include "poom/poom_item_collection.h"

#include "poom/poom_contact.h"
#include "poom/poom_status.h"

namespace handset {

namespace {
using Entries = UnknownEntries<IPOutlookItemCollection, PoomItemCollection>;
}

const IPOutlookItemCollectionVtbl PoomItemCollection::table = {
    Entries::query_interface, Entries::add_ref, Entries::release, count_entry, item_entry,
};

IPOutlookItemCollection* PoomItemCollection::make(std::shared_ptr<ContactStore> store) {
    auto* collection = new PoomItemCollection(std::move(store));
    return &collection->m_collection.iface;
}

PoomItemCollection::PoomItemCollection(std::shared_ptr<ContactStore> store)
    : m_collection{{&table}, this}, m_store(std::move(store)) {}

void* PoomItemCollection::find_interface(REFIID iid) {
    return IsEqualIID(iid, IID_IUnknown) ? &m_collection.iface : nullptr;
}

// The stamp is read before the contacts, so a commit that lands in between makes the next count
// take another view rather than be missed.
HRESULT PoomItemCollection::take_view() {
    const ChangeStamp stamp = m_store->change_stamp();
    std::vector<ContactRecord> contacts;
    const StoreResult result = m_store->list(contacts);
    if (!result.ok()) {
        return hresult_of(result);
    }
    m_view = std::move(contacts);
    m_view_stamp = stamp;
    m_has_view = true;
    return S_OK;
}

HRESULT PoomItemCollection::count(int* out) {
    if (out == nullptr) {
        return E_INVALIDARG;
    }
    std::lock_guard lock(m_mutex);
    if (!m_has_view || m_store->change_stamp() != m_view_stamp) {
        const HRESULT status = take_view();
        if (FAILED(status)) {
            return status;
        }
    }
    *out = static_cast<int>(m_view.size());
    return S_OK;
}

HRESULT PoomItemCollection::item(int index, IDispatch** out) {
    if (out == nullptr) {
        return E_INVALIDARG;
    }
    *out = nullptr;
    std::lock_guard lock(m_mutex);
    if (!m_has_view) {
        const HRESULT status = take_view();
        if (FAILED(status)) {
            return status;
        }
    }
    if (index < 1 || static_cast<size_t>(index) > m_view.size()) {
        return E_INVALIDARG;
    }
    IContact* contact = PoomContact::make(m_store, m_view[static_cast<size_t>(index) - 1]);
    *out = reinterpret_cast<IDispatch*>(contact);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PoomItemCollection::count_entry(IPOutlookItemCollection* self, int* out) {
    return Entries::Binding::object_of(self)->count(out);
}

HRESULT STDMETHODCALLTYPE PoomItemCollection::item_entry(IPOutlookItemCollection* self, int index,
                                                         IDispatch** out) {
    return Entries::Binding::object_of(self)->item(index, out);
}

} // namespace handset
