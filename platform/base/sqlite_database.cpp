#include "base/sqlite_database.h"

#include "base/sqlite_error.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include <string>
#include <utility>

namespace handset {

namespace {

// Long enough for another process's transaction of a few changes, short enough that a stuck
// process shows up as a failed call rather than a hung program.
constexpr int busy_timeout_ms = 5000;

// Whether this process may change the file, and make its log and index beside it.
bool can_write(const std::filesystem::path& file) {
    const std::filesystem::path folder =
        file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
    return ::access(file.c_str(), W_OK) == 0 && ::access(folder.c_str(), W_OK) == 0;
}

// A file name as an SQLite URI, whose query can ask for a read-only or immutable file.
std::string uri_of(const std::filesystem::path& file, const char* query) {
    std::string uri = "file:";
    for (const char c : std::filesystem::absolute(file).string()) {
        if (c == '%' || c == '?' || c == '#') {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
            uri += escaped;
        } else {
            uri.push_back(c);
        }
    }
    return uri + "?" + query;
}

// What SQLite answers when it cannot make the log's index beside a file in WAL mode.
bool lacks_the_index(const SqliteError& error) {
    return error.failure() == StorageFailure::cannot_open ||
           error.failure() == StorageFailure::read_only;
}

} // namespace

SqliteDatabase::SqliteDatabase(const std::filesystem::path& file, Mode mode,
                               std::optional<int64_t> application_id) {
    std::error_code error;
    const bool writable = !std::filesystem::exists(file, error) || can_write(file);
    m_read_only = mode == Mode::read_only || !writable;
    if (!m_read_only) {
        open_shared(file, mode, application_id);
    } else if (writable) {
        // A connection opened read-only leaves the log and its index behind when it is the last
        // to close, as it may not remove them. One that may write but is told to write nothing
        // removes them as every other last connection does.
        open(file.string(), SQLITE_OPEN_READWRITE);
        set_up([&] {
            check_identity(application_id);
            execute("PRAGMA query_only = 1");
        });
    } else {
        open_on_read_only_storage(file, application_id);
    }
}

template <typename Setup>
void SqliteDatabase::set_up(Setup setup) {
    try {
        setup();
    } catch (...) {
        close();
        throw;
    }
}

void SqliteDatabase::open_shared(const std::filesystem::path& file, Mode mode,
                                 std::optional<int64_t> application_id) {
    open(file.string(), SQLITE_OPEN_READWRITE | (mode == Mode::create ? SQLITE_OPEN_CREATE : 0));
    set_up([&] {
        // The device's files hold personal data. SQLite gives its -wal and -shm files the mode
        // of the database, so this one change covers them too.
        if (mode == Mode::create) {
            ::chmod(file.c_str(), 0600);
        }
        // Before the switch to the log, which would rewrite a foreign file's header.
        check_identity(mode == Mode::create ? std::nullopt : application_id);
        SqliteStatement journal = prepare("PRAGMA journal_mode = WAL");
        if (!journal.step() || journal.text(0) != "wal") {
            throw SqliteError(SQLITE_IOERR, "the file cannot be shared between processes (no "
                                            "write-ahead log)");
        }
        execute("PRAGMA synchronous = FULL");
    });
}

void SqliteDatabase::open_on_read_only_storage(const std::filesystem::path& file,
                                               std::optional<int64_t> application_id) {
    open(uri_of(file, "mode=ro"), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
    try {
        check_identity(application_id);
        return;
    } catch (const SqliteError& error) {
        close();
        std::error_code ignored;
        if (!lacks_the_index(error) || std::filesystem::exists(file.string() + "-wal", ignored)) {
            throw;
        }
    }
    open(uri_of(file, "immutable=1"), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
    set_up([&] { check_identity(application_id); });
}

void SqliteDatabase::open(const std::string& name, int flags) {
    const int result =
        sqlite3_open_v2(name.c_str(), &m_database, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (result != SQLITE_OK) {
        const std::string message =
            m_database ? sqlite3_errmsg(m_database) : sqlite3_errstr(result);
        sqlite3_close(m_database);
        m_database = nullptr;
        throw SqliteError(result, message);
    }
    sqlite3_extended_result_codes(m_database, 1);
    sqlite3_busy_timeout(m_database, busy_timeout_ms);
    m_statements = std::make_unique<StatementPool>(m_database);
}

void SqliteDatabase::close() {
    m_statements.reset();
    sqlite3_close(m_database);
    m_database = nullptr;
}

void SqliteDatabase::check_identity(std::optional<int64_t> application_id) {
    const int64_t found = pragma("application_id");
    if (application_id && found != *application_id) {
        throw SqliteError(StorageFailure::foreign,
                          found == 0 ? "an empty file or a database of no program"
                                     : "a database of another program (application id " +
                                           std::to_string(found) + ")");
    }
}

// The pooled statements are finalized first: a connection closes only when none is left.
SqliteDatabase::~SqliteDatabase() {
    close();
}

SqliteDatabase::SqliteDatabase(SqliteDatabase&& other) noexcept
    : m_database(std::exchange(other.m_database, nullptr)),
      m_statements(std::move(other.m_statements)), m_read_only(other.m_read_only) {}

void SqliteDatabase::execute(std::string_view sql) {
    const std::string statements(sql);
    char* message = nullptr;
    const int result = sqlite3_exec(m_database, statements.c_str(), nullptr, nullptr, &message);
    if (result != SQLITE_OK) {
        const std::string text = message ? message : sqlite3_errstr(result);
        sqlite3_free(message);
        throw SqliteError(sqlite3_extended_errcode(m_database), text);
    }
}

SqliteStatement SqliteDatabase::prepare(std::string_view sql) {
    return SqliteStatement(*m_statements, sql);
}

int64_t SqliteDatabase::pragma(std::string_view name) {
    SqliteStatement value = prepare("PRAGMA " + std::string(name));
    value.step();
    return value.integer(0);
}

bool SqliteDatabase::marked_as(int64_t application_id, int64_t schema_version) {
    return pragma("application_id") == application_id && pragma("user_version") == schema_version;
}

void SqliteDatabase::mark(int64_t application_id, int64_t schema_version) {
    execute("PRAGMA application_id = " + std::to_string(application_id) +
            "; PRAGMA user_version = " + std::to_string(schema_version));
}

int64_t SqliteDatabase::changed_rows() {
    return sqlite3_changes64(m_database);
}

int64_t SqliteDatabase::last_insert_id() {
    return sqlite3_last_insert_rowid(m_database);
}

int64_t SqliteDatabase::data_version() {
    return pragma("data_version");
}

bool SqliteDatabase::in_transaction() {
    return sqlite3_get_autocommit(m_database) == 0;
}

} // namespace handset
