#include "host/contact_list_window.h"

#include "host/contact_editor.h"
#include "host/contacts_ids.h"
#include "host/extension_menu.h"
#include "host/language_module.h"
#include "host/registered_extensions.h"
#include "host/resource_text.h"
#include "host/selection_data_object.h"
#include "host/soft_keys.h"
#include "host/store_failure.h"

#include "base/utf.h"
#include "user/hold_gesture.h"

#include <commctrl.h>
#include <sipapi.h>
#include <tapi.h>
#include <winbase.h>
#include <winuser.h>

#include <algorithm>

namespace handset {

namespace {

// The list view of this system recognises no tap-and-hold of its own, so the window watches the
// stylus going down on it and asks for the context menu as the device's controls do.
WNDPROC g_list_procedure = nullptr;

LRESULT CALLBACK list_procedure(HWND list, UINT message, WPARAM wparam, LPARAM lparam) {
    const LRESULT result = CallWindowProcW(g_list_procedure, list, message, wparam, lparam);
    if (message == WM_LBUTTONDOWN &&
        recognise_hold(list, POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)})) {
        POINT screen{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        ClientToScreen(list, &screen);
        SendMessageW(list, WM_CONTEXTMENU, static_cast<WPARAM>(list.value()),
                     MAKELPARAM(screen.x, screen.y));
    }
    return result;
}

struct NumberKind {
    ContactField field;
    UINT mark;
};

// The number a contact is called on first, as the list shows it.
constexpr NumberKind main_number_order[] = {
    {ContactField::mobile_telephone, IDS_MARK_MOBILE},
    {ContactField::business_telephone, IDS_MARK_WORK},
    {ContactField::home_telephone, IDS_MARK_HOME},
};

const NumberKind* main_number_of(const ContactRecord& contact) {
    for (const NumberKind& kind : main_number_order) {
        if (!contact[kind.field].empty()) {
            return &kind;
        }
    }
    return nullptr;
}

std::u16string number_column(const ContactRecord& contact) {
    const NumberKind* kind = main_number_of(contact);
    return kind ? contact[kind->field] + u" " + resource_text(kind->mark) : std::u16string();
}

void insert_column(HWND list, int index, int width, UINT title) {
    std::u16string text = resource_text(title);
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = text.data();
    column.iSubItem = index;
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&column));
}

void insert_row(HWND list, int row, std::u16string name, std::u16string number) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = row;
    item.pszText = name.data();
    item.lParam = row;
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    LVITEMW cell{};
    cell.iSubItem = 1;
    cell.pszText = number.data();
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
}

void select_row(HWND list, int row) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&state));
    SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

void enable(HMENU menu, UINT id, bool enabled) {
    EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

} // namespace

int ContactListWindow::run(HINSTANCE instance) {
    const std::u16string class_name = resource_text(IDS_CLASS);
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = instance;
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    window_class.lpszClassName = class_name.c_str();
    if (!RegisterClassW(&window_class)) {
        return 1;
    }
    ContactListWindow contacts;
    const HWND window = CreateWindowExW(0, class_name.c_str(), resource_text(IDS_TITLE).c_str(), 0,
                                        0, 0, 1, 1, nullptr, nullptr, instance, &contacts);
    if (!window) {
        UnregisterClassW(class_name.c_str(), instance);
        return 1;
    }
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    UnregisterClassW(class_name.c_str(), instance);
    return static_cast<int>(message.wParam);
}

LRESULT CALLBACK ContactListWindow::procedure(HWND window, UINT message, WPARAM wparam,
                                              LPARAM lparam) {
    if (message == WM_CREATE) {
        auto* contacts = static_cast<ContactListWindow*>(
            reinterpret_cast<const CREATESTRUCTW*>(lparam)->lpCreateParams);
        SetWindowLongPtrW(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(contacts));
        contacts->create(window);
        return 0;
    }
    auto* contacts = reinterpret_cast<ContactListWindow*>(GetWindowLongPtrW(window, GWL_USERDATA));
    return contacts ? contacts->handle(message, wparam, lparam)
                    : DefWindowProcW(window, message, wparam, lparam);
}

LRESULT ContactListWindow::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_SIZE: {
        // The size the message carries may be that of the creation, sent after the window was
        // already fitted to the screen; the client area is what the list must fill.
        RECT client{};
        GetClientRect(m_window, &client);
        MoveWindow(m_list, 0, 0, client.right, client.bottom, TRUE);
        return 0;
    }
    case WM_SETTINGCHANGE:
        if (wparam == SPI_SETSIPINFO) {
            fit_to_screen();
        }
        return 0;
    case WM_ACTIVATE:
        // Others may have changed the store while another window was in front.
        if (LOWORD(wparam) != WA_INACTIVE) {
            fill(0);
            SetFocus(m_list);
        }
        return 0;
    case WM_CONTEXTMENU:
        if (selected_contact()) {
            show_menu(POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)},
                      TPM_LEFTALIGN | TPM_TOPALIGN);
        }
        return 0;
    case WM_COMMAND:
        command(LOWORD(wparam));
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(m_window, message, wparam, lparam);
}

void ContactListWindow::create(HWND window) {
    m_window = window;
    m_list = CreateWindowExW(
        0, WC_LISTVIEW, u"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 0, 0,
        1, 1, window, HMENU(IDC_LIST), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_NOHSCROLL);
    fit_to_screen();
    // The name takes three fifths of the width, the number the rest.
    RECT client{};
    GetClientRect(window, &client);
    MoveWindow(m_list, 0, 0, client.right, client.bottom, FALSE);
    insert_column(m_list, 0, client.right * 3 / 5, IDS_COLUMN_NAME);
    insert_column(m_list, 1, client.right - client.right * 3 / 5, IDS_COLUMN_NUMBER);
    g_list_procedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(m_list, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&list_procedure)));

    m_menu_bar = create_soft_keys(window, IDM_LIST_BAR);

    StoreResult result;
    m_store = ContactStore::open(ContactStore::default_path(), result);
    if (!m_store) {
        show_store_failure(window, result);
    } else {
        // Faults set on the device (handsetctl fault) reach this program as they reach others.
        m_store->honour_faults();
    }
}

void ContactListWindow::fit_to_screen() {
    SIPINFO sip{};
    sip.cbSize = sizeof(sip);
    SipGetInfo(&sip);
    const RECT& area = sip.rcVisibleDesktop;
    MoveWindow(m_window, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
}

void ContactListWindow::fill(int64_t select_id) {
    const ContactRecord* before = selected_contact();
    const int64_t wanted = select_id != 0 ? select_id : before ? before->id : 0;
    const int row_before = selected_row();
    std::vector<ContactRecord> contacts;
    if (m_store) {
        const StoreResult result = m_store->list(contacts);
        if (!result.ok()) {
            NKDbgPrintfW(u"Contacts: %s", utf8_to_utf16(result.detail).c_str());
            return;
        }
    }
    m_contacts = std::move(contacts);
    SendMessageW(m_list, LVM_DELETEALLITEMS, 0, 0);
    int select = -1;
    for (size_t at = 0; at < m_contacts.size(); ++at) {
        const int row = static_cast<int>(at);
        insert_row(m_list, row, m_contacts[at].file_as(), number_column(m_contacts[at]));
        if (m_contacts[at].id == wanted) {
            select = row;
        }
    }
    // A contact gone from under the selection leaves it on its neighbour.
    if (select < 0 && !m_contacts.empty()) {
        select = std::min(std::max(row_before, 0), static_cast<int>(m_contacts.size()) - 1);
    }
    if (select >= 0) {
        select_row(m_list, select);
    }
}

int ContactListWindow::selected_row() const {
    return static_cast<int>(
        SendMessageW(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

const ContactRecord* ContactListWindow::selected_contact() const {
    const int row = selected_row();
    return row >= 0 && row < static_cast<int>(m_contacts.size()) ? &m_contacts[row] : nullptr;
}

void ContactListWindow::command(UINT id) {
    switch (id) {
    case ID_NEW:
        new_contact();
        return;
    case ID_MENU: {
        RECT bar{};
        GetWindowRect(m_menu_bar, &bar);
        show_menu(POINT{bar.right, bar.top}, TPM_RIGHTALIGN | TPM_BOTTOMALIGN);
        return;
    }
    case ID_EDIT:
        edit_selected();
        return;
    case ID_DELETE:
        delete_selected();
        return;
    case ID_CALL:
        call_selected();
        return;
    }
}

// The menu and the extensions are made anew for each showing: an extension adds its items on
// every QueryContextMenu and never takes them away.
void ContactListWindow::show_menu(POINT at, UINT alignment) {
    const HMENU loaded =
        LoadMenuW(LanguageModule::current(), MAKEINTRESOURCEW(IDM_CONTACT_CONTEXT));
    const HMENU menu = GetSubMenu(loaded, 0);
    const ContactRecord* contact = selected_contact();
    enable(menu, ID_CALL, contact && main_number_of(*contact));
    enable(menu, ID_EDIT, contact != nullptr);
    enable(menu, ID_DELETE, contact != nullptr);
    std::vector<CEOID> selection;
    if (contact) {
        selection.push_back(static_cast<CEOID>(contact->id));
    }
    UINT picked = 0;
    {
        ExtensionMenu extensions(menu);
        SelectionDataObject* site = SelectionDataObject::create(std::move(selection));
        extensions.add_items(registered_menu_extensions(), site->site());
        // The extensions that took the site hold it from here on.
        site->release();
        picked = static_cast<UINT>(
            TrackPopupMenuEx(menu, TPM_RETURNCMD | alignment, at.x, at.y, m_window, nullptr));
        if (extensions.invoke(picked, m_window)) {
            picked = 0;
        }
    }
    DestroyMenu(loaded);
    if (picked != 0) {
        command(picked);
    }
}

void ContactListWindow::new_contact() {
    if (!m_store) {
        return;
    }
    ContactRecord contact;
    if (ContactEditor::run(m_window, *m_store, contact)) {
        fill(contact.id);
    }
}

void ContactListWindow::edit_selected() {
    const ContactRecord* selected = selected_contact();
    if (!selected || !m_store) {
        return;
    }
    ContactRecord contact = *selected;
    if (ContactEditor::run(m_window, *m_store, contact)) {
        fill(contact.id);
    }
}

void ContactListWindow::delete_selected() {
    const ContactRecord* selected = selected_contact();
    if (!selected || !m_store) {
        return;
    }
    const StoreResult result = m_store->remove(selected->id);
    if (!result.ok()) {
        show_store_failure(m_window, result);
    }
    fill(0);
}

void ContactListWindow::call_selected() {
    const ContactRecord* selected = selected_contact();
    const NumberKind* kind = selected ? main_number_of(*selected) : nullptr;
    if (kind) {
        tapiRequestMakeCall((*selected)[kind->field].c_str(), nullptr, selected->file_as().c_str(),
                            nullptr);
    }
}

} // namespace handset
