#include "base/sqlite_statement.h"

#include "base/sqlite_error.h"
#include "base/utf.h"

#include <sqlite3.h>

#include <utility>

namespace handset {

SqliteStatement::SqliteStatement(StatementPool& pool, std::string_view sql)
    : m_database(pool.database()) {
    const StatementPool::Loan loan = pool.take(sql);
    m_shelf = loan.shelf;
    m_statement = loan.statement;
}

SqliteStatement::~SqliteStatement() {
    if (m_statement) {
        StatementPool::give_back({m_statement, m_shelf});
    }
}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : m_database(other.m_database), m_shelf(other.m_shelf),
      m_statement(std::exchange(other.m_statement, nullptr)) {}

SqliteStatement& SqliteStatement::bind(int parameter, int64_t value) {
    check(sqlite3_bind_int64(m_statement, parameter, value));
    return *this;
}

SqliteStatement& SqliteStatement::bind(int parameter, std::basic_string_view<uint8_t> blob) {
    // A zero-length blob with a null pointer would bind NULL; point at something instead.
    static constexpr uint8_t nothing = 0;
    check(sqlite3_bind_blob(m_statement, parameter, blob.empty() ? &nothing : blob.data(),
                            static_cast<int>(blob.size()), SQLITE_TRANSIENT));
    return *this;
}

SqliteStatement& SqliteStatement::bind(int parameter, std::string_view utf8) {
    check(sqlite3_bind_text(m_statement, parameter, utf8.data(), static_cast<int>(utf8.size()),
                            SQLITE_TRANSIENT));
    return *this;
}

SqliteStatement& SqliteStatement::bind(int parameter, std::u16string_view text) {
    return bind(parameter, std::string_view(utf16_to_utf8(text)));
}

SqliteStatement& SqliteStatement::bind_null(int parameter) {
    check(sqlite3_bind_null(m_statement, parameter));
    return *this;
}

bool SqliteStatement::step() {
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

void SqliteStatement::run() {
    while (step()) {
    }
}

int64_t SqliteStatement::integer(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

std::basic_string<uint8_t> SqliteStatement::blob(int column) const {
    const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(m_statement, column));
    const int size = sqlite3_column_bytes(m_statement, column);
    return data ? std::basic_string<uint8_t>(data, static_cast<size_t>(size))
                : std::basic_string<uint8_t>();
}

std::string SqliteStatement::text(int column) const {
    const auto* data = sqlite3_column_text(m_statement, column);
    const int size = sqlite3_column_bytes(m_statement, column);
    return data ? std::string(reinterpret_cast<const char*>(data), static_cast<size_t>(size))
                : std::string();
}

std::u16string SqliteStatement::text16(int column) const {
    return utf8_to_utf16(text(column));
}

bool SqliteStatement::is_null(int column) const {
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

void SqliteStatement::check(int result) const {
    if (result != SQLITE_OK) {
        throw SqliteError(result, sqlite3_errmsg(m_database));
    }
}

} // namespace handset
