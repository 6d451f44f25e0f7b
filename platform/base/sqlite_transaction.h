// One write transaction, taken at once (BEGIN IMMEDIATE) so that a read-then-write cannot race
// another process. Whatever way the scope is left without commit() (an early return, an
// exception, a failed COMMIT), the transaction is rolled back.
#pragma once

#include "base/sqlite_database.h"

namespace handset {

class SqliteTransaction {
  public:
    explicit SqliteTransaction(SqliteDatabase& database);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    void commit();

  private:
    SqliteDatabase& m_database;
    bool m_committed = false;
};

} // namespace handset
