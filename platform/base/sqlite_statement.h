// One prepared SQLite statement, borrowed from its connection's pool for as long as it lives:
// bind, step through the rows, read columns. Errors throw SqliteError. Wide text crosses into
// SQLite as UTF-8 and comes back as UTF-16.
#pragma once

#include "base/statement_pool.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace handset {

class SqliteStatement {
  public:
    SqliteStatement(StatementPool& pool, std::string_view sql);
    ~SqliteStatement();
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&&) = delete;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Parameters count from 1, as in the SQL text.
    SqliteStatement& bind(int parameter, int64_t value);
    SqliteStatement& bind(int parameter, std::basic_string_view<uint8_t> blob);
    SqliteStatement& bind(int parameter, std::string_view utf8);
    SqliteStatement& bind(int parameter, std::u16string_view text);
    SqliteStatement& bind_null(int parameter);

    // True while there is a row to read.
    bool step();
    // Runs a statement that returns no rows.
    void run();

    // Columns count from 0.
    int64_t integer(int column) const;
    std::basic_string<uint8_t> blob(int column) const;
    std::string text(int column) const;
    std::u16string text16(int column) const;
    bool is_null(int column) const;

  private:
    void check(int result) const;

    sqlite3* m_database;
    StatementPool::Shelf* m_shelf;
    sqlite3_stmt* m_statement;
};

} // namespace handset
