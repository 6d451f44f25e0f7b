// The emulated SIM card: the device folder's sim.db. It keeps the card's profile, its state, the
// phonebook as EF_ADN records (each extended entry's additional number as a number block and its
// e-mail as an alpha field beside it), a log of changes for the notification threads of every
// process, and the handset's call log.
//
// This is also the control API of the emulated handset (handsetctl): it changes the card whatever
// its state, where the SIM library refuses what a locked or absent card would refuse. Every
// change is one transaction, so a process killed at any point leaves the file whole and every
// change that returned is kept. Failures throw CardError. A CardFile is one connection, for one
// thread at a time; threads and processes that share the card each open their own.
#pragma once

#include "base/fault.h"
#include "base/sqlite_database.h"
#include "cellcore/card_error.h"
#include "cellcore/card_types.h"
#include "cellcore/entry_codec.h"

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace handset {

// Refuses a slot outside 1 to slots (CardFault::bad_slot), in the words every refusal of a slot
// uses, whatever number it was given.
void check_slot(long long slot, int slots);

class CardFile {
  public:
    // Where the card of the device folder lives.
    static std::filesystem::path default_path();

    // An existing card; CardFault::missing when there is no file, damaged when it is not a card.
    // On storage this process may not write, the card is opened for reading only, and its changes
    // fail with CardFault::read_only.
    static CardFile open(const std::filesystem::path& file);
    // The same, but only ever reading: nothing in the file or beside it is changed, and an empty
    // file or another program's database is reported as it is (CardFault::damaged).
    static CardFile open_for_reading(const std::filesystem::path& file);
    // Makes file a blank card with this profile and the default state (present, unlocked,
    // phonebook ready, radio on): a file that is missing or damaged is replaced; an existing
    // card loses its records and call log, and its notified handles hear of every deletion.
    static CardFile create(const std::filesystem::path& file, const CardProfile& profile);

    CardProfile profile();
    // Records are re-encoded for the new sizes in the same transaction; a record that would not
    // fit, or a slot beyond the new total, refuses the change (CardFault::bad_profile).
    void set_profile(const CardProfile& profile);

    CardState state();
    // Reads, changes and writes the state in one transaction. Switching the radio off is
    // reported as SIM_NOTIFY_RADIOOFF.
    void update_state(const std::function<void(CardState&)>& change);

    // Profile and state as one consistent read.
    std::pair<CardProfile, CardState> snapshot();

    // The entries of the card's slots, 1 to the total.
    std::vector<StoredEntry> entries();
    std::optional<PhonebookEntry> entry(int slot);
    int used_slots();
    // The keys of records that a damaged file holds outside the card's slots (0, negative, or
    // beyond the total). Nothing reads, counts or allocates them.
    std::vector<int> stray_slots();

    // Stores entry in slot, or in the lowest slot of 1 to the total that holds no record when slot
    // is 0; returns the slot used.
    int store(int slot, const PhonebookEntry& entry, EntryFields fields);
    // False when the slot was empty already.
    bool erase(int slot);
    void clear();

    // A slot's bytes as the card holds them: its EF_ADN record and, for an extended entry, the
    // additional number's block and the e-mail's field. Nothing for an empty slot.
    std::optional<EncodedEntry> stored_record(int slot);
    // The bytes of every used slot, 1 to the total, in one read.
    std::map<int, EncodedEntry> stored_records();
    // Keeps these bytes in slot as they are, as one change: a card reader writes records, not
    // entries, and reads back what it wrote. They must be records of this card: an EF_ADN record
    // of its length, a number block and an e-mail field of its sizes, all decoding to an entry
    // the profile holds (CardFault::bad_record, or what store() would refuse).
    void store_record(int slot, const EncodedEntry& encoded);

    // One line per slot, 1 to the total, empty slots as padding.
    std::vector<std::string> export_adn();
    // Replaces the phonebook with these lines: one record a line (blank lines and lines starting
    // with '#' skipped), the first for slot 1. Records of another alpha length are re-encoded
    // for this card. Nothing changes unless every line can be taken and there is at least one
    // record.
    void import_adn(const std::vector<std::string>& lines);

    void append_call(const CallRecord& call);
    std::vector<CallRecord> calls();

    // The change log: the newest sequence number, and what happened after a given one.
    int64_t latest_change();
    std::vector<CardChange> changes_since(int64_t sequence);
    int64_t data_version();

    // The card's faults (see FaultTable). They strike the SIM library's calls only: this control
    // API is how they are set, and stays usable while they are.
    // A fault on a slot the card does not have is refused (CardFault::bad_slot).
    void add_fault(Fault& fault);
    std::vector<Fault> faults();
    int64_t clear_faults();
    // Counts a SIM call against the faults; the one that strikes it, if any. Costs nothing more
    // than the snapshot() just before it while the card has never had a fault.
    std::optional<Fault> count_fault(FaultPoint point, int slot);

  private:
    CardFile(std::filesystem::path file, SqliteDatabase database);

    static SqliteDatabase connect(const std::filesystem::path& file, SqliteDatabase::Mode mode);
    // Runs action, turning SQLite's failures into the card's.
    template <typename Action>
    auto guarded(Action action);

    std::pair<CardProfile, CardState> read_snapshot();
    void check_schema();
    void write_profile(const CardProfile& profile);
    void write_state(const CardState& state);
    void log_change(uint32_t code, int slot);
    std::vector<int> occupied_slots();
    void clear_records();
    void put_record(int slot, const Bytes& record, const std::optional<Bytes>& additional_number,
                    const std::optional<Bytes>& email);
    int first_free_slot(int slots);
    void check_record(const EncodedEntry& encoded, const CardProfile& profile);
    PhonebookEntry decode_row(int slot, const Bytes& record,
                              const std::optional<Bytes>& additional_number,
                              const std::optional<Bytes>& email);

    std::filesystem::path m_file;
    SqliteDatabase m_database;
    // Whether the last snapshot found the faults table.
    bool m_faults_present = false;
};

} // namespace handset
