// The card driver for a SIM in a smart-card reader: the SIM library's operations as the card's
// own commands (see card_phonebook.h for the files, sim_channel.h for the commands). The sizes a
// program sees come from the card's files, never from the emulated card's defaults.
//
// Threading: a driver is used by one thread at a time (the card service's); the change feeds it
// opens may be polled from another. Both share the session, which serialises them.
#pragma once

#include "cellcore/apdu_transport.h"
#include "cellcore/card_backend.h"
#include "cellcore/reader_session.h"

#include <memory>
#include <string>

namespace handset {

class ReaderCard final : public CardBackend {
  public:
    explicit ReaderCard(std::unique_ptr<ApduTransport> transport);

    HRESULT lock_state(DWORD& state) override;
    HRESULT locking_status(DWORD facility, bool& enabled) override;
    HRESULT capabilities(CardProfile& profile) override;
    HRESULT phonebook_status(DWORD& used, DWORD& total) override;
    HRESULT read_entry(DWORD index, PhonebookEntry& entry) override;
    HRESULT write_entry(DWORD index, const PhonebookEntry& entry, EntryFields fields) override;
    HRESULT delete_entry(DWORD index) override;
    // A reader has no radio: no call can be placed through it.
    LONG place_call(std::u16string_view number, std::u16string_view name) override;
    std::unique_ptr<ChangeFeed> open_change_feed() override;
    HRESULT verify_pin(std::u16string_view pin, PinAttempt attempt, int& tries_left) override;

  private:
    std::shared_ptr<ReaderSession> m_session;
};

// A driver on the PC/SC reader named (or "auto"); nothing (with a debug line) when the PC/SC
// service cannot be reached.
std::unique_ptr<CardBackend> open_reader_card(const std::string& reader);

} // namespace handset
