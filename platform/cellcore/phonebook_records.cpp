#include "cellcore/phonebook_records.h"

#include "cellcore/record_fields.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace handset {

namespace {

bool has(DWORD params, DWORD bits) {
    return (params & bits) == bits;
}

DWORD address_type_of(const DiallingNumber& number) {
    const DWORD type = (number.type() >> 4) & 0x7;
    return type <= 6 ? type : SIM_ADDRTYPE_UNKNOWN;
}

DWORD numbering_plan_of(const DiallingNumber& number) {
    return (number.type() & 0x0F) == 1 ? SIM_NUMPLAN_TELEPHONE : SIM_NUMPLAN_UNKNOWN;
}

template <typename Record>
Expected<DiallingNumber, HRESULT> number_of(const Record& record, bool present) {
    if (!present) {
        return DiallingNumber();
    }
    const bool international = record.dwAddressType == SIM_ADDRTYPE_INTERNATIONAL;
    Expected<DiallingNumber, NumberError> number =
        DiallingNumber::parse(field_text(record.lpszAddress), international);
    if (!number) {
        return unexpected(SIM_E_BADPARAM);
    }
    return *number;
}

template <typename Record>
Expected<PhonebookEntry, HRESULT> base_entry(const Record& record) {
    Expected<DiallingNumber, HRESULT> number =
        number_of(record, has(record.dwParams, SIM_PARAM_PBE_ADDRESS));
    if (!number) {
        return unexpected(number.error());
    }
    PhonebookEntry entry;
    entry.number = *number;
    if (has(record.dwParams, SIM_PARAM_PBE_TEXT)) {
        entry.name = field_text(record.lpszText);
    }
    return entry;
}

// Program code fills an absent additional number with a single space; the card keeps no space,
// so blank means absent.
bool blank(std::u16string_view text) {
    return text.find_first_not_of(u' ') == std::u16string_view::npos;
}

// The one additional number of an extended entry, or nothing; more than one is more than the
// card keeps.
Expected<std::optional<DiallingNumber>, HRESULT>
additional_number_of(const SIMPHONEBOOKENTRYEX& record) {
    std::optional<DiallingNumber> found;
    if (!has(record.dwParams,
             SIM_PARAM_PBEEX_ADDITIONALNUMBERCOUNT | SIM_PARAM_PBEEX_ADDITIONALNUMBERS) ||
        record.lpAdditionalNumbers == nullptr) {
        return found;
    }
    for (DWORD i = 0; i < record.dwAdditionalNumberCount; ++i) {
        const SIMPHONEBOOKADDITIONALNUMBER& sub = record.lpAdditionalNumbers[i];
        if (blank(field_text(sub.lpszAddress))) {
            continue;
        }
        Expected<DiallingNumber, HRESULT> number = number_of(sub, true);
        if (!number || found) {
            return unexpected(SIM_E_BADPARAM);
        }
        found = *number;
    }
    return found;
}

Expected<std::optional<std::u16string>, HRESULT> email_of(const SIMPHONEBOOKENTRYEX& record) {
    std::optional<std::u16string> found;
    if (!has(record.dwParams, SIM_PARAM_PBEEX_EMAILCOUNT | SIM_PARAM_PBEEX_EMAILS) ||
        record.lpEmailAddresses == nullptr) {
        return found;
    }
    for (DWORD i = 0; i < record.dwEmailCount; ++i) {
        std::u16string address = field_text(record.lpEmailAddresses[i].lpszAddress);
        if (address.empty()) {
            continue;
        }
        if (found) {
            return unexpected(SIM_E_BADPARAM);
        }
        found = std::move(address);
    }
    return found;
}

template <typename Record>
void fill_base(const PhonebookEntry& entry, Record& record) {
    record.cbSize = sizeof(Record);
    set_field(record.lpszAddress, entry.number.digits());
    record.dwAddressType = address_type_of(entry.number);
    record.dwNumPlan = numbering_plan_of(entry.number);
    set_field(record.lpszText, entry.name);
}

} // namespace

Expected<PhonebookEntry, HRESULT> entry_from_record(const SIMPHONEBOOKENTRY& record) {
    return base_entry(record);
}

Expected<PhonebookEntry, HRESULT> entry_from_record(const SIMPHONEBOOKENTRYEX& record) {
    Expected<PhonebookEntry, HRESULT> entry = base_entry(record);
    if (!entry) {
        return entry;
    }
    auto additional_number = additional_number_of(record);
    auto email = email_of(record);
    if (!additional_number || !email) {
        return unexpected(SIM_E_BADPARAM);
    }
    PhonebookEntry result = *entry;
    result.additional_number = *additional_number;
    result.email = *email;
    return result;
}

void fill_record(const PhonebookEntry& entry, SIMPHONEBOOKENTRY& record) {
    std::memset(&record, 0, sizeof record);
    fill_base(entry, record);
    record.dwParams = SIM_PARAM_PBE_ALL;
}

size_t extended_size(const PhonebookEntry& entry) {
    return sizeof(SIMPHONEBOOKENTRYEX) +
           (entry.additional_number ? sizeof(SIMPHONEBOOKADDITIONALNUMBER) : 0) +
           (entry.email ? sizeof(SIMPHONEBOOKEMAILADDRESS) : 0);
}

uint8_t* fill_extended_record(const PhonebookEntry& entry, DWORD index, SIMPHONEBOOKENTRYEX& head,
                              uint8_t* room) {
    std::memset(&head, 0, sizeof head);
    fill_base(entry, head);
    head.dwParams = SIM_PARAM_PBEEX_ADDRESS | SIM_PARAM_PBEEX_ADDRESS_TYPE |
                    SIM_PARAM_PBEEX_NUMPLAN | SIM_PARAM_PBEEX_TEXT | SIM_PARAM_PBEEX_INDEX;
    head.dwIndex = index;
    if (entry.additional_number) {
        auto* sub = new (room) SIMPHONEBOOKADDITIONALNUMBER{};
        sub->cbSize = sizeof *sub;
        sub->dwParams = SIM_PARAM_PBADDITIONALNUMBER_ALL;
        set_field(sub->lpszAddress, entry.additional_number->digits());
        sub->dwAddressType = address_type_of(*entry.additional_number);
        sub->dwNumPlan = numbering_plan_of(*entry.additional_number);
        head.dwAdditionalNumberCount = 1;
        head.lpAdditionalNumbers = sub;
        head.dwParams |= SIM_PARAM_PBEEX_ADDITIONALNUMBERCOUNT | SIM_PARAM_PBEEX_ADDITIONALNUMBERS;
        room += sizeof *sub;
    }
    if (entry.email) {
        auto* sub = new (room) SIMPHONEBOOKEMAILADDRESS{};
        sub->cbSize = sizeof *sub;
        sub->dwParams = SIM_PARAM_PBEMAIL_ALL;
        set_field(sub->lpszAddress, *entry.email);
        head.dwEmailCount = 1;
        head.lpEmailAddresses = sub;
        head.dwParams |= SIM_PARAM_PBEEX_EMAILCOUNT | SIM_PARAM_PBEEX_EMAILS;
        room += sizeof *sub;
    }
    return room;
}

} // namespace handset
