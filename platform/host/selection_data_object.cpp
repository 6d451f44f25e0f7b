#include "host/selection_data_object.h"

#include <cstdlib>
#include <cstring>

namespace handset {

const IDataObjectVtbl SelectionDataObject::table = {Entries::query_interface,
                                                    Entries::add_ref,
                                                    Entries::release,
                                                    get_data,
                                                    get_data_here,
                                                    query_get_data,
                                                    get_canonical_format,
                                                    set_data,
                                                    enum_formats,
                                                    advise,
                                                    unadvise,
                                                    enum_advise};

SelectionDataObject* SelectionDataObject::create(std::vector<CEOID> contacts) {
    return new SelectionDataObject(std::move(contacts));
}

SelectionDataObject::SelectionDataObject(std::vector<CEOID> contacts)
    : m_data{{&table}, this}, m_contacts(std::move(contacts)),
      m_format(RegisterClipboardFormatW(CFSTR_CONTACTOIDS)) {}

void* SelectionDataObject::find_interface(REFIID iid) {
    const bool served = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject);
    return served ? &m_data.iface : nullptr;
}

// The one format, for its content as a whole, in a memory block.
bool SelectionDataObject::offers(const FORMATETC* format) const {
    return format != nullptr && format->cfFormat == m_format &&
           format->dwAspect == DVASPECT_CONTENT && format->lindex == -1 &&
           (format->tymed & TYMED_HGLOBAL) != 0;
}

HRESULT STDMETHODCALLTYPE SelectionDataObject::get_data(IDataObject* self, FORMATETC* format,
                                                        STGMEDIUM* medium) {
    if (medium == nullptr) {
        return E_INVALIDARG;
    }
    *medium = STGMEDIUM{};
    const SelectionDataObject* object = Entries::Binding::object_of(self);
    if (!object->offers(format)) {
        return DV_E_FORMATETC;
    }
    const DWORD count = static_cast<DWORD>(object->m_contacts.size());
    const size_t size = sizeof(DWORD) + count * sizeof(CEOID);
    auto* block = static_cast<BYTE*>(std::malloc(size));
    if (block == nullptr) {
        return E_OUTOFMEMORY;
    }
    std::memcpy(block, &count, sizeof count);
    if (count != 0) {
        std::memcpy(block + sizeof count, object->m_contacts.data(), count * sizeof(CEOID));
    }
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = block;
    medium->cbGlobal = static_cast<DWORD>(size);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SelectionDataObject::query_get_data(IDataObject* self,
                                                              FORMATETC* format) {
    return Entries::Binding::object_of(self)->offers(format) ? S_OK : DV_E_FORMATETC;
}

// The selection is read-only and offered in one fixed format; the writing, enumerating and
// notifying methods are not served.
HRESULT STDMETHODCALLTYPE SelectionDataObject::get_data_here(IDataObject*, FORMATETC*, STGMEDIUM*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE SelectionDataObject::get_canonical_format(IDataObject*, FORMATETC*,
                                                                    FORMATETC*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE SelectionDataObject::set_data(IDataObject*, FORMATETC*, STGMEDIUM*,
                                                        BOOL) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE SelectionDataObject::enum_formats(IDataObject*, DWORD, void**) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE SelectionDataObject::advise(IDataObject*, FORMATETC*, DWORD, void*,
                                                      DWORD*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE SelectionDataObject::unadvise(IDataObject*, DWORD) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE SelectionDataObject::enum_advise(IDataObject*, void**) {
    return E_NOTIMPL;
}

} // namespace handset
