// The full-screen form for a new contact or a change to one: first and last name, mobile, home
// and work numbers and e-mail, with Done and Cancel on the soft keys. Done saves through the
// contacts store; a refusal is shown and the form stays open with what was typed.
#pragma once

#include "poom/contact_record.h"
#include "poom/contact_store.h"

#include <windef.h>

namespace handset {

class ContactEditor {
  public:
    // Runs the form modally over owner for contact (id 0 for a new one). True when it was saved;
    // contact then holds what was stored, with its id.
    static bool run(HWND owner, ContactStore& store, ContactRecord& contact);

  private:
    ContactEditor(ContactStore& store, ContactRecord& contact)
        : m_store(store), m_contact(contact) {}

    static INT_PTR CALLBACK procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

    void initialise(HWND dialog);
    void done(HWND dialog);

    ContactStore& m_store;
    ContactRecord& m_contact;
};

} // namespace handset
