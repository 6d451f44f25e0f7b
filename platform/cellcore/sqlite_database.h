// A connection to one SQLite file, set up the way every device file is shared between processes:
// write-ahead log, a busy timeout instead of an immediate "locked", and full synchronisation so
// that a change reported done survives a crash.
#pragma once

#include "cellcore/sqlite_statement.h"

#include <filesystem>
#include <memory>
#include <string_view>

struct sqlite3;

namespace handset::sqlite {

class Database {
  public:
    enum class Mode { existing, create };

    // Throws Error; an existing file that is missing gives SQLITE_CANTOPEN.
    Database(const std::filesystem::path& file, Mode mode);
    ~Database();
    Database(Database&& other) noexcept;
    Database& operator=(Database&&) = delete;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Runs one or more statements that return no rows.
    void execute(std::string_view sql);
    Statement prepare(std::string_view sql);
    // Rows changed by the last INSERT, UPDATE or DELETE.
    int64_t changed_rows();
    // Changes whenever another connection commits to the file; a cheap way to poll for news.
    int64_t data_version();

  private:
    sqlite3* m_database = nullptr;
    // Its own allocation, so that statements keep their pool when the connection is moved.
    std::unique_ptr<StatementPool> m_statements;
};

// One write transaction, taken at once (BEGIN IMMEDIATE) so that a read-then-write cannot race
// another process. Rolled back unless committed.
class Transaction {
  public:
    explicit Transaction(Database& database);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

  private:
    Database& m_database;
    bool m_done = false;
};

} // namespace handset::sqlite
