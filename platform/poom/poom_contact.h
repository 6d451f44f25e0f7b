// A contact object: IContact for its texts and Save, IItem for property values. It holds its own
// copy of the contact; Save writes that copy to the store in one transaction.
#pragma once

#include "com/com_object.h"
#include "poom/contact_record.h"

#include <pimstore.h>

#include <memory>
#include <mutex>

namespace handset {

class ContactStore;

class PoomContact final : public ComObject {
  public:
    // A new object with one reference, for a contact read from the store or (id 0) a new one.
    static IContact* make(std::shared_ptr<ContactStore> store, ContactRecord record);

  private:
    PoomContact(std::shared_ptr<ContactStore> store, ContactRecord record);

    void* find_interface(REFIID iid) override;

    HRESULT get_text(ContactField field, BSTR* out);
    HRESULT put_text(ContactField field, const WCHAR* text);
    HRESULT save();
    HRESULT set_props(ULONG flags, WORD count, const CEPROPVAL* values);

    template <ContactField field>
    static HRESULT STDMETHODCALLTYPE get_entry(IContact* self, BSTR* out);
    template <ContactField field>
    static HRESULT STDMETHODCALLTYPE put_entry(IContact* self, BSTR text);
    static HRESULT STDMETHODCALLTYPE save_entry(IContact* self);
    static HRESULT STDMETHODCALLTYPE set_props_entry(IItem* self, ULONG flags, WORD count,
                                                     CEPROPVAL* values);

    static const IContactVtbl contact_table;
    static const IItemVtbl item_table;

    InterfaceBinding<IContact, PoomContact> m_contact;
    InterfaceBinding<IItem, PoomContact> m_item;
    std::shared_ptr<ContactStore> m_store;
    std::mutex m_mutex;
    ContactRecord m_record;
};

} // namespace handset
