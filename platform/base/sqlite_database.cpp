#include "base/sqlite_database.h"

#include "base/sqlite_error.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <string>
#include <utility>

namespace handset {

namespace {

// Long enough for another process's transaction of a few changes, short enough that a stuck
// process shows up as a failed call rather than a hung program.
constexpr int busy_timeout_ms = 5000;

} // namespace

SqliteDatabase::SqliteDatabase(const std::filesystem::path& file, Mode mode) {
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX |
                      (mode == Mode::create ? SQLITE_OPEN_CREATE : 0);
    const int result = sqlite3_open_v2(file.c_str(), &m_database, flags, nullptr);
    if (result != SQLITE_OK) {
        const std::string message =
            m_database ? sqlite3_errmsg(m_database) : sqlite3_errstr(result);
        sqlite3_close(m_database);
        m_database = nullptr;
        throw SqliteError(result, message);
    }
    // The device's files hold personal data. SQLite gives its -wal and -shm files the mode of the
    // database, so this one change covers them too.
    if (mode == Mode::create) {
        ::chmod(file.c_str(), 0600);
    }
    sqlite3_extended_result_codes(m_database, 1);
    sqlite3_busy_timeout(m_database, busy_timeout_ms);
    try {
        m_statements = std::make_unique<StatementPool>(m_database);
        // The first statement reads the file's header, so a file that is no database fails here.
        SqliteStatement journal = prepare("PRAGMA journal_mode = WAL");
        if (!journal.step() || journal.text(0) != "wal") {
            throw SqliteError(SQLITE_IOERR, "the file cannot be shared between processes (no "
                                            "write-ahead log)");
        }
        execute("PRAGMA synchronous = FULL");
    } catch (...) {
        m_statements.reset();
        sqlite3_close(m_database);
        throw;
    }
}

// The pooled statements are finalized first: a connection closes only when none is left.
SqliteDatabase::~SqliteDatabase() {
    m_statements.reset();
    sqlite3_close(m_database);
}

SqliteDatabase::SqliteDatabase(SqliteDatabase&& other) noexcept
    : m_database(std::exchange(other.m_database, nullptr)),
      m_statements(std::move(other.m_statements)) {}

void SqliteDatabase::execute(std::string_view sql) {
    const std::string statements(sql);
    char* message = nullptr;
    const int result = sqlite3_exec(m_database, statements.c_str(), nullptr, nullptr, &message);
    if (result != SQLITE_OK) {
        const std::string text = message ? message : sqlite3_errstr(result);
        sqlite3_free(message);
        throw SqliteError(sqlite3_extended_errcode(m_database), text);
    }
}

SqliteStatement SqliteDatabase::prepare(std::string_view sql) {
    return SqliteStatement(*m_statements, sql);
}

int64_t SqliteDatabase::pragma(std::string_view name) {
    SqliteStatement value = prepare("PRAGMA " + std::string(name));
    value.step();
    return value.integer(0);
}

bool SqliteDatabase::marked_as(int64_t application_id, int64_t schema_version) {
    return pragma("application_id") == application_id && pragma("user_version") == schema_version;
}

void SqliteDatabase::mark(int64_t application_id, int64_t schema_version) {
    execute("PRAGMA application_id = " + std::to_string(application_id) +
            "; PRAGMA user_version = " + std::to_string(schema_version));
}

int64_t SqliteDatabase::changed_rows() {
    return sqlite3_changes64(m_database);
}

int64_t SqliteDatabase::last_insert_id() {
    return sqlite3_last_insert_rowid(m_database);
}

int64_t SqliteDatabase::data_version() {
    return pragma("data_version");
}

bool SqliteDatabase::in_transaction() {
    return sqlite3_get_autocommit(m_database) == 0;
}

} // namespace handset
