// The contacts of the contacts folder, by 1-based index.
//
// The collection works on a view: a copy of every contact in the device's order, taken from the
// store. get_Count takes a new view when the store has changed since the last one (a commit by
// this process or another); Item only reads the current view, taking the first one if there is
// none. So a reader that counts and then walks 1..count gets each contact of that moment exactly
// once, in order, in constant time per index, whatever other threads and processes save
// meanwhile; its next count sees their changes.
#pragma once

#include "com/com_object.h"
#include "poom/contact_record.h"
#include "poom/contact_store.h"

#include <pimstore.h>

#include <memory>
#include <mutex>
#include <vector>

namespace handset {

class PoomItemCollection final : public ComObject {
  public:
    static IPOutlookItemCollection* make(std::shared_ptr<ContactStore> store);

  private:
    explicit PoomItemCollection(std::shared_ptr<ContactStore> store);

    void* find_interface(REFIID iid) override;

    HRESULT count(int* out);
    HRESULT item(int index, IDispatch** out);
    // Needs m_mutex held.
    HRESULT take_view();

    static HRESULT STDMETHODCALLTYPE count_entry(IPOutlookItemCollection* self, int* out);
    static HRESULT STDMETHODCALLTYPE item_entry(IPOutlookItemCollection* self, int index,
                                                IDispatch** out);

    static const IPOutlookItemCollectionVtbl table;

    InterfaceBinding<IPOutlookItemCollection, PoomItemCollection> m_collection;
    std::shared_ptr<ContactStore> m_store;
    std::mutex m_mutex;
    bool m_has_view = false;
    ChangeStamp m_view_stamp;
    std::vector<ContactRecord> m_view;
};

} // namespace handset
