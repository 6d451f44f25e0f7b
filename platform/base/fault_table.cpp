#include "base/fault_table.h"

#include "base/debug_output.h"
#include "base/sqlite_transaction.h"

namespace handset {

namespace {

// A fault waits while it can still strike: one that struck its nth operation is spent, and is
// kept only so that handsetctl can show it did.
constexpr const char* waiting =
    "(point = ?1 OR point = ?2) AND (slot = 0 OR slot = ?3) AND (nth = 0 OR counted < nth)";

// The point itself, and the whole card for a SIM call.
std::string_view wider_point(FaultPoint point) {
    return fault_point_key(is_sim_point(point) ? FaultPoint::sim_call : point);
}

Fault read_fault(const SqliteStatement& row) {
    Fault fault;
    fault.id = row.integer(0);
    fault.point = fault_point_from_key(row.text(1)).value_or(FaultPoint::sim_call);
    fault.slot = static_cast<int>(row.integer(2));
    fault.nth = row.integer(3);
    fault.after = row.integer(4);
    fault.error = row.integer(5);
    fault.counted = row.integer(6);
    fault.fired = row.integer(7);
    return fault;
}

SqliteStatement& bind_match(SqliteStatement& statement, FaultPoint point, int slot) {
    return statement.bind(1, fault_point_key(point)).bind(2, wider_point(point)).bind(3, slot);
}

} // namespace

void FaultTable::add(Fault& fault) {
    SqliteTransaction transaction(m_database);
    m_database.execute("CREATE TABLE IF NOT EXISTS faults ("
                       "id INTEGER PRIMARY KEY, point TEXT NOT NULL, slot INTEGER NOT NULL, "
                       "nth INTEGER NOT NULL, after INTEGER NOT NULL, error INTEGER NOT NULL, "
                       "counted INTEGER NOT NULL, fired INTEGER NOT NULL)");
    m_database
        .prepare("INSERT INTO faults (point, slot, nth, after, error, counted, fired) "
                 "VALUES (?, ?, ?, ?, ?, 0, 0)")
        .bind(1, fault_point_key(fault.point))
        .bind(2, fault.slot)
        .bind(3, fault.nth)
        .bind(4, fault.after)
        .bind(5, fault.error)
        .run();
    fault.id = m_database.last_insert_id();
    fault.counted = 0;
    fault.fired = 0;
    transaction.commit();
}

std::vector<Fault> FaultTable::list() {
    std::vector<Fault> faults;
    if (!has_table()) {
        return faults;
    }
    SqliteStatement rows = m_database.prepare(
        "SELECT id, point, slot, nth, after, error, counted, fired FROM faults ORDER BY id");
    while (rows.step()) {
        if (fault_point_from_key(rows.text(1))) {
            faults.push_back(read_fault(rows));
        }
    }
    return faults;
}

int64_t FaultTable::clear() {
    if (!has_table()) {
        return 0;
    }
    m_database.execute("DELETE FROM faults");
    return m_database.changed_rows();
}

const char* FaultTable::presence_sql() {
    return "SELECT count(*) FROM sqlite_schema WHERE name = 'faults'";
}

bool FaultTable::has_table() {
    SqliteStatement table = m_database.prepare(presence_sql());
    table.step();
    return table.integer(0) > 0;
}

bool FaultTable::armed(FaultPoint point, int slot) {
    SqliteStatement any = m_database.prepare(
        std::string("SELECT EXISTS (SELECT 1 FROM faults WHERE ") + waiting + ")");
    bind_match(any, point, slot);
    any.step();
    return any.integer(0) != 0;
}

std::optional<Fault> FaultTable::count(FaultPoint point, int slot) {
    if (!has_table() || !armed(point, slot)) {
        return std::nullopt;
    }
    SqliteTransaction transaction(m_database);
    std::vector<Fault> matching;
    {
        SqliteStatement rows = m_database.prepare(
            std::string("SELECT id, point, slot, nth, after, error, counted, fired FROM faults "
                        "WHERE ") +
            waiting + " ORDER BY id");
        bind_match(rows, point, slot);
        while (rows.step()) {
            matching.push_back(read_fault(rows));
        }
    }
    std::optional<Fault> strike;
    for (Fault& fault : matching) {
        ++fault.counted;
        const bool strikes =
            fault.nth > 0 ? fault.counted == fault.nth : fault.counted > fault.after;
        if (strikes) {
            ++fault.fired;
        }
        m_database.prepare("UPDATE faults SET counted = ?, fired = ? WHERE id = ?")
            .bind(1, fault.counted)
            .bind(2, fault.fired)
            .bind(3, fault.id)
            .run();
        if (strikes && !strike) {
            strike = fault;
        }
    }
    transaction.commit();
    if (strike) {
        debug_line(describe_strike(*strike));
    }
    return strike;
}

} // namespace handset
