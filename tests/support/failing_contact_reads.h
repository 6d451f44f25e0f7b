// A contacts collection double at the seam of the contacts store: the contact at one index comes
// out of the collection as usual, but its text reads fail, as a store answers for a record it
// cannot read.
#pragma once

#include <pimstore.h>

class FailingContactReads {
  public:
    enum class Reads { names, all };

    // From now on until this goes, reads of the collection's contact `index` fail: its first and
    // last name, or every text. The collection must not be in use on another thread meanwhile.
    FailingContactReads(IPOutlookItemCollection* items, int index, Reads reads) : m_items(items) {
        s_index = index;
        s_reads = reads;
        s_original = items->lpVtbl;
        s_collection = *items->lpVtbl;
        s_collection.Item = &Item;
        items->lpVtbl = &s_collection;
    }

    ~FailingContactReads() { m_items->lpVtbl = s_original; }

    FailingContactReads(const FailingContactReads&) = delete;
    FailingContactReads& operator=(const FailingContactReads&) = delete;

  private:
    static HRESULT STDMETHODCALLTYPE Item(IPOutlookItemCollection* self, int index,
                                          IDispatch** item) {
        HRESULT status = s_original->Item(self, index, item);
        if (status != S_OK || index != s_index) {
            return status;
        }
        IContact* contact = reinterpret_cast<IContact*>(*item);
        s_contact = *contact->lpVtbl;
        s_contact.get_FirstName = &Fail;
        s_contact.get_LastName = &Fail;
        if (s_reads == Reads::all) {
            s_contact.get_MobileTelephoneNumber = &Fail;
            s_contact.get_HomeTelephoneNumber = &Fail;
            s_contact.get_BusinessTelephoneNumber = &Fail;
        }
        contact->lpVtbl = &s_contact;
        return status;
    }

    static HRESULT STDMETHODCALLTYPE Fail(IContact*, BSTR* text) {
        *text = nullptr;
        return E_FAIL;
    }

    IPOutlookItemCollection* m_items;
    static inline int s_index = 0;
    static inline Reads s_reads = Reads::all;
    static inline const IPOutlookItemCollectionVtbl* s_original = nullptr;
    static inline IPOutlookItemCollectionVtbl s_collection = {};
    static inline IContactVtbl s_contact = {};
};
