#include "onestatement.h"

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "lasterror.h"

namespace vorn::detail {

namespace {

// Preparing the rest compiles it without running it, and the parser skips what
// is no statement at all, so anything it hands back is a second statement (one
// it cannot even compile counts as well).
bool nothing_follows(sqlite3* db, const char* tail) {
    if (tail == nullptr || *tail == '\0') return true;
    sqlite3_stmt* next = nullptr;
    const int rc = sqlite3_prepare_v2(db, tail, -1, &next, nullptr);
    const bool empty = rc == SQLITE_OK && next == nullptr;
    sqlite3_finalize(next);
    return empty;
}

} // namespace

int run_one_statement(sqlite3* db, const std::string& sql, RowReader read, RowContext& ctx) {
    if (db == nullptr) return SQLITE_MISUSE;
    // Held from prepare to finalize, as sqlite3_exec would, so another thread's
    // statement cannot slip in between two rows.
    sqlite3_mutex* mutex = sqlite3_db_mutex(db);
    sqlite3_mutex_enter(mutex);
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()) + 1, &stmt, &tail);
    if (rc == SQLITE_OK && stmt == nullptr)
        rc = SQLITE_MISUSE; // nothing to run
    else if (rc == SQLITE_OK && !nothing_follows(db, tail))
        rc = SQLITE_ERROR;
    if (rc == SQLITE_OK) {
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
            read(stmt, ctx);
        if (rc == SQLITE_DONE) rc = SQLITE_OK;
    }
    sqlite3_finalize(stmt);
    sqlite3_mutex_leave(mutex);
    return note_result(rc);
}

} // namespace vorn::detail
