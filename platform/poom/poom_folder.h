// The default contacts folder of a logged-on application object.
#pragma once

#include "com/com_object.h"

#include <pimstore.h>

#include <memory>

namespace handset {

class ContactStore;

class PoomFolder final : public ComObject {
  public:
    static IFolder* make(std::shared_ptr<ContactStore> store);

  private:
    explicit PoomFolder(std::shared_ptr<ContactStore> store);

    void* find_interface(REFIID iid) override;

    static HRESULT STDMETHODCALLTYPE items_entry(IFolder* self, IPOutlookItemCollection** out);

    static const IFolderVtbl table;

    InterfaceBinding<IFolder, PoomFolder> m_folder;
    std::shared_ptr<ContactStore> m_store;
};

} // namespace handset
