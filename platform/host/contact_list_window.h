// The Contacts application's window: the store's contacts in a list, filed "Last, First", with
// the main number of each; New on the left soft key and Menu on the right. Menu, and a
// tap-and-hold on a contact, show the commands on the selected contact followed by those of the
// registered menu extensions.
#pragma once

#include "poom/contact_record.h"
#include "poom/contact_store.h"

#include <windef.h>

#include <memory>
#include <vector>

namespace handset {

class ContactListWindow {
  public:
    // Makes the window and handles its messages until it is closed; the exit code.
    static int run(HINSTANCE instance);

  private:
    ContactListWindow() = default;

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);

    void create(HWND window);
    void fit_to_screen();
    // Reads the store again and selects the contact with select_id, or else the row that was
    // selected before.
    void fill(int64_t select_id);
    int selected_row() const;
    const ContactRecord* selected_contact() const;
    void command(UINT id);
    void show_menu(POINT at, UINT alignment);
    void new_contact();
    void edit_selected();
    void delete_selected();
    void call_selected();

    HWND m_window = nullptr;
    HWND m_list = nullptr;
    HWND m_menu_bar = nullptr;
    std::unique_ptr<ContactStore> m_store;
    std::vector<ContactRecord> m_contacts;
};

} // namespace handset
