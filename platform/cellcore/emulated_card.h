// The card driver of the emulated handset: the SIM library's operations on sim.db, refused the
// way a real card in the stored state would refuse them. The file is opened on first use and
// again after it failed, so a card created or repaired while a program runs is picked up.
#pragma once

#include "cellcore/card_backend.h"
#include "cellcore/card_file.h"

#include <filesystem>
#include <optional>
#include <string>

namespace handset {

class EmulatedCard : public CardBackend {
  public:
    explicit EmulatedCard(std::filesystem::path file);

    HRESULT lock_state(DWORD& state) override;
    HRESULT locking_status(DWORD facility, bool& enabled) override;
    HRESULT capabilities(CardProfile& profile) override;
    HRESULT phonebook_status(DWORD& used, DWORD& total) override;
    HRESULT read_entry(DWORD index, PhonebookEntry& entry) override;
    HRESULT write_entry(DWORD index, const PhonebookEntry& entry, EntryFields fields) override;
    HRESULT delete_entry(DWORD index) override;
    LONG place_call(std::u16string_view number, std::u16string_view name) override;
    std::unique_ptr<ChangeFeed> open_change_feed() override;
    // The emulated card keeps no PIN of its own: an unlocked card has nothing to check, and a
    // card locked by its state is unlocked with `handsetctl sim lock none`.
    HRESULT verify_pin(std::u16string_view pin, PinAttempt attempt, int& tries_left) override;

  private:
    // The three kinds of call that the card's state refuses differently.
    enum class Access { lock_state, card, phonebook };
    static HRESULT refusal(const CardState& state, Access access);

    // point and slot say which of the device's faults the call counts against.
    template <typename Operation>
    HRESULT with_card(Access access, FaultPoint point, int slot, Operation operation);
    CardFile& card();
    HRESULT failure(const CardError& error);
    void complain(const std::string& complaint);

    std::filesystem::path m_file;
    std::optional<CardFile> m_card;
    std::string m_complaint;
};

} // namespace handset
