// The faults kept in one device file, beside the data they make fail, so that a fault set by
// handsetctl reaches every process on its next operation without any message between them.
//
// A fault counts the operations it matches. The count is read, raised and written back in one
// write transaction, so that operations of several processes are counted once each and in the
// order they reached the file: "the 3rd write from now" is the 3rd whichever process makes it.
//
// The table is made when the first fault is added; a file that never had a fault keeps the
// layout it was created with, and files made before faults existed work unchanged. Failures throw
// SqliteError. Used, like its connection, by one thread at a time.
#pragma once

#include "base/fault.h"
#include "base/sqlite_database.h"

#include <optional>
#include <vector>

namespace handset {

class FaultTable {
  public:
    explicit FaultTable(SqliteDatabase& database) : m_database(database) {}

    // Stores the fault with nothing counted yet, and sets its id.
    void add(Fault& fault);
    std::vector<Fault> list();
    // Removes every fault; returns how many there were.
    int64_t clear();

    // A query that answers 1 when the file has faults, 0 when none was ever set; as a subquery it
    // lets a caller that reads the file anyway learn this without a statement of its own.
    static const char* presence_sql();

    // Counts one operation at point on slot (0 when it concerns no slot) against every fault it
    // matches, and returns the fault that strikes it, if any, after writing its debug line.
    // A fault on sim_call matches every SIM call. Cheap when no fault is waiting: two reads and
    // no lock.
    std::optional<Fault> count(FaultPoint point, int slot);

  private:
    bool has_table();
    bool armed(FaultPoint point, int slot);

    SqliteDatabase& m_database;
};

} // namespace handset
