// The session with a SIM in a reader, shared by the reader driver and the change feeds it opens.
// The driver runs operations on its thread; a feed polls from another. Both go through the
// session's card lock, so only one of them talks to the card at a time:
//
//   disconnected --an operation finds a card--> connected (class known) --layout read-->
//   phonebook open --the card gives no answer--> disconnected (layout, PIN grant gone)
//
// A card that answers nothing while the reader still holds one was reset under us (another
// program's reset, a power glitch): the operation connects again and is tried once more. A card
// that is gone fails the operation at once with SIM_E_SIMNOTINSERTED; nothing waits for it.
//
// What the feed reports: a removal as the deletion of every entry the session knew of, and a
// card found again as the storing of every entry it holds, so a notified view empties with the
// card and fills again with the next one, as after an import into the emulated card.
#pragma once

#include "cellcore/apdu_transport.h"
#include "cellcore/card_backend.h"
#include "cellcore/card_phonebook.h"
#include "cellcore/change_log.h"
#include "cellcore/sim_channel.h"

#include <memory>
#include <mutex>
#include <optional>
#include <set>

namespace handset {

class ReaderSession final : public ChangeSource {
  public:
    explicit ReaderSession(std::unique_ptr<ApduTransport> transport);

    HRESULT lock_state(DWORD& state);
    HRESULT locking_status(DWORD facility, bool& enabled);
    HRESULT capabilities(CardProfile& profile);
    HRESULT phonebook_status(DWORD& used, DWORD& total);
    HRESULT read_entry(DWORD index, PhonebookEntry& entry);
    HRESULT write_entry(DWORD index, const PhonebookEntry& entry, EntryFields fields);
    HRESULT delete_entry(DWORD index);
    HRESULT verify_pin(std::u16string_view pin, PinAttempt attempt, int& tries_left);

    // Where a feed opened now starts.
    int64_t newest_change() override;
    // The changes noted after `after`, with a look at whether the card came or went, unless an
    // operation holds the card now.
    std::vector<CardChange> changes_after(int64_t after) override;

  private:
    struct PinStanding {
        HRESULT result = S_OK; // as PinAnswer: S_OK, SIM_E_INCORRECTPASSWORD, ..._SIMPUKREQUIRED
        int tries_left = -1;
        bool enabled = true;
    };

    // Runs operation on a connected card, again once after a reset; with m_card_mutex held.
    template <typename Operation>
    HRESULT with_card(Operation operation);
    template <typename Operation>
    HRESULT with_phonebook(Operation operation);
    HRESULT connect();
    void disconnect();
    HRESULT open_phonebook();
    HRESULT pin_standing(PinStanding& standing);
    HRESULT gsm_pin_standing(PinStanding& standing);
    HRESULT try_pin(std::u16string_view pin, int& tries_left);
    HRESULT first_free_slot(DWORD& slot);
    HRESULT occupied_slots(std::set<int>& slots);
    void follow_presence();

    std::mutex m_card_mutex; // guards the members below
    std::unique_ptr<ApduTransport> m_transport;
    std::optional<SimChannel> m_channel;
    std::optional<CardPhonebook> m_phonebook;
    bool m_present = false;
    std::set<int> m_known_entries; // the slots seen holding an entry

    ChangeLog m_log;
};

} // namespace handset
