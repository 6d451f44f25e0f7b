// The contacts application object, the platform's built-in class CLSID_Application. Logon opens
// the device's contacts store; the folder, collections and contacts it hands out share that
// store and keep it open for as long as they live, even past Logoff.
#pragma once

#include "com/com_object.h"

#include <pimstore.h>

#include <memory>
#include <mutex>

namespace handset {

class ContactStore;

class PoomApplication final : public ComObject {
  public:
    // The creator that CoCreateInstance calls for CLSID_Application.
    static HRESULT create(REFIID iid, void** out);

  private:
    PoomApplication();

    void* find_interface(REFIID iid) override;

    HRESULT logon();
    HRESULT logoff();
    HRESULT default_folder(int kind, IFolder** out);
    HRESULT create_item(int kind, IDispatch** out);
    // The store while logged on, else nullptr.
    std::shared_ptr<ContactStore> store();
    template <typename Result, typename Make>
    HRESULT hand_out(Result** out, bool kind_served, Make make);

    static HRESULT STDMETHODCALLTYPE logon_entry(IPOutlookApp* self, LONG owner);
    static HRESULT STDMETHODCALLTYPE logoff_entry(IPOutlookApp* self);
    static HRESULT STDMETHODCALLTYPE version_entry(IPOutlookApp* self, BSTR* out);
    static HRESULT STDMETHODCALLTYPE default_folder_entry(IPOutlookApp* self, int kind,
                                                          IFolder** out);
    static HRESULT STDMETHODCALLTYPE create_item_entry(IPOutlookApp* self, int kind,
                                                       IDispatch** out);

    static const IPOutlookAppVtbl table;

    InterfaceBinding<IPOutlookApp, PoomApplication> m_application;
    std::mutex m_mutex;
    std::shared_ptr<ContactStore> m_store;
};

} // namespace handset
