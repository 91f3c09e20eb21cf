#include "vorn/transaction.h"

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "lasterror.h"
#include "vorn/core.h"

namespace vorn {

namespace {

// Statement text run inside our transaction must not end it early: after its
// own COMMIT the rest would run unprotected, and our ROLLBACK would undo nothing.
int refuse_transaction_control(void*, int action, const char*, const char*, const char*, const char*) {
    return action == SQLITE_TRANSACTION ? SQLITE_DENY : SQLITE_OK;
}

} // namespace

Transaction::Transaction(Core& core) : db_(core.db), rc_(SQLITE_MISUSE), active_(false) {
    if (db_ == nullptr) return;
    // The connection is opened serialized, so this mutex is the one every call
    // on it takes, and it is recursive: our own statements pass, other threads wait.
    sqlite3_mutex_enter(sqlite3_db_mutex(db_));
    rc_ = detail::note_result(sqlite3_exec(db_, "BEGIN IMMEDIATE;", nullptr, nullptr, nullptr));
    if (rc_ == SQLITE_OK)
        active_ = true;
    else
        sqlite3_mutex_leave(sqlite3_db_mutex(db_));
}

Transaction::~Transaction() {
    if (active_) roll_back();
}

int Transaction::exec(const char* sql) {
    if (!active_) return rc_;
    sqlite3_set_authorizer(db_, refuse_transaction_control, nullptr);
    const int rc = detail::note_result(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr));
    sqlite3_set_authorizer(db_, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        rc_ = rc;
        roll_back();
    }
    return rc;
}

int Transaction::commit() {
    if (!active_) return rc_ != SQLITE_OK ? rc_ : SQLITE_MISUSE;
    const int rc = detail::note_result(sqlite3_exec(db_, "COMMIT;", nullptr, nullptr, nullptr));
    if (rc != SQLITE_OK) {
        // A COMMIT that failed (the file still busy after the wait) leaves the
        // transaction open; nothing of it may stay behind.
        rc_ = rc;
        roll_back();
        return rc;
    }
    // A second commit is a mistake of the caller, not a success.
    rc_ = SQLITE_MISUSE;
    active_ = false;
    sqlite3_mutex_leave(sqlite3_db_mutex(db_));
    return SQLITE_OK;
}

void Transaction::roll_back() {
    // Some failures (a full disk, an interrupt) end the transaction by themselves;
    // a ROLLBACK then would only report an error.
    if (sqlite3_get_autocommit(db_) == 0) sqlite3_exec(db_, "ROLLBACK;", nullptr, nullptr, nullptr);
    active_ = false;
    sqlite3_mutex_leave(sqlite3_db_mutex(db_));
}

ReadSnapshot::ReadSnapshot(Core& core) : db_(core.db), began_(false) {
    if (db_ == nullptr) return;
    sqlite3_mutex_enter(sqlite3_db_mutex(db_));
    if (sqlite3_get_autocommit(db_) != 0)
        began_ = sqlite3_exec(db_, "BEGIN;", nullptr, nullptr, nullptr) == SQLITE_OK;
}

ReadSnapshot::~ReadSnapshot() {
    if (db_ == nullptr) return;
    // Only reads ran: COMMIT and ROLLBACK end it alike, and COMMIT cannot fail
    // on a read transaction the way it can on a write.
    if (began_ && sqlite3_get_autocommit(db_) == 0) sqlite3_exec(db_, "COMMIT;", nullptr, nullptr, nullptr);
    sqlite3_mutex_leave(sqlite3_db_mutex(db_));
}

} // namespace vorn
