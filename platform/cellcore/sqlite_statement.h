// One prepared SQLite statement: bind, step through the rows, read columns. Errors throw
// Error.
#pragma once

#include "cellcore/bytes.h"

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace handset::sqlite {

class Statement {
  public:
    Statement(sqlite3* database, std::string_view sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Parameters count from 1, as in the SQL text.
    Statement& bind(int parameter, int64_t value);
    Statement& bind(int parameter, ByteView blob);
    Statement& bind(int parameter, std::string_view text);
    Statement& bind_null(int parameter);

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

} // namespace handset::sqlite
