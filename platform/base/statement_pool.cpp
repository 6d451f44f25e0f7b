#include "base/statement_pool.h"

#include "base/sqlite_error.h"

#include <sqlite3.h>

namespace handset {

StatementPool::~StatementPool() {
    for (auto& [sql, shelf] : m_idle) {
        for (sqlite3_stmt* statement : shelf.idle) {
            sqlite3_finalize(statement);
        }
    }
}

StatementPool::Loan StatementPool::take(std::string_view sql) {
    auto found = m_idle.find(sql);
    if (found == m_idle.end()) {
        found = m_idle.emplace(std::string(sql), Shelf()).first;
    }
    Shelf& shelf = found->second;
    if (!shelf.idle.empty()) {
        sqlite3_stmt* statement = shelf.idle.back();
        shelf.idle.pop_back();
        return {statement, &shelf};
    }
    sqlite3_stmt* statement = nullptr;
    const int result = sqlite3_prepare_v2(m_database, sql.data(), static_cast<int>(sql.size()),
                                          &statement, nullptr);
    if (result != SQLITE_OK) {
        sqlite3_finalize(statement);
        throw SqliteError(sqlite3_extended_errcode(m_database), sqlite3_errmsg(m_database));
    }
    try {
        shelf.idle.reserve(shelf.prepared + 1);
    } catch (...) {
        sqlite3_finalize(statement);
        throw;
    }
    ++shelf.prepared;
    return {statement, &shelf};
}

// The reset's result repeats the last step's error, which that step already reported.
void StatementPool::give_back(const Loan& loan) {
    sqlite3_reset(loan.statement);
    sqlite3_clear_bindings(loan.statement);
    loan.shelf->idle.push_back(loan.statement);
}

} // namespace handset
