// A connection to one SQLite file, set up the way every device file is shared between processes:
// write-ahead log, a busy timeout instead of an immediate "locked", and full synchronisation so
// that a change reported done survives a crash.
#pragma once

#include "cellcore/sqlite_statement.h"

#include <filesystem>
#include <string_view>

struct sqlite3;

namespace handset {

class SqliteDatabase {
  public:
    enum class Mode { existing, create };

    // Throws SqliteError; an existing file that is missing gives SQLITE_CANTOPEN.
    SqliteDatabase(const std::filesystem::path& file, Mode mode);
    ~SqliteDatabase();
    SqliteDatabase(SqliteDatabase&& other) noexcept;
    SqliteDatabase& operator=(SqliteDatabase&&) = delete;
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // Runs one or more statements that return no rows.
    void execute(std::string_view sql);
    SqliteStatement prepare(std::string_view sql);
    // Rows changed by the last INSERT, UPDATE or DELETE.
    int64_t changed_rows();
    // Changes whenever another connection commits to the file; a cheap way to poll for news.
    int64_t data_version();

  private:
    sqlite3* m_database = nullptr;
};

// One write transaction, taken at once (BEGIN IMMEDIATE) so that a read-then-write cannot race
// another process. Rolled back unless committed.
class SqliteTransaction {
  public:
    explicit SqliteTransaction(SqliteDatabase& database);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    void commit();

  private:
    SqliteDatabase& m_database;
    bool m_done = false;
};

} // namespace handset
