#include "cellcore/sqlite_error.h"

#include <sqlite3.h>

namespace handset::sqlite {

bool Error::damaged() const {
    const int primary = m_code & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB || primary == SQLITE_SCHEMA;
}

bool Error::busy() const {
    const int primary = m_code & 0xFF;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

} // namespace handset::sqlite
