#include "base/sqlite_error.h"

#include <sqlite3.h>

namespace handset {

namespace {

StorageFailure failure_of(int code) {
    switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return StorageFailure::busy;
    case SQLITE_FULL:
        return StorageFailure::full;
    case SQLITE_NOMEM:
        return StorageFailure::no_memory;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_SCHEMA:
        return StorageFailure::damaged;
    case SQLITE_CANTOPEN:
        return StorageFailure::cannot_open;
    case SQLITE_READONLY:
        return StorageFailure::read_only;
    default:
        return StorageFailure::other;
    }
}

} // namespace

SqliteError::SqliteError(int code, const std::string& message)
    : std::runtime_error(message), m_failure(failure_of(code)) {}

} // namespace handset
