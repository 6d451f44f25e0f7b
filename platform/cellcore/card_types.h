// What the handset knows about its SIM card, independent of how the card is reached: its profile
// (the sizes a real card fixes), its state, its phonebook entries and the changes it reports.
#pragma once

#include "cellcore/dialling_number.h"

#include <simmgr.h>

#include <cstdint>
#include <optional>
#include <string>

namespace handset {

// The extended (USIM) phonebook's extra fields. A field exists when both its size and its count
// are above 0; the card keeps at most one of each per entry.
struct ExtendedCapabilities {
    int additional_number_digits = 0;
    int email_bytes = 0;
    int additional_number_count = 0;
    int email_count = 0;

    bool holds_additional_number() const {
        return additional_number_digits > 0 && additional_number_count > 0;
    }
    bool holds_email() const { return email_bytes > 0 && email_count > 0; }
    friend bool operator==(const ExtendedCapabilities&, const ExtendedCapabilities&) = default;
};

struct CardProfile {
    // A USIM phonebook spreads its entries over several EF_ADN files of up to 254 records each.
    static constexpr int max_slots = 1000;
    static constexpr int max_name_bytes = 241; // so that a record stays within 255 bytes
    static constexpr int max_email_bytes = 241;
    static constexpr int max_count = 1;

    int slots = 250;        // indices 1 to slots
    int name_bytes = 14;    // the alpha identifier's X
    int number_digits = 20; // at most 20: longer numbers would need extension records
    ExtendedCapabilities extended;
    // What SimGetDevCaps reports beyond the sizes: the phonebook storages (SIM_PBSTORAGE_ bits)
    // and the lock facilities (SIM_LOCKFACILITY_ bits). The emulated card has its SIM phonebook
    // and the PIN and fixed dialling locks; a modem says what its card has.
    uint32_t storages = SIM_PBSTORAGE_SIM;
    uint32_t lock_facilities = SIM_LOCKFACILITY_SIM | SIM_LOCKFACILITY_SIM_FIXEDIALING;

    // What makes the profile unusable, in words for an error message; empty when it is sound.
    std::string problem() const;
    friend bool operator==(const CardProfile&, const CardProfile&) = default;
};

enum class PinLock { none, pin, puk };

struct CardState {
    bool present = true;
    bool invalid = false; // inserted but unusable
    PinLock lock = PinLock::none;
    bool fixed_dialling = false;
    bool phonebook_ready = true;
    bool radio_on = true;
    friend bool operator==(const CardState&, const CardState&) = default;
};

struct PhonebookEntry {
    std::u16string name;
    DiallingNumber number;
    std::optional<DiallingNumber> additional_number;
    std::optional<std::u16string> email;

    bool empty() const { return name.empty() && number.empty() && !additional_number && !email; }
    friend bool operator==(const PhonebookEntry&, const PhonebookEntry&) = default;
};

// Which fields a write replaces: a plain phonebook write leaves an existing slot's additional
// number and e-mail as they were.
enum class EntryFields { name_and_number, all };

struct StoredEntry {
    int slot;
    PhonebookEntry entry;
};

struct CallRecord {
    int64_t time; // seconds since 1970 (UTC)
    std::u16string number;
    std::u16string name;
};

// A change the card reports to every handle that asked for notifications: the SIM_NOTIFY_ code
// and, for phonebook changes, the slot.
struct CardChange {
    int64_t sequence;
    uint32_t code;
    int slot;
};

} // namespace handset
