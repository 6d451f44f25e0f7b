#include "cellcore/reader_session.h"

#include "base/debug_output.h"
#include "cellcore/pin_code.h"

#include <simmgr.h>

namespace handset {

namespace {

constexpr uint16_t df_telecom = 0x7F10;
constexpr uint16_t gsm_adn = 0x6F3A;
// A card put back notes a change for each of its entries; older changes are dropped.
constexpr size_t kept_changes = 4096;

} // namespace

ReaderSession::ReaderSession(std::unique_ptr<ApduTransport> transport)
    : m_transport(std::move(transport)), m_present(m_transport->card_present()),
      m_log(kept_changes) {}

// A UICC answers the SELECT of the MF in its own class; a 2G SIM refuses that class.
HRESULT ReaderSession::connect() {
    if (m_channel) {
        return S_OK;
    }
    if (!m_transport->reconnect()) {
        return SIM_E_SIMNOTINSERTED;
    }
    m_present = true;
    SimChannel uicc(*m_transport, CardClass::uicc);
    FileInfo master;
    const HRESULT probe = uicc.select({}, master);
    if (probe == SIM_E_SIMNOTINSERTED) {
        return probe;
    }
    m_channel.emplace(*m_transport, probe == S_OK ? CardClass::uicc : CardClass::gsm);
    return S_OK;
}

void ReaderSession::disconnect() {
    m_channel.reset();
    m_phonebook.reset();
}

template <typename Operation>
HRESULT ReaderSession::with_card(Operation operation) {
    HRESULT result = SIM_E_SIMNOTINSERTED;
    for (int attempt = 0; attempt < 2 && result == SIM_E_SIMNOTINSERTED; ++attempt) {
        result = connect();
        if (result == S_OK) {
            result = operation();
        }
        if (result != SIM_E_SIMNOTINSERTED) {
            break;
        }
        disconnect();
        if (!m_transport->card_present()) {
            break;
        }
    }
    if (result == SIM_E_SIMNOTINSERTED) {
        follow_presence();
    }
    return result;
}

HRESULT ReaderSession::open_phonebook() {
    if (m_phonebook) {
        return S_OK;
    }
    return CardPhonebook::open(*m_channel, m_phonebook);
}

template <typename Operation>
HRESULT ReaderSession::with_phonebook(Operation operation) {
    return with_card([&] {
        const HRESULT opened = open_phonebook();
        return opened == S_OK ? operation() : opened;
    });
}

// A 2G SIM tells whether CHV1 is enabled and its tries in the directory's response, but not
// whether it was given in this session: reading EF_ADN shows that.
HRESULT ReaderSession::gsm_pin_standing(PinStanding& standing) {
    FileInfo directory;
    if (const HRESULT result = m_channel->select({df_telecom}, directory); result != S_OK) {
        return result;
    }
    standing.enabled = directory.pin_enabled.value_or(true);
    standing.tries_left = directory.pin_tries.value_or(-1);
    if (!standing.enabled) {
        return S_OK;
    }
    if (standing.tries_left == 0) {
        standing.result = SIM_E_SIMPUKREQUIRED;
        return S_OK;
    }
    FileInfo adn;
    HRESULT result = m_channel->select({df_telecom, gsm_adn}, adn);
    Bytes record;
    if (result == S_OK) {
        result = m_channel->read_record(1, adn.record_length, record);
    }
    if (result == SIM_E_SIMNOTINSERTED) {
        return result;
    }
    standing.result = result == SIM_E_SIMPINREQUIRED ? SIM_E_INCORRECTPASSWORD : S_OK;
    return S_OK;
}

// A UICC answers an empty VERIFY with how PIN1 stands; its FCP says whether PIN1 is enabled.
HRESULT ReaderSession::pin_standing(PinStanding& standing) {
    if (m_channel->card_class() == CardClass::gsm) {
        return gsm_pin_standing(standing);
    }
    FileInfo directory;
    if (const HRESULT result = m_channel->select({df_telecom}, directory); result != S_OK) {
        return result;
    }
    standing.enabled = directory.pin_enabled.value_or(true);
    const PinAnswer answer = m_channel->verify(std::nullopt);
    if (answer.result == SIM_E_SIMNOTINSERTED) {
        return answer.result;
    }
    standing.result = answer.result;
    standing.tries_left = answer.tries_left;
    return S_OK;
}

HRESULT ReaderSession::lock_state(DWORD& state) {
    std::lock_guard lock(m_card_mutex);
    return with_card([&] {
        PinStanding standing;
        const HRESULT result = pin_standing(standing);
        state = standing.result == SIM_E_SIMPUKREQUIRED      ? SIM_LOCKEDSTATE_SIM_PUK
                : standing.result == SIM_E_INCORRECTPASSWORD ? SIM_LOCKEDSTATE_SIM_PIN
                                                             : SIM_LOCKEDSTATE_READY;
        return result;
    });
}

HRESULT ReaderSession::locking_status(DWORD facility, bool& enabled) {
    if (facility != SIM_LOCKFACILITY_SIM) {
        return SIM_E_UNSUPPORTED;
    }
    std::lock_guard lock(m_card_mutex);
    return with_card([&] {
        PinStanding standing;
        const HRESULT result = pin_standing(standing);
        enabled = standing.enabled;
        return result;
    });
}

HRESULT ReaderSession::capabilities(CardProfile& profile) {
    std::lock_guard lock(m_card_mutex);
    return with_phonebook([&] {
        profile = m_phonebook->profile();
        return S_OK;
    });
}

HRESULT ReaderSession::occupied_slots(std::set<int>& slots) {
    for (int slot = 1; slot <= m_phonebook->profile().slots; ++slot) {
        bool held = false;
        if (const HRESULT result = m_phonebook->holds_entry(*m_channel, slot, held);
            result != S_OK) {
            return result;
        }
        if (held) {
            slots.insert(slot);
        }
    }
    m_known_entries = slots;
    return S_OK;
}

HRESULT ReaderSession::phonebook_status(DWORD& used, DWORD& total) {
    std::lock_guard lock(m_card_mutex);
    return with_phonebook([&] {
        std::set<int> slots;
        const HRESULT result = occupied_slots(slots);
        used = static_cast<DWORD>(slots.size());
        total = static_cast<DWORD>(m_phonebook->profile().slots);
        return result;
    });
}

HRESULT ReaderSession::read_entry(DWORD index, PhonebookEntry& entry) {
    std::lock_guard lock(m_card_mutex);
    return with_phonebook([&] {
        const int slot = static_cast<int>(index);
        const HRESULT result = m_phonebook->read(*m_channel, slot, entry);
        if (result == S_OK) {
            m_known_entries.insert(slot);
        } else if (result == SIM_E_NOTFOUND) {
            m_known_entries.erase(slot);
        }
        return result;
    });
}

HRESULT ReaderSession::first_free_slot(DWORD& slot) {
    for (int candidate = 1; candidate <= m_phonebook->profile().slots; ++candidate) {
        bool held = false;
        if (const HRESULT result = m_phonebook->holds_entry(*m_channel, candidate, held);
            result != S_OK) {
            return result;
        }
        if (!held) {
            slot = static_cast<DWORD>(candidate);
            return S_OK;
        }
    }
    return SIM_E_MEMORYFULL;
}

HRESULT ReaderSession::write_entry(DWORD index, const PhonebookEntry& entry, EntryFields fields) {
    std::lock_guard lock(m_card_mutex);
    return with_phonebook([&] {
        DWORD slot = index;
        if (index == SIM_PBINDEX_FIRSTAVAILABLE) {
            if (const HRESULT found = first_free_slot(slot); found != S_OK) {
                return found;
            }
        }
        const HRESULT result =
            m_phonebook->write(*m_channel, static_cast<int>(slot), entry, fields);
        if (result == S_OK) {
            m_known_entries.insert(static_cast<int>(slot));
        }
        return result;
    });
}

HRESULT ReaderSession::delete_entry(DWORD index) {
    std::lock_guard lock(m_card_mutex);
    return with_phonebook([&] {
        const HRESULT result = m_phonebook->erase(*m_channel, static_cast<int>(index));
        if (result == S_OK) {
            m_known_entries.erase(static_cast<int>(index));
        }
        return result;
    });
}

// After a wrong PIN a 2G SIM says nothing of the tries left; its directory does.
HRESULT ReaderSession::try_pin(std::u16string_view pin, int& tries_left) {
    const Bytes field = padded_pin(pin);
    const PinAnswer answer = m_channel->verify(ByteView(field));
    tries_left = answer.tries_left;
    if (answer.result == SIM_E_INCORRECTPASSWORD && tries_left < 0) {
        PinStanding after;
        if (const HRESULT result = pin_standing(after); result != S_OK) {
            return result;
        }
        tries_left = after.tries_left;
    }
    if (answer.result == S_OK) {
        // The phonebook may have refused to open while the PIN was missing.
        m_phonebook.reset();
    }
    return answer.result;
}

HRESULT ReaderSession::verify_pin(std::u16string_view pin, PinAttempt attempt, int& tries_left) {
    tries_left = -1;
    if (!well_formed_pin(pin)) {
        return SIM_E_BADPARAM;
    }
    std::lock_guard lock(m_card_mutex);
    return with_card([&] {
        PinStanding standing;
        if (const HRESULT result = pin_standing(standing); result != S_OK) {
            return result;
        }
        tries_left = standing.tries_left;
        if (!standing.enabled || standing.result != SIM_E_INCORRECTPASSWORD) {
            return standing.result;
        }
        if (tries_left == 1 && attempt == PinAttempt::spare_last_try) {
            return SIM_E_SECURITYFAILURE;
        }
        return try_pin(pin, tries_left);
    });
}

// With m_card_mutex held.
void ReaderSession::follow_presence() {
    const bool present = m_transport->card_present();
    if (present == m_present) {
        return;
    }
    m_present = present;
    disconnect();
    if (!present) {
        debug_line("reader: the card was removed");
        for (int slot : m_known_entries) {
            m_log.note(SIM_NOTIFY_PBE_DELETED, slot);
        }
        m_known_entries.clear();
        return;
    }
    debug_line("reader: a card was inserted");
    std::set<int> slots;
    if (connect() == S_OK && open_phonebook() == S_OK && occupied_slots(slots) == S_OK) {
        for (int slot : slots) {
            m_log.note(SIM_NOTIFY_PBE_STORED, slot);
        }
    }
}

int64_t ReaderSession::newest_change() {
    return m_log.newest();
}

std::vector<CardChange> ReaderSession::changes_after(int64_t after) {
    {
        std::unique_lock card(m_card_mutex, std::try_to_lock);
        if (card.owns_lock()) {
            follow_presence();
        }
    }
    return m_log.after(after);
}

} // namespace handset
