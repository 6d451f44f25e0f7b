// The card driver for a modem spoken to with AT commands: the SIM library's operations as
// +CPIN, +CLCK, +CFUN, +CPBS, +CPBR and +CPBW commands and a dial with D. What the card holds
// and refuses is the modem's answer; its sizes come from AT+CPBR=?, never from the emulated
// card's defaults.
//
// Start-up, on the first call (and again after it failed): ATE0, AT+CMEE=1 for numeric errors,
// then the character set for names, UCS2 where the modem has it, else GSM, else IRA.
//
// A fill reads the phonebook slot after slot; the driver reads ahead a window of slots with one
// AT+CPBR=a,b and answers the next reads from it. A write or delete drops the window, and so does
// its age, so that a change made at the modem's own keypad shows within about a second.
//
// The radio's state is asked (AT+CFUN?) for the lock state, the capabilities and the phonebook's
// status, and whenever a command fails, so that a radio switched off is refused with
// SIM_E_RADIOOFF as the emulated card does.
//
// Threading: a driver is used by one thread at a time (the card service's); the change feeds it
// opens may be polled from another thread.
#pragma once

#include "cellcore/card_backend.h"
#include "cellcore/modem_charset.h"
#include "cellcore/modem_link.h"
#include "cellcore/modem_phonebook.h"

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace handset {

class ModemCard final : public CardBackend {
  public:
    static constexpr int window_slots = 50;
    static constexpr std::chrono::milliseconds window_age{1000};
    static constexpr std::chrono::milliseconds dial_timeout{30000};

    explicit ModemCard(SerialLine line,
                       std::chrono::milliseconds timeout = AtChannel::default_timeout);

    HRESULT lock_state(DWORD& state) override;
    HRESULT locking_status(DWORD facility, bool& enabled) override;
    HRESULT capabilities(CardProfile& profile) override;
    HRESULT phonebook_status(DWORD& used, DWORD& total) override;
    HRESULT read_entry(DWORD index, PhonebookEntry& entry) override;
    HRESULT write_entry(DWORD index, const PhonebookEntry& entry, EntryFields fields) override;
    HRESULT delete_entry(DWORD index) override;
    LONG place_call(std::u16string_view number, std::u16string_view name) override;
    std::unique_ptr<ChangeFeed> open_change_feed() override;
    // AT+CPIN="pin". A modem does not say how many tries are left, so the PIN goes out only
    // when the caller allows the last try.
    HRESULT verify_pin(std::u16string_view pin, PinAttempt attempt, int& tries_left) override;

  private:
    struct Window {
        int first_slot;
        int last_slot;
        std::chrono::steady_clock::time_point read_at;
        std::map<int, PhonebookEntry> entries;
    };

    HRESULT start();
    void choose_charset();
    HRESULT radio_refusal();
    HRESULT failure(const AtResponse& response);
    // start, then the phonebook's selection and sizes (once a session)
    HRESULT open_phonebook();
    std::vector<std::string> listed_names(const char* query, std::string_view name);
    void read_card_facts(CardProfile& profile);
    HRESULT check_slot(DWORD index) const;
    HRESULT read_window(int slot);
    HRESULT count_used(DWORD& used);
    HRESULT merge_stored_fields(DWORD index, PhonebookEntry& entry);
    int modem_index(int slot) const { return m_phonebook->first_index + slot - 1; }
    AtResponse command(const std::string& command);

    std::shared_ptr<ModemLink> m_link;
    bool m_started = false;
    ModemCharset m_charset = ModemCharset::ira;
    std::optional<ModemPhonebook> m_phonebook;
    std::optional<Window> m_window;
};

// A driver on the tty at device (raw, at baud); throws SerialLineError when it cannot be opened.
std::unique_ptr<CardBackend> open_modem_card(const std::string& device, int baud);
// A driver on a line already open (a pty, a socket); it takes the descriptor.
std::unique_ptr<CardBackend> open_modem_card(int descriptor);

} // namespace handset
