#include "cellcore/sqlite_statement.h"

#include "cellcore/sqlite_error.h"

#include <sqlite3.h>

#include <utility>

namespace handset::sqlite {

Statement::Statement(sqlite3* database, std::string_view sql) : m_database(database) {
    check(sqlite3_prepare_v2(database, sql.data(), static_cast<int>(sql.size()), &m_statement,
                             nullptr));
}

Statement::~Statement() {
    sqlite3_finalize(m_statement);
}

Statement::Statement(Statement&& other) noexcept
    : m_database(other.m_database), m_statement(std::exchange(other.m_statement, nullptr)) {}

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
