#include "poom/poom_folder.h"

#include "poom/poom_item_collection.h"

namespace handset {

namespace {
using Entries = UnknownEntries<IFolder, PoomFolder>;
}

const IFolderVtbl PoomFolder::table = {
    Entries::query_interface,
    Entries::add_ref,
    Entries::release,
    items_entry,
};

IFolder* PoomFolder::make(std::shared_ptr<ContactStore> store) {
    auto* folder = new PoomFolder(std::move(store));
    return &folder->m_folder.iface;
}

PoomFolder::PoomFolder(std::shared_ptr<ContactStore> store)
    : m_folder{{&table}, this}, m_store(std::move(store)) {}

void* PoomFolder::find_interface(REFIID iid) {
    return IsEqualIID(iid, IID_IUnknown) ? &m_folder.iface : nullptr;
}

HRESULT STDMETHODCALLTYPE PoomFolder::items_entry(IFolder* self, IPOutlookItemCollection** out) {
    if (out == nullptr) {
        return E_INVALIDARG;
    }
    *out = PoomItemCollection::make(Entries::Binding::object_of(self)->m_store);
    return S_OK;
}

} // namespace handset
