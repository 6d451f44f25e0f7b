// The site that the Contacts application gives its context-menu extensions: a data object with
// the selected contacts, offered in one format, CFSTR_CONTACTOIDS, in a memory block. Extensions
// reach it through IObjectWithSite::GetSite, which asks the site for IDataObject.
#pragma once

#include "com/com_object.h"

#include <shlobj.h>

#include <vector>

namespace handset {

class SelectionDataObject final : public ComObject {
  public:
    // A new object with one reference, which the caller releases.
    static SelectionDataObject* create(std::vector<CEOID> contacts);

    // The object's IUnknown, to hand to SetSite; it counts no reference of its own.
    IUnknown* site() { return reinterpret_cast<IUnknown*>(&m_data.iface); }

  private:
    using Entries = UnknownEntries<IDataObject, SelectionDataObject>;

    explicit SelectionDataObject(std::vector<CEOID> contacts);

    void* find_interface(REFIID iid) override;
    bool offers(const FORMATETC* format) const;

    static HRESULT STDMETHODCALLTYPE get_data(IDataObject* self, FORMATETC* format,
                                              STGMEDIUM* medium);
    static HRESULT STDMETHODCALLTYPE get_data_here(IDataObject* self, FORMATETC* format,
                                                   STGMEDIUM* medium);
    static HRESULT STDMETHODCALLTYPE query_get_data(IDataObject* self, FORMATETC* format);
    static HRESULT STDMETHODCALLTYPE get_canonical_format(IDataObject* self, FORMATETC* in,
                                                          FORMATETC* out);
    static HRESULT STDMETHODCALLTYPE set_data(IDataObject* self, FORMATETC* format,
                                              STGMEDIUM* medium, BOOL release);
    static HRESULT STDMETHODCALLTYPE enum_formats(IDataObject* self, DWORD direction,
                                                  void** formats);
    static HRESULT STDMETHODCALLTYPE advise(IDataObject* self, FORMATETC* format, DWORD flags,
                                            void* sink, DWORD* connection);
    static HRESULT STDMETHODCALLTYPE unadvise(IDataObject* self, DWORD connection);
    static HRESULT STDMETHODCALLTYPE enum_advise(IDataObject* self, void** advise);

    static const IDataObjectVtbl table;

    InterfaceBinding<IDataObject, SelectionDataObject> m_data;
    std::vector<CEOID> m_contacts;
    UINT m_format;
};

} // namespace handset
