#include "poom/contact_store.h"

#include "base/debug_output.h"
#include "base/device_folder.h"
#include "base/fault_table.h"
#include "base/sqlite_transaction.h"

#include <algorithm>
#include <string>

namespace handset {

namespace {

// Marks the file as a contacts store ("TCNT"), and the layout of its tables.
constexpr int64_t contacts_application_id = 0x54434E54;
constexpr int64_t schema_version = 1;

// SQLite's own default page limit, used when the store has no quota.
constexpr int64_t unlimited_pages = 1073741823;

const char* column_name(ContactField field) {
    switch (field) {
    case ContactField::first_name:
        return "first_name";
    case ContactField::middle_name:
        return "middle_name";
    case ContactField::last_name:
        return "last_name";
    case ContactField::mobile_telephone:
        return "mobile_telephone";
    case ContactField::home_telephone:
        return "home_telephone";
    case ContactField::business_telephone:
        return "business_telephone";
    case ContactField::email1:
        return "email1";
    case ContactField::nickname:
        return "nickname";
    }
    return "";
}

ContactField field_at(size_t index) {
    return static_cast<ContactField>(index);
}

// The statements name the columns in the order of ContactField, so a record's fields bind and
// read by position: file_as is parameter 1, field i is parameter i + 2; in a listed row the id is
// column 0 and field i column i + 1.
std::string column_list(const char* suffix) {
    std::string list;
    for (size_t i = 0; i < contact_field_count; ++i) {
        list += i == 0 ? "" : ", ";
        list += column_name(field_at(i));
        list += suffix;
    }
    return list;
}

const std::string& schema_sql() {
    static const std::string sql =
        "CREATE TABLE contacts(id INTEGER PRIMARY KEY, file_as TEXT NOT NULL, " +
        column_list(" TEXT NOT NULL DEFAULT ''") +
        ");"
        "CREATE INDEX contacts_filed ON contacts(file_as COLLATE NOCASE, id);"
        "CREATE TABLE settings(name TEXT PRIMARY KEY, value INTEGER NOT NULL);"
        "INSERT INTO settings(name, value) VALUES('quota_bytes', 0);";
    return sql;
}

const std::string& list_sql() {
    static const std::string sql =
        "SELECT id, " + column_list("") + " FROM contacts ORDER BY file_as COLLATE NOCASE, id";
    return sql;
}

const std::string& insert_sql() {
    static const std::string sql = [] {
        std::string values = "?1";
        for (size_t i = 0; i < contact_field_count; ++i) {
            values += ", ?" + std::to_string(i + 2);
        }
        return "INSERT INTO contacts(file_as, " + column_list("") + ") VALUES(" + values + ")";
    }();
    return sql;
}

const std::string& update_sql() {
    static const std::string sql = [] {
        std::string assignments = "file_as = ?1";
        for (size_t i = 0; i < contact_field_count; ++i) {
            assignments +=
                ", " + std::string(column_name(field_at(i))) + " = ?" + std::to_string(i + 2);
        }
        return "UPDATE contacts SET " + assignments + " WHERE id = ?" +
               std::to_string(contact_field_count + 2);
    }();
    return sql;
}

void bind_record(SqliteStatement& statement, const ContactRecord& contact) {
    statement.bind(1, std::u16string_view(contact.file_as()));
    for (size_t i = 0; i < contact_field_count; ++i) {
        statement.bind(static_cast<int>(i + 2), std::u16string_view(contact.fields[i]));
    }
}

StoreStatus status_of(StorageFailure failure) {
    switch (failure) {
    case StorageFailure::full:
        return StoreStatus::full;
    case StorageFailure::no_memory:
        return StoreStatus::no_memory;
    case StorageFailure::busy:
        return StoreStatus::busy;
    case StorageFailure::damaged:
    case StorageFailure::cannot_open:
    case StorageFailure::read_only:
    case StorageFailure::foreign:
    case StorageFailure::other:
        break;
    }
    return StoreStatus::unusable;
}

StoreResult reported(StoreStatus status, std::string detail) {
    debug_printf("contacts store: %s", detail.c_str());
    return {status, std::move(detail)};
}

StoreResult failure(const std::filesystem::path& path, const char* what, const SqliteError& error) {
    if (error.failure() == StorageFailure::read_only) {
        return reported(StoreStatus::unusable,
                        "the device is read-only: " + path.string() + " cannot be changed");
    }
    if (error.failure() == StorageFailure::foreign) {
        return reported(StoreStatus::unusable,
                        path.string() + " is not a contacts store: " + error.what());
    }
    return reported(status_of(error.failure()),
                    std::string(what) + " failed: " + error.what() + " (" + path.string() + ")");
}

// A new store must not pick up the journal of a store that was deleted.
void remove_stale_journal(const std::filesystem::path& path) {
    std::error_code ignored;
    std::filesystem::remove(path.string() + "-wal", ignored);
    std::filesystem::remove(path.string() + "-shm", ignored);
}

} // namespace

std::filesystem::path ContactStore::default_path() {
    return device_folder() / "contacts.db";
}

ContactStore::ContactStore(SqliteDatabase database, std::filesystem::path path)
    : m_database(std::move(database)), m_path(std::move(path)) {}

ContactStore::~ContactStore() = default;

std::unique_ptr<ContactStore> ContactStore::connect(const std::filesystem::path& path,
                                                    SqliteDatabase::Mode mode, const char* what,
                                                    StoreResult (ContactStore::*finish)(),
                                                    StoreResult& result) {
    std::unique_ptr<ContactStore> store;
    try {
        store.reset(
            new ContactStore(SqliteDatabase(path, mode,
                                            mode == SqliteDatabase::Mode::create
                                                ? std::nullopt
                                                : std::optional<int64_t>(contacts_application_id)),
                             path));
        store->m_page_size = std::max<int64_t>(store->m_database.pragma("page_size"), 512);
    } catch (const SqliteError& error) {
        result = failure(path, what, error);
        return nullptr;
    }
    result = (store.get()->*finish)();
    return result.ok() ? std::move(store) : nullptr;
}

std::unique_ptr<ContactStore> ContactStore::open(const std::filesystem::path& path,
                                                 StoreResult& result) {
    return open_existing(path, SqliteDatabase::Mode::existing, result);
}

std::unique_ptr<ContactStore> ContactStore::open_for_reading(const std::filesystem::path& path,
                                                             StoreResult& result) {
    return open_existing(path, SqliteDatabase::Mode::read_only, result);
}

std::unique_ptr<ContactStore> ContactStore::open_existing(const std::filesystem::path& path,
                                                          SqliteDatabase::Mode mode,
                                                          StoreResult& result) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        result = reported(StoreStatus::missing, "there is no contacts store at " + path.string());
        return nullptr;
    }
    return connect(path, mode, "opening", &ContactStore::check_schema, result);
}

std::unique_ptr<ContactStore> ContactStore::create(const std::filesystem::path& path,
                                                   StoreResult& result) {
    std::error_code error;
    if (std::filesystem::exists(path, error)) {
        result = reported(StoreStatus::exists, "a file is already at " + path.string());
        return nullptr;
    }
    remove_stale_journal(path);
    return connect(path, SqliteDatabase::Mode::create, "creating", &ContactStore::create_schema,
                   result);
}

template <typename Body>
StoreResult ContactStore::guarded(const char* what, Body body) {
    try {
        return body();
    } catch (const SqliteError& error) {
        return failure(m_path, what, error);
    }
}

StoreResult ContactStore::create_schema() {
    return guarded("creating", [&] {
        SqliteTransaction transaction(m_database);
        m_database.mark(contacts_application_id, schema_version);
        m_database.execute(schema_sql());
        transaction.commit();
        return StoreResult{};
    });
}

StoreResult ContactStore::check_schema() {
    return guarded("opening", [&] {
        if (!m_database.marked_as(contacts_application_id, schema_version)) {
            return reported(StoreStatus::unusable, m_path.string() + " is not a contacts store");
        }
        return StoreResult{};
    });
}

StoreResult ContactStore::read_quota(int64_t& bytes) {
    return guarded("reading the quota", [&] {
        SqliteStatement quota =
            m_database.prepare("SELECT value FROM settings WHERE name = 'quota_bytes'");
        if (!quota.step()) {
            return reported(StoreStatus::unusable, m_path.string() + " has lost its settings");
        }
        bytes = std::max<int64_t>(quota.integer(0), 0);
        return StoreResult{};
    });
}

// Page limits belong to a connection, not to the file, so each write transaction applies the
// quota stored in the file: a quota set by handsetctl reaches programs that are already running.
StoreResult ContactStore::apply_quota() {
    int64_t bytes = 0;
    StoreResult result = read_quota(bytes);
    if (!result.ok()) {
        return result;
    }
    const int64_t pages = bytes > 0 ? std::max<int64_t>(bytes / m_page_size, 1) : unlimited_pages;
    return guarded("applying the quota", [&] {
        m_database.execute("PRAGMA max_page_count = " + std::to_string(pages));
        return StoreResult{};
    });
}

std::optional<SqliteError> ContactStore::injected_failure(FaultPoint point) {
    if (!m_faults_honoured) {
        return std::nullopt;
    }
    const std::optional<Fault> fault = FaultTable(m_database).count(point, 0);
    if (!fault) {
        return std::nullopt;
    }
    return SqliteError(static_cast<int>(fault->error), describe_strike(*fault));
}

// One transaction, rolled back unless body and the commit succeed. A fault strikes where a real
// storage failure would, when the changes are committed, so that what body wrote is undone the
// same way.
template <typename Body>
StoreResult ContactStore::write(const char* what, std::optional<FaultPoint> point, Body body) {
    std::lock_guard lock(m_mutex);
    const StoreResult result = guarded(what, [&] {
        const std::optional<SqliteError> injected = point ? injected_failure(*point) : std::nullopt;
        SqliteTransaction transaction(m_database);
        StoreResult done = apply_quota();
        if (done.ok()) {
            done = body();
        }
        if (done.ok() && injected) {
            throw *injected;
        }
        if (done.ok()) {
            transaction.commit();
        }
        return done;
    });
    if (result.ok()) {
        ++m_own_changes;
    }
    return result;
}

StoreResult ContactStore::list(std::vector<ContactRecord>& contacts) {
    std::lock_guard lock(m_mutex);
    contacts.clear();
    const StoreResult result = guarded("listing the contacts", [&] {
        if (std::optional<SqliteError> injected = injected_failure(FaultPoint::contacts_read)) {
            throw *injected;
        }
        SqliteStatement rows = m_database.prepare(list_sql());
        while (rows.step()) {
            ContactRecord& contact = contacts.emplace_back();
            contact.id = rows.integer(0);
            for (size_t i = 0; i < contact_field_count; ++i) {
                contact.fields[i] = rows.text16(static_cast<int>(i + 1));
            }
        }
        return StoreResult{};
    });
    if (!result.ok()) {
        contacts.clear();
    }
    return result;
}

StoreResult ContactStore::insert_locked(ContactRecord& contact) {
    return guarded("saving a contact", [&] {
        SqliteStatement insert = m_database.prepare(insert_sql());
        bind_record(insert, contact);
        insert.run();
        contact.id = m_database.last_insert_id();
        return StoreResult{};
    });
}

StoreResult ContactStore::add(ContactRecord& contact) {
    ContactRecord stored = contact;
    StoreResult result =
        write("saving a contact", FaultPoint::contacts_save, [&] { return insert_locked(stored); });
    if (result.ok()) {
        contact.id = stored.id;
    }
    return result;
}

StoreResult ContactStore::add_all(std::vector<ContactRecord>& contacts) {
    std::vector<ContactRecord> stored = contacts;
    StoreResult result = write("saving contacts", FaultPoint::contacts_save, [&] {
        for (ContactRecord& contact : stored) {
            StoreResult one = insert_locked(contact);
            if (!one.ok()) {
                return one;
            }
        }
        return StoreResult{};
    });
    if (result.ok()) {
        contacts = std::move(stored);
    }
    return result;
}

StoreResult ContactStore::update(const ContactRecord& contact) {
    return write("saving a contact", FaultPoint::contacts_save, [&] {
        SqliteStatement change = m_database.prepare(update_sql());
        bind_record(change, contact);
        change.bind(static_cast<int>(contact_field_count + 2), contact.id);
        change.run();
        if (m_database.changed_rows() == 0) {
            return reported(StoreStatus::not_found,
                            "contact " + std::to_string(contact.id) + " is no longer in the store");
        }
        return StoreResult{};
    });
}

StoreResult ContactStore::remove(int64_t id) {
    return write("deleting a contact", FaultPoint::contacts_delete, [&] {
        m_database.prepare("DELETE FROM contacts WHERE id = ?1").bind(1, id).run();
        if (m_database.changed_rows() == 0) {
            return reported(StoreStatus::not_found,
                            "contact " + std::to_string(id) + " is not in the store");
        }
        return StoreResult{};
    });
}

StoreResult ContactStore::set_quota_bytes(uint64_t bytes) {
    const auto stored = static_cast<int64_t>(std::min<uint64_t>(bytes, INT64_MAX));
    return write("setting the quota", std::nullopt, [&] {
        // Lifting the limit first lets the change go through in a store that is full.
        m_database.execute("PRAGMA max_page_count = " + std::to_string(unlimited_pages));
        m_database.prepare("UPDATE settings SET value = ?1 WHERE name = 'quota_bytes'")
            .bind(1, stored)
            .run();
        return StoreResult{};
    });
}

StoreResult ContactStore::quota_bytes(uint64_t& bytes) {
    std::lock_guard lock(m_mutex);
    int64_t stored = 0;
    StoreResult result = read_quota(stored);
    bytes = static_cast<uint64_t>(stored);
    return result;
}

// A connection that cannot read the file's version gives a stamp no view has, so that a reader
// looks again.
ChangeStamp ContactStore::change_stamp() {
    std::lock_guard lock(m_mutex);
    try {
        return {m_database.data_version(), m_own_changes};
    } catch (const SqliteError&) {
        return {-1, m_own_changes};
    }
}

StoreResult ContactStore::check() {
    std::lock_guard lock(m_mutex);
    return guarded("checking the store", [&] {
        SqliteStatement quick_check = m_database.prepare("PRAGMA quick_check");
        quick_check.step();
        const std::string verdict = quick_check.text(0);
        if (verdict != "ok") {
            return reported(StoreStatus::unusable, m_path.string() + " is damaged: " + verdict);
        }
        return StoreResult{};
    });
}

StoreResult ContactStore::add_fault(Fault& fault) {
    std::lock_guard lock(m_mutex);
    return guarded("adding a fault", [&] {
        FaultTable(m_database).add(fault);
        return StoreResult{};
    });
}

StoreResult ContactStore::faults(std::vector<Fault>& faults) {
    std::lock_guard lock(m_mutex);
    return guarded("listing the faults", [&] {
        faults = FaultTable(m_database).list();
        return StoreResult{};
    });
}

StoreResult ContactStore::clear_faults(int64_t& cleared) {
    std::lock_guard lock(m_mutex);
    return guarded("clearing the faults", [&] {
        cleared = FaultTable(m_database).clear();
        return StoreResult{};
    });
}

} // namespace handset
