// One prepared SQLite statement: bind, step through the rows, read columns. Errors throw
// Error.
//
// Preparing costs far more than running a short query, so a connection keeps the statements it
// has prepared: a Statement borrows one from its connection's pool and gives it back, reset and
// unbound, when it goes away.
#pragma once

#include "cellcore/bytes.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace handset::sqlite {

// The idle prepared statements of one connection, by their SQL text. Used, like the connection,
// by one thread at a time.
class StatementPool {
  public:
    explicit StatementPool(sqlite3* database) : m_database(database) {}
    ~StatementPool();
    StatementPool(const StatementPool&) = delete;
    StatementPool& operator=(const StatementPool&) = delete;

    struct Shelf {
        std::vector<sqlite3_stmt*> idle;
        size_t prepared = 0;
    };
    struct Loan {
        sqlite3_stmt* statement;
        // Where it goes back: the idle statements of the same SQL text.
        Shelf* shelf;
    };

    // An idle statement for `sql`, or a newly prepared one. Throws Error.
    Loan take(std::string_view sql);
    static void give_back(const Loan& loan);

    sqlite3* database() const { return m_database; }

  private:
    sqlite3* m_database;
    std::map<std::string, Shelf, std::less<>> m_idle;
};

class Statement {
  public:
    Statement(StatementPool& pool, std::string_view sql);
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
    StatementPool::Shelf* m_shelf;
    sqlite3_stmt* m_statement;
};

} // namespace handset::sqlite
