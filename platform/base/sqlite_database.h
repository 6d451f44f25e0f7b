// A connection to one SQLite file of the device folder, set up the way every such file is shared
// between processes: a write-ahead log, so that readers never wait for a writer; a busy timeout
// instead of an immediate "locked"; and full synchronisation, so that a change reported done
// survives a crash. The connection keeps the statements it has prepared. Failures throw
// SqliteError. Used by one thread at a time.
//
// A connection that only reads changes no file: it neither switches the file to the write-ahead
// log nor leaves a log beside it. An existing file is opened that way when asked (Mode::read_only)
// and when this process may not write the file or its folder (a device on read-only storage); its
// writes then fail as StorageFailure::read_only. Where the log's index cannot be made in such a
// folder, the file, which a clean close left without a log, is read as it lies on disk.
#pragma once

#include "base/sqlite_statement.h"
#include "base/statement_pool.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

struct sqlite3;

namespace handset {

class SqliteDatabase {
  public:
    enum class Mode { existing, read_only, create };

    // A missing file in Mode::existing or read_only is StorageFailure::cannot_open. With an
    // application_id, an existing file must carry it (see marked_as): an empty file or another
    // program's database is StorageFailure::damaged and is left exactly as it was.
    SqliteDatabase(const std::filesystem::path& file, Mode mode,
                   std::optional<int64_t> application_id = std::nullopt);
    ~SqliteDatabase();
    SqliteDatabase(SqliteDatabase&& other) noexcept;
    SqliteDatabase& operator=(SqliteDatabase&&) = delete;
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // Runs one or more statements that return no rows.
    void execute(std::string_view sql);
    // Borrows the statement from the connection's pool.
    SqliteStatement prepare(std::string_view sql);

    // The integer a pragma such as "page_size" answers.
    int64_t pragma(std::string_view name);
    // Which program's file this is, and the layout of its tables, as the file's header records
    // them; a new file has 0 and 0.
    bool marked_as(int64_t application_id, int64_t schema_version);
    void mark(int64_t application_id, int64_t schema_version);

    // Rows changed by the last INSERT, UPDATE or DELETE.
    int64_t changed_rows();
    int64_t last_insert_id();
    // Changes whenever another connection commits to the file; a cheap way to poll for news.
    int64_t data_version();
    // False between BEGIN and its COMMIT or ROLLBACK, and after SQLite rolled back by itself.
    bool in_transaction();
    // Whether this connection only reads (see above).
    bool read_only() const { return m_read_only; }

  private:
    void open(const std::string& name, int flags);
    void close();
    // Runs setup on the connection just opened, closing it again when setup throws.
    template <typename Setup>
    void set_up(Setup setup);
    // Writable: the write-ahead log, switched on after the file's identity is checked.
    void open_shared(const std::filesystem::path& file, Mode mode,
                     std::optional<int64_t> application_id);
    // On storage this process may not write, where the log's index may not be made either.
    void open_on_read_only_storage(const std::filesystem::path& file,
                                   std::optional<int64_t> application_id);
    // Reads the file's header: a file that is no database fails here.
    void check_identity(std::optional<int64_t> application_id);

    sqlite3* m_database = nullptr;
    // Its own allocation, so that statements keep their pool when the connection is moved.
    std::unique_ptr<StatementPool> m_statements;
    bool m_read_only = false;
};

} // namespace handset
