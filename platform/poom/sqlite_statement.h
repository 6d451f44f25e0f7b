// One prepared SQLite statement, finalised when it goes out of scope. Text crosses into SQLite as
// UTF-8 and comes back as UTF-16.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace handset {

class SqliteStatement {
  public:
    SqliteStatement(sqlite3* db, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // SQLITE_OK when the statement could be prepared; otherwise step() answers this code too.
    int prepare_status() const { return m_prepare_status; }

    void bind(int index, std::u16string_view text);
    void bind(int index, int64_t value);

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();

    std::u16string column_text(int column) const;
    int64_t column_int64(int column) const;

  private:
    sqlite3_stmt* m_statement = nullptr;
    int m_prepare_status;
};

} // namespace handset
