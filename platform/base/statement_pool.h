// The idle prepared statements of one connection, by their SQL text.
//
// Preparing costs far more than running a short query, so a connection keeps what it has
// prepared: a statement is borrowed from the pool and given back, reset and unbound, when its
// user is done. Used, like the connection, by one thread at a time.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace handset {

class StatementPool {
  public:
    explicit StatementPool(sqlite3* database) : m_database(database) {}
    // Finalizes every idle statement: a connection closes only when none is left.
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

    // An idle statement for sql, or a newly prepared one. Throws SqliteError.
    Loan take(std::string_view sql);
    // Cannot fail: the shelf has room for every statement of its text.
    static void give_back(const Loan& loan);

    sqlite3* database() const { return m_database; }

  private:
    sqlite3* m_database;
    std::map<std::string, Shelf, std::less<>> m_idle;
};

} // namespace handset
