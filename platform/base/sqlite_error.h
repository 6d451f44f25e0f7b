// A failed call into the storage layer. SQLite's many result codes come down to the few that
// callers answer differently: a file another process holds, a full disk or quota, a file that is
// damaged or no database at all, one that cannot be opened, and one that may only be read.
#pragma once

#include <stdexcept>
#include <string>

namespace handset {

enum class StorageFailure {
    // Another connection held the lock for longer than the busy timeout.
    busy,
    // The disk, or the page limit a quota sets, is exhausted.
    full,
    no_memory,
    // The file is not a database, or its contents are broken.
    damaged,
    // There is no file, or it cannot be opened.
    cannot_open,
    // A write to a file this process may only read.
    read_only,
    // A database, or an empty file, that is not the kind the caller opened.
    foreign,
    // Anything else: the connection or the statement is at fault.
    other,
};

class SqliteError : public std::runtime_error {
  public:
    // code is an SQLite result code, primary or extended.
    SqliteError(int code, const std::string& message);
    SqliteError(StorageFailure failure, const std::string& message)
        : std::runtime_error(message), m_failure(failure) {}

    StorageFailure failure() const { return m_failure; }

  private:
    StorageFailure m_failure;
};

} // namespace handset
