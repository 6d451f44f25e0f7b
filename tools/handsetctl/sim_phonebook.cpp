#include "sim_phonebook.h"

#include "arguments.h"
#include "text_output.h"

#include "cellcore/record_fields.h"

#include <algorithm>

namespace handsetctl {

namespace {

using handset::field_text;
using handset::set_field;

std::u16string number_of(const WCHAR* address, size_t size, DWORD type) {
    std::u16string digits(address, std::find(address, address + size, u'\0'));
    return (type == SIM_ADDRTYPE_INTERNATIONAL ? u"+" : u"") + digits;
}

template <typename Record>
std::u16string number_of(const Record& record) {
    return number_of(record.lpszAddress, MAX_LENGTH_ADDRESS, record.dwAddressType);
}

SimEntry entry_of(const SIMPHONEBOOKENTRYEX& record) {
    SimEntry entry{field_text(record.lpszText), number_of(record), u"", u""};
    if (record.dwAdditionalNumberCount > 0 && record.lpAdditionalNumbers) {
        entry.additional_number = number_of(record.lpAdditionalNumbers[0]);
    }
    if (record.dwEmailCount > 0 && record.lpEmailAddresses) {
        entry.email = field_text(record.lpEmailAddresses[0].lpszAddress);
    }
    return entry;
}

void check(HRESULT result, const std::string& what) {
    if (result != S_OK) {
        throw OperationError(what + ": " + describe_sim_result(result));
    }
}

} // namespace

SimPhonebook::SimPhonebook() {
    check(SimInitialize(SIM_INIT_NONE, nullptr, 0, &m_handle), "cannot open the SIM card");
    m_capabilities.cbSize = sizeof m_capabilities;
    const HRESULT result = SimGetPhonebookCapabilities(m_handle, &m_capabilities);
    if (result != S_OK) {
        SimDeinitialize(m_handle);
        check(result, "cannot read the SIM card's capabilities");
    }
}

SimPhonebook::~SimPhonebook() {
    SimDeinitialize(m_handle);
}

bool SimPhonebook::holds_additional_number() const {
    return m_capabilities.dwMaxAdditionalNumberLength > 0 &&
           m_capabilities.dwAdditionalNumberCount > 0;
}

bool SimPhonebook::holds_email() const {
    return m_capabilities.dwMaxEmailAddressLength > 0 && m_capabilities.dwEmailAddressCount > 0;
}

// The library says how many bytes the entries need when the buffer is too small; the buffer is
// then made that large, in whole records so that it is aligned as they are.
std::vector<SimEntry> SimPhonebook::entries() {
    const DWORD first = m_capabilities.dwMinIndex;
    const DWORD slots = m_capabilities.dwMaxIndex - first + 1;
    std::vector<SIMPHONEBOOKENTRYEX> buffer(slots);
    DWORD count = slots;
    DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(SIMPHONEBOOKENTRYEX));
    HRESULT result =
        SimReadPhonebookEntries(m_handle, SIM_PBSTORAGE_SIM, first, &count, buffer.data(), &bytes);
    if (result == SIM_E_BUFFERTOOSMALL) {
        buffer.resize(bytes / sizeof(SIMPHONEBOOKENTRYEX) + 1);
        count = slots;
        bytes = static_cast<DWORD>(buffer.size() * sizeof(SIMPHONEBOOKENTRYEX));
        result = SimReadPhonebookEntries(m_handle, SIM_PBSTORAGE_SIM, first, &count, buffer.data(),
                                         &bytes);
    }
    if (result == SIM_E_NOTFOUND) {
        return {};
    }
    check(result, "cannot read the SIM phonebook");
    std::vector<SimEntry> entries;
    for (DWORD i = 0; i < count; ++i) {
        entries.push_back(entry_of(buffer[i]));
    }
    return entries;
}

// A plain write where the entry has no extended fields, so that a card without the extended
// phonebook is written as any program would write it.
HRESULT SimPhonebook::add(const SimEntry& entry) {
    if (entry.additional_number.empty() && entry.email.empty()) {
        SIMPHONEBOOKENTRY record{};
        record.cbSize = sizeof record;
        record.dwParams = SIM_PARAM_PBE_ALL;
        set_field(record.lpszAddress, entry.number);
        set_field(record.lpszText, entry.name);
        return SimWritePhonebookEntry(m_handle, SIM_PBSTORAGE_SIM, SIM_PBINDEX_FIRSTAVAILABLE,
                                      &record);
    }
    SIMPHONEBOOKADDITIONALNUMBER additional{};
    additional.cbSize = sizeof additional;
    additional.dwParams = SIM_PARAM_PBADDITIONALNUMBER_ALL;
    set_field(additional.lpszAddress, entry.additional_number);
    SIMPHONEBOOKEMAILADDRESS email{};
    email.cbSize = sizeof email;
    email.dwParams = SIM_PARAM_PBEMAIL_ALL;
    set_field(email.lpszAddress, entry.email);
    SIMPHONEBOOKENTRYEX record{};
    record.cbSize = sizeof record;
    record.dwParams = SIM_PARAM_PBEEX_ADDRESS | SIM_PARAM_PBEEX_ADDRESS_TYPE |
                      SIM_PARAM_PBEEX_NUMPLAN | SIM_PARAM_PBEEX_TEXT;
    set_field(record.lpszAddress, entry.number);
    set_field(record.lpszText, entry.name);
    if (!entry.additional_number.empty()) {
        record.dwParams |=
            SIM_PARAM_PBEEX_ADDITIONALNUMBERCOUNT | SIM_PARAM_PBEEX_ADDITIONALNUMBERS;
        record.dwAdditionalNumberCount = 1;
        record.lpAdditionalNumbers = &additional;
    }
    if (!entry.email.empty()) {
        record.dwParams |= SIM_PARAM_PBEEX_EMAILCOUNT | SIM_PARAM_PBEEX_EMAILS;
        record.dwEmailCount = 1;
        record.lpEmailAddresses = &email;
    }
    return SimWritePhonebookEntryEx(m_handle, SIM_PBSTORAGE_SIM, SIM_PBINDEX_FIRSTAVAILABLE,
                                    &record);
}

std::string describe_sim_result(HRESULT result) {
    switch (result) {
    case SIM_E_NOSIM:
    case SIM_E_SIMNOTINSERTED:
        return "there is no SIM card";
    case SIM_E_SIMPINREQUIRED:
        return "the card is locked: it needs its PIN";
    case SIM_E_SIMPUKREQUIRED:
        return "the card is locked: it needs its PUK";
    case SIM_E_SIMWRONG:
        return "the card is not usable";
    case SIM_E_NOTREADY:
        return "the card's phonebook is not ready";
    case SIM_E_RADIOOFF:
        return "the radio is off";
    case SIM_E_SIMBUSY:
        return "the card is busy";
    case SIM_E_MEMORYFULL:
        return "the card is full";
    case SIM_E_MEMORYFAILURE:
        return "the card cannot be read or written";
    case SIM_E_BADPARAM:
        return "the card cannot hold it";
    }
    return "the card answered " + hex_dword(static_cast<DWORD>(result));
}

} // namespace handsetctl
