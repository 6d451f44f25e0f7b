#include "cellcore/sqlite_statement.h"

#include "cellcore/sqlite_error.h"

#include <sqlite3.h>

#include <utility>

namespace handset::sqlite {

StatementPool::~StatementPool() {
    for (auto& [sql, shelf] : m_idle) {
        for (sqlite3_stmt* statement : shelf.idle) {
            sqlite3_finalize(statement);
        }
    }
}

StatementPool::Loan StatementPool::take(std::string_view sql) {
    auto found = m_idle.find(sql);
    if (found == m_idle.end()) {
        found = m_idle.emplace(std::string(sql), Shelf()).first;
    }
    Shelf& shelf = found->second;
    if (!shelf.idle.empty()) {
        sqlite3_stmt* statement = shelf.idle.back();
        shelf.idle.pop_back();
        return {statement, &shelf};
    }
    sqlite3_stmt* statement = nullptr;
    const int result = sqlite3_prepare_v2(m_database, sql.data(), static_cast<int>(sql.size()),
                                          &statement, nullptr);
    if (result != SQLITE_OK) {
        sqlite3_finalize(statement);
        throw Error(result, sqlite3_errmsg(m_database));
    }
    // Room for every statement of this text to come back, so that giving one back cannot fail.
    try {
        shelf.idle.reserve(shelf.prepared + 1);
    } catch (...) {
        sqlite3_finalize(statement);
        throw;
    }
    ++shelf.prepared;
    return {statement, &shelf};
}

// The reset's result repeats the last step's error, which that step already reported.
void StatementPool::give_back(const Loan& loan) {
    sqlite3_reset(loan.statement);
    sqlite3_clear_bindings(loan.statement);
    loan.shelf->idle.push_back(loan.statement);
}

Statement::Statement(StatementPool& pool, std::string_view sql) : m_database(pool.database()) {
    const StatementPool::Loan loan = pool.take(sql);
    m_shelf = loan.shelf;
    m_statement = loan.statement;
}

Statement::~Statement() {
    if (m_statement) {
        StatementPool::give_back({m_statement, m_shelf});
    }
}

Statement::Statement(Statement&& other) noexcept
    : m_database(other.m_database), m_shelf(other.m_shelf),
      m_statement(std::exchange(other.m_statement, nullptr)) {}

Statement& Statement::bind(int parameter, int64_t value) {
    check(sqlite3_bind_int64(m_statement, parameter, value));
    return *this;
}

Statement& Statement::bind(int parameter, ByteView blob) {
    // A zero-length blob with a null pointer would bind NULL; point at something instead.
    static constexpr uint8_t nothing = 0;
    check(sqlite3_bind_blob(m_statement, parameter, blob.empty() ? &nothing : blob.data(),
                            static_cast<int>(blob.size()), SQLITE_TRANSIENT));
    return *this;
}

Statement& Statement::bind(int parameter, std::string_view text) {
    check(sqlite3_bind_text(m_statement, parameter, text.data(), static_cast<int>(text.size()),
                            SQLITE_TRANSIENT));
    return *this;
}

Statement& Statement::bind_null(int parameter) {
    check(sqlite3_bind_null(m_statement, parameter));
    return *this;
}

bool Statement::step() {
    const int result = sqlite3_step(m_statement);
    if (result == SQLITE_ROW) {
        return true;
    }
    if (result == SQLITE_DONE) {
        return false;
    }
    check(result);
    return false;
}

void Statement::run() {
    while (step()) {
    }
}

int64_t Statement::integer(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

Bytes Statement::blob(int column) const {
    const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(m_statement, column));
    const int size = sqlite3_column_bytes(m_statement, column);
    return data ? Bytes(data, static_cast<size_t>(size)) : Bytes();
}

std::string Statement::text(int column) const {
    const auto* data = sqlite3_column_text(m_statement, column);
    const int size = sqlite3_column_bytes(m_statement, column);
    return data ? std::string(reinterpret_cast<const char*>(data), static_cast<size_t>(size))
                : std::string();
}

bool Statement::is_null(int column) const {
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

void Statement::check(int result) const {
    if (result != SQLITE_OK) {
        throw Error(result, sqlite3_errmsg(m_database));
    }
}

} // namespace handset::sqlite
