#include "cellcore/emulated_card.h"

#include "base/debug_output.h"
#include "cellcore/emulated_change_feed.h"
#include "cellcore/pin_code.h"

#include <simmgr.h>
#include <tapi.h>

#include <climits>
#include <ctime>

namespace handset {

namespace {

// The slot an API index names, or -1 (which the card refuses as a bad slot) for index 0 and
// values beyond any slot, such as SIM_PBINDEX_FIRSTAVAILABLE on a read.
int slot_of(DWORD index) {
    return index == 0 || index > INT_MAX ? -1 : static_cast<int>(index);
}

} // namespace

EmulatedCard::EmulatedCard(std::filesystem::path file) : m_file(std::move(file)) {}

// Which calls each card state refuses. The first row that applies decides:
//
//   state                lock state         capabilities,        phonebook: status, read,
//                                           locking status       write, delete
//   radio off            SIM_E_RADIOOFF     SIM_E_RADIOOFF       SIM_E_RADIOOFF
//   no card              SIM_E_SIMNOTINSERTED (every call)
//   card unusable        SIM_E_SIMWRONG     (every call)
//   PUK locked           3 (SIM_PUK)        SIM_E_SIMPUKREQUIRED SIM_E_SIMPUKREQUIRED
//   PIN locked           2 (SIM_PIN)        SIM_E_SIMPINREQUIRED SIM_E_SIMPINREQUIRED
//   phonebook not ready  1 (READY)          answered             SIM_E_NOTREADY
//   ready                1 (READY)          answered             answered
//
// A fault set on the device (handsetctl fault) answers before all of these, as a card that fails
// does whatever its state.
//
// The lock state stays readable while the card waits for its PIN or PUK, as a phone must show
// why it is locked. Fixed dialling refuses nothing here: it restricts what may be dialled, and
// SimGetLockingStatus reports it.
HRESULT EmulatedCard::refusal(const CardState& state, Access access) {
    if (!state.radio_on) {
        return SIM_E_RADIOOFF;
    }
    if (!state.present) {
        return SIM_E_SIMNOTINSERTED;
    }
    if (state.invalid) {
        return SIM_E_SIMWRONG;
    }
    if (access == Access::lock_state) {
        return S_OK;
    }
    switch (state.lock) {
    case PinLock::puk:
        return SIM_E_SIMPUKREQUIRED;
    case PinLock::pin:
        return SIM_E_SIMPINREQUIRED;
    case PinLock::none:
        break;
    }
    if (access == Access::phonebook && !state.phonebook_ready) {
        return SIM_E_NOTREADY;
    }
    return S_OK;
}

CardFile& EmulatedCard::card() {
    if (!m_card) {
        m_card.emplace(CardFile::open(m_file));
    }
    return *m_card;
}

template <typename Operation>
HRESULT EmulatedCard::with_card(Access access, FaultPoint point, int slot, Operation operation) {
    try {
        CardFile& file = card();
        const auto [profile, state] = file.snapshot();
        if (const std::optional<Fault> fault = file.count_fault(point, slot)) {
            m_complaint.clear();
            return static_cast<HRESULT>(fault->error);
        }
        HRESULT result = refusal(state, access);
        if (result == S_OK) {
            result = operation(file, profile, state);
        }
        m_complaint.clear();
        return result;
    } catch (const CardError& error) {
        return failure(error);
    }
}

// A file that cannot be used is reported once until it works again; a refused entry each time.
HRESULT EmulatedCard::failure(const CardError& error) {
    switch (error.fault()) {
    case CardFault::missing:
        m_card.reset();
        complain(std::string("cellcore: no SIM card: ") + error.what());
        return SIM_E_SIMNOTINSERTED;
    case CardFault::damaged:
        m_card.reset();
        complain(std::string("cellcore: the SIM card cannot be read: ") + error.what());
        return SIM_E_MEMORYFAILURE;
    case CardFault::busy:
        complain(std::string("cellcore: ") + error.what());
        return SIM_E_SIMBUSY;
    case CardFault::read_only:
        debug_printf("cellcore: entry refused: %s", error.what());
        return SIM_E_MEMORYFAILURE;
    case CardFault::bad_slot:
        return SIM_E_INVALIDINDEX;
    case CardFault::card_full:
        debug_printf("cellcore: entry refused: %s", error.what());
        return SIM_E_MEMORYFULL;
    case CardFault::name_too_long:
    case CardFault::bad_character:
    case CardFault::number_too_long:
    case CardFault::bad_number:
    case CardFault::empty_entry:
    case CardFault::field_not_held:
    case CardFault::bad_profile:
    case CardFault::bad_import:
    case CardFault::bad_record:
        debug_printf("cellcore: entry refused: %s", error.what());
        return SIM_E_BADPARAM;
    }
    return SIM_E_UNDETERMINED;
}

void EmulatedCard::complain(const std::string& complaint) {
    if (complaint != m_complaint) {
        debug_line(complaint);
        m_complaint = complaint;
    }
}

HRESULT EmulatedCard::lock_state(DWORD& locked_state) {
    return with_card(Access::lock_state, FaultPoint::sim_call, 0,
                     [&](CardFile&, const CardProfile&, const CardState& state) {
                         switch (state.lock) {
                         case PinLock::none:
                             locked_state = SIM_LOCKEDSTATE_READY;
                             break;
                         case PinLock::pin:
                             locked_state = SIM_LOCKEDSTATE_SIM_PIN;
                             break;
                         case PinLock::puk:
                             locked_state = SIM_LOCKEDSTATE_SIM_PUK;
                             break;
                         }
                         return S_OK;
                     });
}

HRESULT EmulatedCard::verify_pin(std::u16string_view pin, PinAttempt, int& tries_left) {
    tries_left = -1;
    if (!well_formed_pin(pin)) {
        return SIM_E_BADPARAM;
    }
    return with_card(Access::lock_state, FaultPoint::sim_call, 0,
                     [&](CardFile&, const CardProfile&, const CardState& state) {
                         switch (state.lock) {
                         case PinLock::none:
                             return S_OK;
                         case PinLock::pin:
                             return SIM_E_UNSUPPORTED;
                         case PinLock::puk:
                             tries_left = 0;
                             return SIM_E_SIMPUKREQUIRED;
                         }
                         return SIM_E_UNDETERMINED;
                     });
}

HRESULT EmulatedCard::locking_status(DWORD facility, bool& enabled) {
    return with_card(Access::card, FaultPoint::sim_call, 0,
                     [&](CardFile&, const CardProfile&, const CardState& state) {
                         if (facility != SIM_LOCKFACILITY_SIM_FIXEDIALING) {
                             return SIM_E_UNSUPPORTED;
                         }
                         enabled = state.fixed_dialling;
                         return S_OK;
                     });
}

HRESULT EmulatedCard::capabilities(CardProfile& profile) {
    return with_card(Access::card, FaultPoint::sim_call, 0,
                     [&](CardFile&, const CardProfile& stored, const CardState&) {
                         profile = stored;
                         return S_OK;
                     });
}

HRESULT EmulatedCard::phonebook_status(DWORD& used, DWORD& total) {
    return with_card(Access::phonebook, FaultPoint::sim_call, 0,
                     [&](CardFile& file, const CardProfile& profile, const CardState&) {
                         used = static_cast<DWORD>(file.used_slots());
                         total = static_cast<DWORD>(profile.slots);
                         return S_OK;
                     });
}

HRESULT EmulatedCard::read_entry(DWORD index, PhonebookEntry& entry) {
    return with_card(Access::phonebook, FaultPoint::phonebook_read, slot_of(index),
                     [&](CardFile& file, const CardProfile& profile, const CardState&) {
                         const int slot = slot_of(index);
                         if (slot < 1 || slot > profile.slots) {
                             return SIM_E_INVALIDINDEX;
                         }
                         std::optional<PhonebookEntry> stored = file.entry(slot);
                         if (!stored) {
                             return SIM_E_NOTFOUND;
                         }
                         entry = std::move(*stored);
                         return S_OK;
                     });
}

HRESULT EmulatedCard::write_entry(DWORD index, const PhonebookEntry& entry, EntryFields fields) {
    const int slot = index == SIM_PBINDEX_FIRSTAVAILABLE ? 0 : slot_of(index);
    return with_card(Access::phonebook, FaultPoint::phonebook_write, slot,
                     [&](CardFile& file, const CardProfile&, const CardState&) {
                         file.store(slot, entry, fields);
                         return S_OK;
                     });
}

HRESULT EmulatedCard::delete_entry(DWORD index) {
    return with_card(Access::phonebook, FaultPoint::phonebook_delete, slot_of(index),
                     [&](CardFile& file, const CardProfile&, const CardState&) {
                         file.erase(slot_of(index));
                         return S_OK;
                     });
}

LONG EmulatedCard::place_call(std::u16string_view number, std::u16string_view name) {
    try {
        CardFile& file = card();
        if (!file.state().radio_on) {
            debug_line("cellcore: no call placed: the radio is off");
            return TAPIERR_REQUESTFAILED;
        }
        file.append_call({static_cast<int64_t>(std::time(nullptr)), std::u16string(number),
                          std::u16string(name)});
        return TAPIERR_CONNECTED;
    } catch (const CardError& error) {
        failure(error);
        return TAPIERR_REQUESTFAILED;
    }
}

std::unique_ptr<ChangeFeed> EmulatedCard::open_change_feed() {
    return std::make_unique<EmulatedChangeFeed>(m_file);
}

} // namespace handset
