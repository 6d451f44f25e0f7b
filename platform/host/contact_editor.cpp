#include "host/contact_editor.h"

#include "host/contacts_ids.h"
#include "host/language_module.h"
#include "host/resource_text.h"
#include "host/soft_keys.h"
#include "host/store_failure.h"

#include <aygshell.h>
#include <commctrl.h>
#include <winuser.h>

namespace handset {

namespace {

struct FieldControl {
    int control;
    ContactField field;
};

constexpr FieldControl field_controls[] = {
    {IDC_FIRST_NAME, ContactField::first_name},   {IDC_LAST_NAME, ContactField::last_name},
    {IDC_MOBILE, ContactField::mobile_telephone}, {IDC_HOME, ContactField::home_telephone},
    {IDC_WORK, ContactField::business_telephone}, {IDC_EMAIL, ContactField::email1},
};

// The store keeps texts of up to this many characters, as the device's contacts do.
constexpr int field_limit = 1023;

std::u16string control_text(HWND dialog, int control) {
    const HWND field = GetDlgItem(dialog, control);
    std::u16string text(static_cast<size_t>(GetWindowTextLengthW(field)) + 1, u'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(field, text.data(), static_cast<int>(text.size()))));
    return text;
}

void make_full_screen(HWND dialog) {
    SHINITDLGINFO info{};
    info.dwMask = SHIDIM_FLAGS;
    info.hDlg = dialog;
    info.dwFlags = SHIDIF_SIZEDLG;
    SHInitDialog(&info);
    create_soft_keys(dialog, IDM_EDITOR_BAR);
}

} // namespace

bool ContactEditor::run(HWND owner, ContactStore& store, ContactRecord& contact) {
    ContactEditor editor(store, contact);
    return DialogBoxParamW(LanguageModule::current(), MAKEINTRESOURCEW(IDD_EDITOR), owner,
                           procedure, reinterpret_cast<LPARAM>(&editor)) == IDOK;
}

INT_PTR CALLBACK ContactEditor::procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWL_USER, lparam);
        reinterpret_cast<ContactEditor*>(lparam)->initialise(dialog);
        return FALSE;
    }
    auto* editor = reinterpret_cast<ContactEditor*>(GetWindowLongPtrW(dialog, DWL_USER));
    if (editor == nullptr || message != WM_COMMAND) {
        return FALSE;
    }
    switch (LOWORD(wparam)) {
    case ID_DONE:
    case IDOK:
        editor->done(dialog);
        return TRUE;
    case ID_CANCEL:
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

void ContactEditor::initialise(HWND dialog) {
    make_full_screen(dialog);
    SetWindowTextW(dialog,
                   resource_text(m_contact.id == 0 ? IDS_NEW_CONTACT : IDS_EDIT_CONTACT).c_str());
    for (const FieldControl& row : field_controls) {
        SendDlgItemMessageW(dialog, row.control, EM_LIMITTEXT, field_limit, 0);
        SetDlgItemTextW(dialog, row.control, m_contact[row.field].c_str());
    }
    SetFocus(GetDlgItem(dialog, IDC_FIRST_NAME));
}

// The store files a contact under its name, so one without any is refused before it is tried.
void ContactEditor::done(HWND dialog) {
    ContactRecord typed = m_contact;
    for (const FieldControl& row : field_controls) {
        typed[row.field] = control_text(dialog, row.control);
    }
    if (typed[ContactField::first_name].empty() && typed[ContactField::last_name].empty()) {
        MessageBoxW(dialog, resource_text(IDS_NEED_NAME).c_str(), resource_text(IDS_TITLE).c_str(),
                    MB_OK | MB_ICONWARNING);
        return;
    }
    const StoreResult result = typed.id == 0 ? m_store.add(typed) : m_store.update(typed);
    if (!result.ok()) {
        show_store_failure(dialog, result);
        return;
    }
    m_contact = typed;
    EndDialog(dialog, IDOK);
}

} // namespace handset
