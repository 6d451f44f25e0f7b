#include "cellcore/sqlite_database.h"

#include "cellcore/sqlite_error.h"

#include <sqlite3.h>

#include <string>
#include <utility>

namespace handset {

namespace {

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
    sqlite3_extended_result_codes(m_database, 1);
    sqlite3_busy_timeout(m_database, busy_timeout_ms);
    try {
        execute("PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL;");
    } catch (...) {
        sqlite3_close(m_database);
        throw;
    }
}

SqliteDatabase::~SqliteDatabase() {
    sqlite3_close(m_database);
}

SqliteDatabase::SqliteDatabase(SqliteDatabase&& other) noexcept
    : m_database(std::exchange(other.m_database, nullptr)) {}

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
    return SqliteStatement(m_database, sql);
}

int64_t SqliteDatabase::changed_rows() {
    return sqlite3_changes64(m_database);
}

int64_t SqliteDatabase::data_version() {
    SqliteStatement statement = prepare("PRAGMA data_version");
    statement.step();
    return statement.integer(0);
}

SqliteTransaction::SqliteTransaction(SqliteDatabase& database) : m_database(database) {
    m_database.execute("BEGIN IMMEDIATE");
}

SqliteTransaction::~SqliteTransaction() {
    if (!m_done) {
        try {
            m_database.execute("ROLLBACK");
        } catch (const SqliteError&) {
            // The transaction is already gone (SQLite rolls back on some errors by itself).
        }
    }
}

void SqliteTransaction::commit() {
    m_database.execute("COMMIT");
    m_done = true;
}

} // namespace handset
