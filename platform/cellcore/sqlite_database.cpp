#include "cellcore/sqlite_database.h"

#include "cellcore/sqlite_error.h"

#include <sqlite3.h>

#include <string>
#include <utility>

namespace handset::sqlite {

namespace {

constexpr int busy_timeout_ms = 5000;

} // namespace

Database::Database(const std::filesystem::path& file, Mode mode) {
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX |
                      (mode == Mode::create ? SQLITE_OPEN_CREATE : 0);
    const int result = sqlite3_open_v2(file.c_str(), &m_database, flags, nullptr);
    if (result != SQLITE_OK) {
        const std::string message =
            m_database ? sqlite3_errmsg(m_database) : sqlite3_errstr(result);
        sqlite3_close(m_database);
        m_database = nullptr;
        throw Error(result, message);
    }
    sqlite3_extended_result_codes(m_database, 1);
    sqlite3_busy_timeout(m_database, busy_timeout_ms);
    try {
        execute("PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL;");
        m_statements = std::make_unique<StatementPool>(m_database);
    } catch (...) {
        sqlite3_close(m_database);
        throw;
    }
}

// The pooled statements are finalized first: a connection closes only when none is left.
Database::~Database() {
    m_statements.reset();
    sqlite3_close(m_database);
}

Database::Database(Database&& other) noexcept
    : m_database(std::exchange(other.m_database, nullptr)),
      m_statements(std::move(other.m_statements)) {}

void Database::execute(std::string_view sql) {
    const std::string statements(sql);
    char* message = nullptr;
    const int result = sqlite3_exec(m_database, statements.c_str(), nullptr, nullptr, &message);
    if (result != SQLITE_OK) {
        const std::string text = message ? message : sqlite3_errstr(result);
        sqlite3_free(message);
        throw Error(sqlite3_extended_errcode(m_database), text);
    }
}

Statement Database::prepare(std::string_view sql) {
    return Statement(*m_statements, sql);
}

int64_t Database::changed_rows() {
    return sqlite3_changes64(m_database);
}

int64_t Database::data_version() {
    Statement statement = prepare("PRAGMA data_version");
    statement.step();
    return statement.integer(0);
}

Transaction::Transaction(Database& database) : m_database(database) {
    m_database.execute("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    if (!m_done) {
        try {
            m_database.execute("ROLLBACK");
        } catch (const Error&) {
            // The transaction is already gone (SQLite rolls back on some errors by itself).
        }
    }
}

void Transaction::commit() {
    m_database.execute("COMMIT");
    m_done = true;
}

} // namespace handset::sqlite
