// The seam between the SIM library and the card: a table of operations that a card driver fills
// in. The emulated card over sim.db is one driver; a modem spoken to with 3GPP AT commands over a
// serial line fits the same table (lock state from +CPIN?, locking status from +CLCK, the
// phonebook from +CPBS/+CPBR/+CPBW, calls with D, changes from unsolicited results).
//
// Each operation answers with the SIM manager's own result codes, so a driver decides what its
// card refuses in which state. Indices are the API's: 1 to the number of slots, and
// SIM_PBINDEX_FIRSTAVAILABLE for a write. A driver is used by one thread at a time.
#pragma once

#include "cellcore/card_types.h"

#include <simmgr.h>

#include <windef.h>

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace handset {

// Whether a PIN check may use the card's last try: a wrong PIN then blocks the card until its PUK
// is given, so a caller has to say that it means to take that risk.
enum class PinAttempt { spare_last_try, last_try_allowed };

// What the card reports to handles that asked for notifications.
class ChangeFeed {
  public:
    virtual ~ChangeFeed() = default;
    // The changes since the last poll (the first time: since the feed was opened). Called every
    // ~100 ms, so it must be cheap when nothing happened.
    virtual std::vector<CardChange> poll() = 0;
};

class CardBackend {
  public:
    virtual ~CardBackend() = default;

    virtual HRESULT lock_state(DWORD& state) = 0;
    virtual HRESULT locking_status(DWORD facility, bool& enabled) = 0;
    // The sizes that SimGetDevCaps and SimGetPhonebookCapabilities report.
    virtual HRESULT capabilities(CardProfile& profile) = 0;
    virtual HRESULT phonebook_status(DWORD& used, DWORD& total) = 0;
    virtual HRESULT read_entry(DWORD index, PhonebookEntry& entry) = 0;
    virtual HRESULT write_entry(DWORD index, const PhonebookEntry& entry, EntryFields fields) = 0;
    // Deleting an empty slot succeeds and reports nothing.
    virtual HRESULT delete_entry(DWORD index) = 0;
    // A TAPIERR_ result.
    virtual LONG place_call(std::u16string_view number, std::u16string_view name) = 0;
    virtual std::unique_ptr<ChangeFeed> open_change_feed() = 0;

    // Checks pin (4 to 8 digits) against the card's PIN1:
    //   S_OK                     accepted, or the card has no PIN to check
    //   SIM_E_INCORRECTPASSWORD  wrong; tries_left says how many remain (-1: the card keeps it)
    //   SIM_E_SIMPUKREQUIRED     blocked (tries_left 0)
    //   SIM_E_SECURITYFAILURE    not tried: the next try may be the last and attempt spares it
    //                            (tries_left 1, or -1 when the card cannot tell its tries)
    //   SIM_E_BADPARAM           not a PIN
    // A driver without a PIN of its own answers SIM_E_UNSUPPORTED.
    virtual HRESULT verify_pin(std::u16string_view, PinAttempt, int& tries_left) {
        tries_left = -1;
        return SIM_E_UNSUPPORTED;
    }
};

// The driver behind a new handle: the emulated card of the device folder, unless a test put
// another in place to inject faults.
std::unique_ptr<CardBackend> make_card_backend();
using CardBackendFactory = std::function<std::unique_ptr<CardBackend>()>;
// An empty factory restores the emulated card.
void set_card_backend_factory(CardBackendFactory factory);

} // namespace handset
