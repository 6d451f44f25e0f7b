#include "poom/sqlite_statement.h"

#include "base/utf.h"

namespace handset {

SqliteStatement::SqliteStatement(sqlite3* db, const char* sql)
    : m_prepare_status(sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr)) {}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(m_statement);
}

// Binding to a statement that failed to prepare is skipped; its step() reports the failure.
void SqliteStatement::bind(int index, std::u16string_view text) {
    if (m_statement == nullptr) {
        return;
    }
    const std::string utf8 = utf16_to_utf8(text);
    sqlite3_bind_text(m_statement, index, utf8.data(), static_cast<int>(utf8.size()),
                      SQLITE_TRANSIENT);
}

void SqliteStatement::bind(int index, int64_t value) {
    if (m_statement == nullptr) {
        return;
    }
    sqlite3_bind_int64(m_statement, index, value);
}

int SqliteStatement::step() {
    if (m_prepare_status != SQLITE_OK) {
        return m_prepare_status;
    }
    return sqlite3_step(m_statement);
}

std::u16string SqliteStatement::column_text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    if (text == nullptr) {
        return {};
    }
    return utf8_to_utf16(std::string_view(text, sqlite3_column_bytes(m_statement, column)));
}

int64_t SqliteStatement::column_int64(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

} // namespace handset
