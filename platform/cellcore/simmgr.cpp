// The SIM manager's calls: arguments checked here, the card's answers from the handle's driver.

#include <simmgr.h>

#include "base/handle_table.h"
#include "cellcore/card_backend.h"
#include "cellcore/notification_hub.h"
#include "cellcore/phonebook_records.h"
#include "cellcore/sim_session.h"

#include <cstring>
#include <vector>

using handset::CardBackend;
using handset::CardProfile;
using handset::EntryFields;
using handset::PhonebookEntry;
using handset::SimSession;

namespace {

handset::HandleTable<std::shared_ptr<SimSession>>& sessions() {
    static handset::HandleTable<std::shared_ptr<SimSession>> table;
    return table;
}

std::shared_ptr<SimSession> session_of(HSIM handle) {
    return sessions().find(handle.value()).value_or(nullptr);
}

// Runs operation on the handle's driver; E_INVALIDARG for a handle that is not open.
template <typename Operation>
HRESULT on_card(HSIM handle, Operation operation) {
    std::shared_ptr<SimSession> session = session_of(handle);
    if (!session) {
        return E_INVALIDARG;
    }
    return session->with_backend(operation);
}

// The emulated card has the SIM phonebook only.
bool known_storage(DWORD location) {
    return location == SIM_PBSTORAGE_SIM;
}

// After a change made here, this process's notified handles hear of it at once.
HRESULT announced(HRESULT result) {
    if (result == S_OK) {
        handset::NotificationHub::instance().wake();
    }
    return result;
}

void fill_device_caps(DWORD type, const CardProfile& profile, SIMCAPS& caps) {
    std::memset(&caps, 0, sizeof caps);
    caps.cbSize = sizeof caps;
    if (type & SIM_CAPSTYPE_PBENTRYLENGTH) {
        caps.dwMaxPBEAddressLength = static_cast<DWORD>(profile.number_digits);
        caps.dwMaxPBETextLength = static_cast<DWORD>(profile.name_bytes);
        caps.dwParams |= SIM_PARAM_CAPS_PBEMAXADDRESSLENGTH | SIM_PARAM_CAPS_PBEMAXTEXTLENGTH;
    }
    if (type & SIM_CAPSTYPE_PBSTORELOCATIONS) {
        caps.dwPBStorages = profile.storages;
        caps.dwParams |= SIM_PARAM_CAPS_PBSTORAGES;
    }
    if (type & SIM_CAPSTYPE_LOCKFACILITIES) {
        caps.dwLockFacilities = profile.lock_facilities;
        caps.dwParams |= SIM_PARAM_CAPS_LOCKFACILITIES;
    }
    if (type & SIM_CAPSTYPE_PBINDEXRANGE) {
        caps.dwMinPBIndex = 1;
        caps.dwMaxPBIndex = static_cast<DWORD>(profile.slots);
        caps.dwParams |= SIM_PARAM_CAPS_PBEMININDEX | SIM_PARAM_CAPS_PBEMAXINDEX;
    }
    if (type & SIM_CAPSTYPE_LOCKINGPWDLENGTHS) {
        // The PIN guards the card, PIN2 its fixed dialling list.
        caps.dwNumLockingPwdLengths = 2;
        caps.rgLockingPwdLengths[0] = {SIM_LOCKFACILITY_SIM, 8};
        caps.rgLockingPwdLengths[1] = {SIM_LOCKFACILITY_SIM_PIN2, 8};
        caps.dwParams |= SIM_PARAM_CAPS_LOCKINGPWDLENGTH;
    }
    if (type & SIM_CAPSTYPE_MSGMEMORYLOCATIONS) {
        // No message storage on this card.
        caps.dwParams |= SIM_PARAM_CAPS_READMSGSTORAGES | SIM_PARAM_CAPS_WRITEMSGSTORAGES;
    }
}

void fill_phonebook_caps(const CardProfile& profile, SIMPHONEBOOKCAPS& caps) {
    std::memset(&caps, 0, sizeof caps);
    caps.cbSize = sizeof caps;
    caps.dwParams = SIM_PARAM_PBCAPS_ALL;
    caps.dwStorages = profile.storages;
    caps.dwMinIndex = 1;
    caps.dwMaxIndex = static_cast<DWORD>(profile.slots);
    caps.dwMaxAddressLength = static_cast<DWORD>(profile.number_digits);
    caps.dwMaxTextLength = static_cast<DWORD>(profile.name_bytes);
    caps.dwMaxAdditionalNumberLength =
        static_cast<DWORD>(profile.extended.additional_number_digits);
    caps.dwMaxEmailAddressLength = static_cast<DWORD>(profile.extended.email_bytes);
    caps.dwAdditionalNumberCount = static_cast<DWORD>(profile.extended.additional_number_count);
    caps.dwEmailAddressCount = static_cast<DWORD>(profile.extended.email_count);
}

template <typename Record>
HRESULT write(CardBackend& card, DWORD index, const Record& record, EntryFields fields) {
    auto entry = handset::entry_from_record(record);
    if (!entry) {
        return entry.error();
    }
    return card.write_entry(index, *entry, fields);
}

struct ReadEntry {
    DWORD index;
    PhonebookEntry entry;
};

// The occupied slots among count slots from start on (fewer past the last slot).
HRESULT read_range(CardBackend& card, DWORD start, DWORD count, std::vector<ReadEntry>& found) {
    for (DWORD index = start; index - start < count; ++index) {
        PhonebookEntry entry;
        const HRESULT result = card.read_entry(index, entry);
        if (result == SIM_E_NOTFOUND) {
            continue;
        }
        if (result == SIM_E_INVALIDINDEX && index != start) {
            break;
        }
        if (result != S_OK) {
            return result;
        }
        found.push_back({index, std::move(entry)});
    }
    return found.empty() ? SIM_E_NOTFOUND : S_OK;
}

} // namespace

HRESULT WINAPI SimInitialize(DWORD dwFlags, SIMCALLBACK lpfnCallBack, DWORD dwParam,
                             LPHSIM lphSim) {
    const bool notified = (dwFlags & SIM_INIT_SIMCARD_NOTIFICATIONS) != 0;
    if (lphSim == nullptr || (notified && lpfnCallBack == nullptr)) {
        return E_INVALIDARG;
    }
    std::unique_ptr<CardBackend> backend = handset::make_card_backend();
    std::unique_ptr<handset::ChangeFeed> feed = notified ? backend->open_change_feed() : nullptr;
    const uint32_t handle =
        sessions().add(std::make_shared<SimSession>(std::move(backend), notified));
    if (handle == 0) {
        return E_OUTOFMEMORY;
    }
    if (notified) {
        handset::NotificationHub::instance().subscribe(handle, lpfnCallBack, dwParam,
                                                       std::move(feed));
    }
    *lphSim = HSIM(handle);
    return S_OK;
}

HRESULT WINAPI SimDeinitialize(HSIM hSim) {
    std::optional<std::shared_ptr<SimSession>> session = sessions().remove(hSim.value());
    if (!session) {
        return E_INVALIDARG;
    }
    if ((*session)->notified()) {
        handset::NotificationHub::instance().unsubscribe(hSim.value());
    }
    return S_OK;
}

HRESULT WINAPI SimGetDevCaps(HSIM hSim, DWORD dwCapsType, LPSIMCAPS lpSimCaps) {
    if (lpSimCaps == nullptr || dwCapsType == 0 || (dwCapsType & ~SIM_CAPSTYPE_ALL) != 0) {
        return E_INVALIDARG;
    }
    return on_card(hSim, [&](CardBackend& card) {
        CardProfile profile;
        const HRESULT result = card.capabilities(profile);
        if (result == S_OK) {
            fill_device_caps(dwCapsType, profile, *lpSimCaps);
        }
        return result;
    });
}

HRESULT WINAPI SimGetPhoneLockedState(HSIM hSim, LPDWORD lpdwLockedState) {
    if (lpdwLockedState == nullptr) {
        return E_INVALIDARG;
    }
    return on_card(hSim, [&](CardBackend& card) { return card.lock_state(*lpdwLockedState); });
}

HRESULT WINAPI SimGetLockingStatus(HSIM hSim, DWORD dwLockingFacility, LPWSTR, BOOL* pfEnabled) {
    if (pfEnabled == nullptr) {
        return E_INVALIDARG;
    }
    return on_card(hSim, [&](CardBackend& card) {
        bool enabled = false;
        const HRESULT result = card.locking_status(dwLockingFacility, enabled);
        if (result == S_OK) {
            *pfEnabled = enabled ? TRUE : FALSE;
        }
        return result;
    });
}

HRESULT WINAPI SimGetPhonebookStatus(HSIM hSim, DWORD dwLocation, LPDWORD lpdwUsed,
                                     LPDWORD lpdwTotal) {
    if (lpdwUsed == nullptr || lpdwTotal == nullptr || !known_storage(dwLocation)) {
        return E_INVALIDARG;
    }
    return on_card(hSim, [&](CardBackend& card) {
        DWORD used = 0;
        DWORD total = 0;
        const HRESULT result = card.phonebook_status(used, total);
        if (result == S_OK) {
            *lpdwUsed = used;
            *lpdwTotal = total;
        }
        return result;
    });
}

HRESULT WINAPI SimReadPhonebookEntry(HSIM hSim, DWORD dwLocation, DWORD dwIndex,
                                     LPSIMPHONEBOOKENTRY lpPhonebookEntry) {
    if (lpPhonebookEntry == nullptr || !known_storage(dwLocation)) {
        return E_INVALIDARG;
    }
    return on_card(hSim, [&](CardBackend& card) {
        PhonebookEntry entry;
        const HRESULT result = card.read_entry(dwIndex, entry);
        if (result == S_OK) {
            handset::fill_record(entry, *lpPhonebookEntry);
        }
        return result;
    });
}

HRESULT WINAPI SimWritePhonebookEntry(HSIM hSim, DWORD dwLocation, DWORD dwIndex,
                                      LPSIMPHONEBOOKENTRY lpPhonebookEntry) {
    if (lpPhonebookEntry == nullptr || !known_storage(dwLocation)) {
        return E_INVALIDARG;
    }
    return announced(on_card(hSim, [&](CardBackend& card) {
        return write(card, dwIndex, *lpPhonebookEntry, EntryFields::name_and_number);
    }));
}

HRESULT WINAPI SimDeletePhonebookEntry(HSIM hSim, DWORD dwLocation, DWORD dwIndex) {
    if (!known_storage(dwLocation)) {
        return E_INVALIDARG;
    }
    return announced(on_card(hSim, [&](CardBackend& card) { return card.delete_entry(dwIndex); }));
}

HRESULT WINAPI SimGetPhonebookCapabilities(HSIM hSim, LPSIMPHONEBOOKCAPS lpCapabilities) {
    if (lpCapabilities == nullptr) {
        return E_INVALIDARG;
    }
    return on_card(hSim, [&](CardBackend& card) {
        CardProfile profile;
        const HRESULT result = card.capabilities(profile);
        if (result == S_OK) {
            fill_phonebook_caps(profile, *lpCapabilities);
        }
        return result;
    });
}

HRESULT WINAPI SimReadPhonebookEntries(HSIM hSim, DWORD dwLocation, DWORD dwStartIndex,
                                       LPDWORD lpdwCount, LPSIMPHONEBOOKENTRYEX lpEntries,
                                       LPDWORD lpdwBufferSize) {
    if (lpdwCount == nullptr || *lpdwCount == 0 || lpEntries == nullptr ||
        lpdwBufferSize == nullptr || !known_storage(dwLocation)) {
        return E_INVALIDARG;
    }
    return on_card(hSim, [&](CardBackend& card) {
        std::vector<ReadEntry> found;
        const HRESULT result = read_range(card, dwStartIndex, *lpdwCount, found);
        if (result != S_OK) {
            return result;
        }
        size_t needed = 0;
        for (const ReadEntry& read : found) {
            needed += handset::extended_size(read.entry);
        }
        if (needed > *lpdwBufferSize) {
            *lpdwBufferSize = static_cast<DWORD>(needed);
            return SIM_E_BUFFERTOOSMALL;
        }
        // Heads first, one after the other; the sub-records behind the last one.
        auto* room = reinterpret_cast<uint8_t*>(lpEntries + found.size());
        for (size_t i = 0; i < found.size(); ++i) {
            room =
                handset::fill_extended_record(found[i].entry, found[i].index, lpEntries[i], room);
        }
        *lpdwCount = static_cast<DWORD>(found.size());
        *lpdwBufferSize = static_cast<DWORD>(needed);
        return S_OK;
    });
}

HRESULT WINAPI SimWritePhonebookEntryEx(HSIM hSim, DWORD dwLocation, DWORD dwIndex,
                                        LPSIMPHONEBOOKENTRYEX lpEntry) {
    if (lpEntry == nullptr || !known_storage(dwLocation)) {
        return E_INVALIDARG;
    }
    return announced(on_card(
        hSim, [&](CardBackend& card) { return write(card, dwIndex, *lpEntry, EntryFields::all); }));
}
