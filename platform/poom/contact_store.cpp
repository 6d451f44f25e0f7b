#include "poom/contact_store.h"

#include "base/debug_output.h"
#include "base/device_folder.h"
#include "base/utf.h"
#include "poom/sqlite_statement.h"

#include <sqlite3.h>

#include <algorithm>
#include <string>

namespace handset {

namespace {

// Long enough for any other process's single-contact transaction, short enough that a stuck
// process shows up as a failed call rather than a hung program.
constexpr int busy_timeout_ms = 5000;

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
    statement.bind(1, contact.file_as());
    for (size_t i = 0; i < contact_field_count; ++i) {
        statement.bind(static_cast<int>(i + 2), contact.fields[i]);
    }
}

StoreStatus status_of(int code) {
    switch (code & 0xff) {
    case SQLITE_FULL:
        return StoreStatus::full;
    case SQLITE_NOMEM:
        return StoreStatus::no_memory;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return StoreStatus::busy;
    default:
        return StoreStatus::unusable;
    }
}

StoreResult reported(StoreStatus status, std::string detail) {
    debug_printf("contacts store: %s", detail.c_str());
    return {status, std::move(detail)};
}

// A new store must not pick up the journal of a store that was deleted.
void remove_stale_journal(const std::filesystem::path& path) {
    std::error_code ignored;
    std::filesystem::remove(path.string() + "-wal", ignored);
    std::filesystem::remove(path.string() + "-shm", ignored);
}

sqlite3* open_connection(const std::filesystem::path& path, int flags, int& code) {
    sqlite3* db = nullptr;
    code = sqlite3_open_v2(path.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    return db;
}

} // namespace

std::filesystem::path ContactStore::default_path() {
    return device_folder() / "contacts.db";
}

ContactStore::ContactStore(sqlite3* db, std::filesystem::path path)
    : m_db(db), m_path(std::move(path)) {}

ContactStore::~ContactStore() {
    sqlite3_close(m_db);
}

std::unique_ptr<ContactStore> ContactStore::connect(const std::filesystem::path& path, int flags,
                                                    const char* what,
                                                    StoreResult (ContactStore::*finish)(),
                                                    StoreResult& result) {
    int code = SQLITE_OK;
    sqlite3* db = open_connection(path, flags, code);
    // The store owns the connection from here on, even one that failed to open.
    std::unique_ptr<ContactStore> store(new ContactStore(db, path));
    result = code == SQLITE_OK ? store->prepare_connection() : store->failure(what, code);
    if (result.ok()) {
        result = (store.get()->*finish)();
    }
    return result.ok() ? std::move(store) : nullptr;
}

std::unique_ptr<ContactStore> ContactStore::open(const std::filesystem::path& path,
                                                 StoreResult& result) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        result = reported(StoreStatus::missing, "there is no contacts store at " + path.string());
        return nullptr;
    }
    return connect(path, SQLITE_OPEN_READWRITE, "opening", &ContactStore::check_schema, result);
}

std::unique_ptr<ContactStore> ContactStore::create(const std::filesystem::path& path,
                                                   StoreResult& result) {
    std::error_code error;
    if (std::filesystem::exists(path, error)) {
        result = reported(StoreStatus::exists, "a file is already at " + path.string());
        return nullptr;
    }
    remove_stale_journal(path);
    return connect(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, "creating",
                   &ContactStore::create_schema, result);
}

StoreResult ContactStore::failure(const char* what, int code) {
    const char* reason = m_db != nullptr ? sqlite3_errmsg(m_db) : sqlite3_errstr(code);
    return reported(status_of(code),
                    std::string(what) + " failed: " + reason + " (" + m_path.string() + ")");
}

StoreResult ContactStore::execute(const char* what, const char* sql) {
    const int code = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    return code == SQLITE_OK ? StoreResult{} : failure(what, code);
}

// The first statements read the file's header, so a file that is no database fails here.
StoreResult ContactStore::prepare_connection() {
    sqlite3_busy_timeout(m_db, busy_timeout_ms);
    SqliteStatement journal(m_db, "PRAGMA journal_mode = WAL");
    const int code = journal.step();
    if (code != SQLITE_ROW) {
        return failure("opening", code);
    }
    if (journal.column_text(0) != u"wal") {
        return reported(StoreStatus::unusable,
                        "cannot share " + m_path.string() + " between processes (no WAL journal)");
    }
    // A save reported done must survive a crash of the process or of the device.
    StoreResult result = execute("opening", "PRAGMA synchronous = FULL");
    SqliteStatement page_size(m_db, "PRAGMA page_size");
    if (result.ok() && page_size.step() == SQLITE_ROW) {
        m_page_size = std::max<int64_t>(page_size.column_int64(0), 512);
    }
    return result;
}

StoreResult ContactStore::create_schema() {
    const std::string sql = "BEGIN IMMEDIATE;"
                            "PRAGMA application_id = " +
                            std::to_string(contacts_application_id) +
                            ";"
                            "PRAGMA user_version = " +
                            std::to_string(schema_version) + ";" + schema_sql() + "COMMIT;";
    return execute("creating", sql.c_str());
}

StoreResult ContactStore::check_schema() {
    SqliteStatement application(m_db, "PRAGMA application_id");
    SqliteStatement version(m_db, "PRAGMA user_version");
    int code = application.step();
    if (code == SQLITE_ROW) {
        code = version.step();
    }
    if (code != SQLITE_ROW) {
        return failure("opening", code);
    }
    if (application.column_int64(0) != contacts_application_id ||
        version.column_int64(0) != schema_version) {
        return reported(StoreStatus::unusable, m_path.string() + " is not a contacts store");
    }
    return {};
}

StoreResult ContactStore::read_quota(int64_t& bytes) {
    SqliteStatement quota(m_db, "SELECT value FROM settings WHERE name = 'quota_bytes'");
    const int code = quota.step();
    if (code == SQLITE_DONE) {
        return reported(StoreStatus::unusable, m_path.string() + " has lost its settings");
    }
    if (code != SQLITE_ROW) {
        return failure("reading the quota", code);
    }
    bytes = std::max<int64_t>(quota.column_int64(0), 0);
    return {};
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
    const std::string limit = "PRAGMA max_page_count = " + std::to_string(pages);
    return execute("applying the quota", limit.c_str());
}

template <typename Body>
StoreResult ContactStore::write(const char* what, Body body) {
    std::lock_guard lock(m_mutex);
    StoreResult result = execute(what, "BEGIN IMMEDIATE");
    if (!result.ok()) {
        return result;
    }
    result = apply_quota();
    if (result.ok()) {
        result = body();
    }
    if (result.ok()) {
        result = execute(what, "COMMIT");
    }
    if (!result.ok()) {
        // Some failures (a full disk among them) have rolled back already.
        if (sqlite3_get_autocommit(m_db) == 0) {
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        }
        return result;
    }
    ++m_own_changes;
    return result;
}

StoreResult ContactStore::list(std::vector<ContactRecord>& contacts) {
    std::lock_guard lock(m_mutex);
    contacts.clear();
    SqliteStatement rows(m_db, list_sql().c_str());
    int code;
    while ((code = rows.step()) == SQLITE_ROW) {
        ContactRecord& contact = contacts.emplace_back();
        contact.id = rows.column_int64(0);
        for (size_t i = 0; i < contact_field_count; ++i) {
            contact.fields[i] = rows.column_text(static_cast<int>(i + 1));
        }
    }
    if (code != SQLITE_DONE) {
        contacts.clear();
        return failure("listing the contacts", code);
    }
    return {};
}

StoreResult ContactStore::insert_locked(ContactRecord& contact) {
    SqliteStatement insert(m_db, insert_sql().c_str());
    bind_record(insert, contact);
    const int code = insert.step();
    if (code != SQLITE_DONE) {
        return failure("saving a contact", code);
    }
    contact.id = sqlite3_last_insert_rowid(m_db);
    return {};
}

StoreResult ContactStore::add(ContactRecord& contact) {
    ContactRecord stored = contact;
    StoreResult result = write("saving a contact", [&] { return insert_locked(stored); });
    if (result.ok()) {
        contact.id = stored.id;
    }
    return result;
}

StoreResult ContactStore::add_all(std::vector<ContactRecord>& contacts) {
    std::vector<ContactRecord> stored = contacts;
    StoreResult result = write("saving contacts", [&] {
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
    return write("saving a contact", [&] {
        SqliteStatement change(m_db, update_sql().c_str());
        bind_record(change, contact);
        change.bind(static_cast<int>(contact_field_count + 2), contact.id);
        const int code = change.step();
        if (code != SQLITE_DONE) {
            return failure("saving a contact", code);
        }
        if (sqlite3_changes(m_db) == 0) {
            return reported(StoreStatus::not_found,
                            "contact " + std::to_string(contact.id) + " is no longer in the store");
        }
        return StoreResult{};
    });
}

StoreResult ContactStore::remove(int64_t id) {
    return write("deleting a contact", [&] {
        SqliteStatement erase(m_db, "DELETE FROM contacts WHERE id = ?1");
        erase.bind(1, id);
        const int code = erase.step();
        if (code != SQLITE_DONE) {
            return failure("deleting a contact", code);
        }
        if (sqlite3_changes(m_db) == 0) {
            return reported(StoreStatus::not_found,
                            "contact " + std::to_string(id) + " is not in the store");
        }
        return StoreResult{};
    });
}

StoreResult ContactStore::set_quota_bytes(uint64_t bytes) {
    const auto stored = static_cast<int64_t>(std::min<uint64_t>(bytes, INT64_MAX));
    return write("setting the quota", [&] {
        // Lifting the limit first lets the change go through in a store that is full.
        StoreResult result =
            execute("setting the quota",
                    ("PRAGMA max_page_count = " + std::to_string(unlimited_pages)).c_str());
        if (!result.ok()) {
            return result;
        }
        SqliteStatement change(m_db, "UPDATE settings SET value = ?1 WHERE name = 'quota_bytes'");
        change.bind(1, stored);
        const int code = change.step();
        return code == SQLITE_DONE ? StoreResult{} : failure("setting the quota", code);
    });
}

StoreResult ContactStore::quota_bytes(uint64_t& bytes) {
    std::lock_guard lock(m_mutex);
    int64_t stored = 0;
    StoreResult result = read_quota(stored);
    bytes = static_cast<uint64_t>(stored);
    return result;
}

ChangeStamp ContactStore::change_stamp() {
    std::lock_guard lock(m_mutex);
    SqliteStatement version(m_db, "PRAGMA data_version");
    const int64_t others = version.step() == SQLITE_ROW ? version.column_int64(0) : -1;
    return {others, m_own_changes};
}

StoreResult ContactStore::check() {
    std::lock_guard lock(m_mutex);
    SqliteStatement quick_check(m_db, "PRAGMA quick_check");
    const int code = quick_check.step();
    if (code != SQLITE_ROW) {
        return failure("checking the store", code);
    }
    const std::u16string verdict = quick_check.column_text(0);
    if (verdict != u"ok") {
        return reported(StoreStatus::unusable,
                        m_path.string() + " is damaged: " + utf16_to_utf8(verdict));
    }
    return {};
}

} // namespace handset
