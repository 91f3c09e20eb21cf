#include "fileengine.h"

#include "lasterror.h"

namespace vorn::detail {

namespace {

// Statement text run inside our transaction must not end it early: after its
// own COMMIT the rest would run unprotected, and our ROLLBACK would undo nothing.
int refuse_transaction_control(void*, int action, const char*, const char*, const char*, const char*) {
    return action == SQLITE_TRANSACTION ? SQLITE_DENY : SQLITE_OK;
}

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

void read_count_row(const Row& row, RowContext& ctx) { *static_cast<int*>(ctx.out) = row.integer(0); }

} // namespace

int FileEngine::exec(const char* sql, bool refuse_control) {
    if (db_ == nullptr) return SQLITE_MISUSE;
    if (!refuse_control) return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    lock();
    sqlite3_set_authorizer(db_, refuse_transaction_control, nullptr);
    const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    sqlite3_set_authorizer(db_, nullptr, nullptr);
    unlock();
    return rc;
}

int FileEngine::query(const std::string& sql, RowReader read, RowContext& ctx) {
    if (db_ == nullptr) return SQLITE_MISUSE;
    // Held from prepare to finalize, as sqlite3_exec would, so another thread's
    // statement cannot slip in between two rows.
    lock();
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()) + 1, &stmt, &tail);
    if (rc == SQLITE_OK && stmt == nullptr)
        rc = SQLITE_MISUSE; // nothing to run
    else if (rc == SQLITE_OK && !nothing_follows(db_, tail))
        rc = SQLITE_ERROR;
    if (rc == SQLITE_OK) {
        const Row row(stmt);
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
            read(row, ctx);
        if (rc == SQLITE_DONE) rc = SQLITE_OK;
    }
    sqlite3_finalize(stmt);
    unlock();
    return rc;
}

int FileEngine::begin(bool write) {
    return exec(write ? "BEGIN IMMEDIATE;" : "BEGIN;");
}

int FileEngine::commit() { return exec("COMMIT;"); }

void FileEngine::rollback() {
    // Some failures (a full disk, an interrupt) end the transaction by
    // themselves; a ROLLBACK then would only report an error.
    if (in_transaction()) exec("ROLLBACK;");
}

int FileEngine::has_table(const char* name) {
    std::string sql = "SELECT COUNT() FROM sqlite_master WHERE type='table' AND name='";
    sql += name;
    sql += "';";
    int n = 0;
    RowContext ctx{&n};
    const int rc = note_result(query(sql, read_count_row, ctx));
    return rc == SQLITE_OK ? n : -1;
}

int FileEngine::indexes_present(const std::vector<const char*>& names) {
    std::string sql = "SELECT COUNT() FROM sqlite_master WHERE type='index' AND name IN (";
    for (const char* name : names) {
        sql += '\'';
        sql += name;
        sql += "',";
    }
    sql.back() = ')';
    int found = 0;
    RowContext ctx{&found};
    return note_result(query(sql, read_count_row, ctx)) == SQLITE_OK ? found : -1;
}

std::string FileEngine::identity() {
    const char* file = db_ != nullptr ? sqlite3_db_filename(db_, "main") : nullptr;
    return file != nullptr ? file : "";
}

int FileEngine::close() {
    const int rc = sqlite3_close(db_);
    db_ = nullptr;
    return rc;
}

} // namespace vorn::detail
