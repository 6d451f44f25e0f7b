#include "poom/poom_contact.h"

#include "base/debug_output.h"
#include "poom/contact_store.h"
#include "poom/poom_status.h"
#include "poom/text_argument.h"

#include <algorithm>

namespace handset {

namespace {

using ContactEntries = UnknownEntries<IContact, PoomContact>;
using ItemEntries = UnknownEntries<IItem, PoomContact>;

// Validated before anything changes, so SetProps applies all of its values or none.
HRESULT read_property_value(const CEPROPVAL& value, std::u16string& text) {
    if (value.propid != PIMPR_NICKNAME) {
        return E_INVALIDARG;
    }
    if ((value.wFlags & CEDB_PROPDELETE) != 0) {
        text.clear();
        return S_OK;
    }
    if (value.val.lpwstr == nullptr || !read_text_argument(value.val.lpwstr, text)) {
        return E_INVALIDARG;
    }
    return S_OK;
}

} // namespace

const IContactVtbl PoomContact::contact_table = {
    ContactEntries::query_interface,
    ContactEntries::add_ref,
    ContactEntries::release,
    get_entry<ContactField::email1>,
    get_entry<ContactField::mobile_telephone>,
    get_entry<ContactField::business_telephone>,
    get_entry<ContactField::home_telephone>,
    get_entry<ContactField::first_name>,
    get_entry<ContactField::middle_name>,
    get_entry<ContactField::last_name>,
    put_entry<ContactField::email1>,
    put_entry<ContactField::mobile_telephone>,
    put_entry<ContactField::business_telephone>,
    put_entry<ContactField::home_telephone>,
    put_entry<ContactField::first_name>,
    put_entry<ContactField::middle_name>,
    put_entry<ContactField::last_name>,
    save_entry,
};

const IItemVtbl PoomContact::item_table = {
    ItemEntries::query_interface,
    ItemEntries::add_ref,
    ItemEntries::release,
    set_props_entry,
};

IContact* PoomContact::make(std::shared_ptr<ContactStore> store, ContactRecord record) {
    auto* contact = new PoomContact(std::move(store), std::move(record));
    return &contact->m_contact.iface;
}

PoomContact::PoomContact(std::shared_ptr<ContactStore> store, ContactRecord record)
    : m_contact{{&contact_table}, this}, m_item{{&item_table}, this}, m_store(std::move(store)),
      m_record(std::move(record)) {}

void* PoomContact::find_interface(REFIID iid) {
    if (IsEqualIID(iid, IID_IUnknown)) {
        return &m_contact.iface;
    }
    if (IsEqualIID(iid, IID_IItem)) {
        return &m_item.iface;
    }
    return nullptr;
}

HRESULT PoomContact::get_text(ContactField field, BSTR* out) {
    if (out == nullptr) {
        return E_INVALIDARG;
    }
    std::lock_guard lock(m_mutex);
    const std::u16string& text = m_record[field];
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT PoomContact::put_text(ContactField field, const WCHAR* text) {
    std::u16string value;
    if (!read_text_argument(text, value)) {
        return E_INVALIDARG;
    }
    std::lock_guard lock(m_mutex);
    m_record[field] = std::move(value);
    return S_OK;
}

// As on the device, a contact may be no more than a number, but not nothing at all.
HRESULT PoomContact::save() {
    std::lock_guard lock(m_mutex);
    const auto& fields = m_record.fields;
    if (std::all_of(fields.begin(), fields.end(),
                    [](const auto& field) { return field.empty(); })) {
        debug_line("contacts store: a contact needs at least one field to be saved");
        return E_INVALIDARG;
    }
    const StoreResult result =
        m_record.id == 0 ? m_store->add(m_record) : m_store->update(m_record);
    return hresult_of(result);
}

HRESULT PoomContact::set_props(ULONG flags, WORD count, const CEPROPVAL* values) {
    if (flags != 0 || (count > 0 && values == nullptr)) {
        return E_INVALIDARG;
    }
    std::vector<std::u16string> nicknames(count);
    for (WORD i = 0; i < count; ++i) {
        const HRESULT status = read_property_value(values[i], nicknames[i]);
        if (FAILED(status)) {
            return status;
        }
    }
    std::lock_guard lock(m_mutex);
    for (std::u16string& nickname : nicknames) {
        m_record[ContactField::nickname] = std::move(nickname);
    }
    return S_OK;
}

template <ContactField field>
HRESULT STDMETHODCALLTYPE PoomContact::get_entry(IContact* self, BSTR* out) {
    return ContactEntries::Binding::object_of(self)->get_text(field, out);
}

template <ContactField field>
HRESULT STDMETHODCALLTYPE PoomContact::put_entry(IContact* self, BSTR text) {
    return ContactEntries::Binding::object_of(self)->put_text(field, text);
}

HRESULT STDMETHODCALLTYPE PoomContact::save_entry(IContact* self) {
    return ContactEntries::Binding::object_of(self)->save();
}

HRESULT STDMETHODCALLTYPE PoomContact::set_props_entry(IItem* self, ULONG flags, WORD count,
                                                       CEPROPVAL* values) {
    return ItemEntries::Binding::object_of(self)->set_props(flags, count, values);
}

} // namespace handset
