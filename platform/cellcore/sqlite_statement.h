// One prepared SQLite statement: bind, step through the rows, read columns. Errors throw
// SqliteError.
#pragma once

#include "cellcore/bytes.h"

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace handset {

class SqliteStatement {
  public:
    SqliteStatement(sqlite3* database, std::string_view sql);
    ~SqliteStatement();
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&&) = delete;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Parameters count from 1, as in the SQL text.
    SqliteStatement& bind(int parameter, int64_t value);
    SqliteStatement& bind(int parameter, ByteView blob);
    SqliteStatement& bind(int parameter, std::string_view text);
    SqliteStatement& bind_null(int parameter);

    // True while there is a row to read.
    bool step();
    // Runs a statement that returns no rows.
    void run();

    // Columns count from 0.
    int64_t integer(int column) const;
    Bytes blob(int column) const;
    std::string text(int column) const;
    bool is_null(int column) const;

  private:
    void check(int result) const;

    sqlite3* m_database;
    sqlite3_stmt* m_statement = nullptr;
};

} // namespace handset
