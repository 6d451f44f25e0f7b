// The device's contacts store: contacts.db in the device folder, an SQLite database in WAL mode
// that several processes share. Every change is one transaction; a writer waits for another
// process's transaction up to a busy timeout. The store may carry a quota in bytes, kept in the
// file itself and enforced through SQLite's page limit, so that "storage full" is a real
// condition for every process that opens it.
//
// This is also the interface handsetctl uses to create and edit the store. Each failure writes
// one debug line that says what failed and why. The object may be used from several threads.
#pragma once

#include "base/fault.h"
#include "base/sqlite_database.h"
#include "base/sqlite_error.h"
#include "poom/contact_record.h"
#include "poom/store_result.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace handset {

// Tells apart two views of the store: it differs after any commit, by this connection or another.
struct ChangeStamp {
    int64_t others = 0;
    uint64_t own = 0;

    friend bool operator==(const ChangeStamp&, const ChangeStamp&) = default;
};

class ContactStore {
  public:
    // contacts.db in the device folder.
    static std::filesystem::path default_path();

    // Opens an existing store; nullptr, with the reason in result, when there is none or the file
    // is not a usable contacts store. On storage this process may not write, the store is opened
    // for reading only, and its changes fail as unusable, saying the device is read-only.
    static std::unique_ptr<ContactStore> open(const std::filesystem::path& path,
                                              StoreResult& result);
    // The same, but only ever reading: nothing in the file or beside it is changed.
    static std::unique_ptr<ContactStore> open_for_reading(const std::filesystem::path& path,
                                                          StoreResult& result);
    // Makes a new, empty store without a quota. An existing file is left alone and refused.
    static std::unique_ptr<ContactStore> create(const std::filesystem::path& path,
                                                StoreResult& result);

    ~ContactStore();
    ContactStore(const ContactStore&) = delete;
    ContactStore& operator=(const ContactStore&) = delete;

    // Every contact, sorted as the device files them (ContactRecord::file_as, ignoring ASCII
    // case, then by identifier).
    StoreResult list(std::vector<ContactRecord>& contacts);
    // Stores a new contact and sets its id.
    StoreResult add(ContactRecord& contact);
    // Replaces the stored properties of contact.id; not_found when it is gone.
    StoreResult update(const ContactRecord& contact);
    StoreResult remove(int64_t id);
    // Adds all of them in one transaction, or none.
    StoreResult add_all(std::vector<ContactRecord>& contacts);

    // The quota in bytes, 0 for none. It is rounded down to whole database pages and cannot be
    // less than the store already takes: a store at or above its quota refuses what needs more.
    StoreResult set_quota_bytes(uint64_t bytes);
    StoreResult quota_bytes(uint64_t& bytes);

    ChangeStamp change_stamp();

    // Reads the whole file looking for damage (SQLite's quick check), which opening does not;
    // for handsetctl's status.
    StoreResult check();

    const std::filesystem::path& path() const { return m_path; }

    // The contacts faults live in contacts.db rather than beside the card's in sim.db: the store
    // works, and can be made to fail, on a device whose card is missing or damaged, and a save
    // counts its fault on the connection it already has.
    StoreResult add_fault(Fault& fault);
    StoreResult faults(std::vector<Fault>& faults);
    StoreResult clear_faults(int64_t& cleared);
    // From now on the operations of this connection count against the faults and fail as they
    // say. Only the contacts objects that programs use do; handsetctl keeps control of a store
    // whatever faults it carries.
    void honour_faults() { m_faults_honoured = true; }

  private:
    ContactStore(SqliteDatabase database, std::filesystem::path path);
    static std::unique_ptr<ContactStore> open_existing(const std::filesystem::path& path,
                                                       SqliteDatabase::Mode mode,
                                                       StoreResult& result);
    static std::unique_ptr<ContactStore> connect(const std::filesystem::path& path,
                                                 SqliteDatabase::Mode mode, const char* what,
                                                 StoreResult (ContactStore::*finish)(),
                                                 StoreResult& result);

    StoreResult create_schema();
    StoreResult check_schema();
    StoreResult read_quota(int64_t& bytes);
    StoreResult apply_quota();
    StoreResult insert_locked(ContactRecord& contact);
    // Runs body, turning the storage layer's failures into a result that names what failed.
    template <typename Body>
    StoreResult guarded(const char* what, Body body);
    // Counts the operation against the faults, when this connection honours them, and gives
    // the storage failure of the one that strikes it.
    std::optional<SqliteError> injected_failure(FaultPoint point);
    template <typename Body>
    StoreResult write(const char* what, std::optional<FaultPoint> point, Body body);

    SqliteDatabase m_database;
    std::filesystem::path m_path;
    std::mutex m_mutex;
    int64_t m_page_size = 4096;
    uint64_t m_own_changes = 0;
    bool m_faults_honoured = false;
};

} // namespace handset
