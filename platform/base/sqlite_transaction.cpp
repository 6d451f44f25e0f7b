#include "base/sqlite_transaction.h"

#include "base/sqlite_error.h"

namespace handset {

SqliteTransaction::SqliteTransaction(SqliteDatabase& database) : m_database(database) {
    m_database.execute("BEGIN IMMEDIATE");
}

// Some failures (a full disk among them) have rolled the transaction back already; rolling back
// then would fail, and the failure that ended the transaction is the one already reported.
SqliteTransaction::~SqliteTransaction() {
    if (m_committed || !m_database.in_transaction()) {
        return;
    }
    try {
        m_database.execute("ROLLBACK");
    } catch (const SqliteError&) {
        // The rollback of a connection that lost its file leaves nothing more to undo.
    }
}

void SqliteTransaction::commit() {
    m_database.execute("COMMIT");
    m_committed = true;
}

} // namespace handset
