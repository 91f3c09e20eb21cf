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

// The transactions this thread began and may still be joined, newest first,
// linked through below_. A handful at most (one per connection in use).
thread_local Transaction* t_owners = nullptr;

} // namespace

Transaction::Transaction(Core& core)
    : db_(core.db), outer_(nullptr), below_(nullptr), rc_(SQLITE_MISUSE), active_(false), listed_(false) {
    if (db_ == nullptr) return;
    for (Transaction* t = t_owners; t != nullptr; t = t->below_)
        if (t->db_ == db_) {
            // Ours already holds the connection's lock on this thread: run inside it.
            outer_ = t;
            active_ = t->active_;
            rc_ = t->active_ ? SQLITE_OK : t->rc_;
            return;
        }
    // The connection is opened serialized, so this mutex is the one every call
    // on it takes, and it is recursive: our own statements pass, other threads wait.
    sqlite3_mutex_enter(sqlite3_db_mutex(db_));
    rc_ = detail::note_result(sqlite3_exec(db_, "BEGIN IMMEDIATE;", nullptr, nullptr, nullptr));
    if (rc_ == SQLITE_OK)
        active_ = true;
    else
        sqlite3_mutex_leave(sqlite3_db_mutex(db_));
    // Listed even when BEGIN failed: a write meant to be part of this one must
    // not quietly commit on its own instead.
    below_ = t_owners;
    t_owners = this;
    listed_ = true;
}

Transaction::~Transaction() {
    if (outer_ != nullptr) {
        // Work left half done inside the outer transaction spoils all of it.
        if (active()) outer_->fail(SQLITE_ABORT);
        return;
    }
    if (active_) roll_back();
    forget();
}

int Transaction::exec(const char* sql) {
    if (!active()) return outer_ != nullptr && rc_ == SQLITE_OK ? outer_->rc_ : rc_;
    sqlite3_set_authorizer(db_, refuse_transaction_control, nullptr);
    const int rc = detail::note_result(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr));
    sqlite3_set_authorizer(db_, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        rc_ = rc;
        if (outer_ != nullptr) {
            active_ = false;
            outer_->fail(rc);
        } else {
            roll_back();
        }
    }
    return rc;
}

int Transaction::commit() {
    if (outer_ != nullptr) {
        if (!active()) {
            if (rc_ == SQLITE_OK) rc_ = outer_->rc_ != SQLITE_OK ? outer_->rc_ : SQLITE_MISUSE;
            return rc_;
        }
        // Nothing to commit here: the outer transaction commits it all.
        active_ = false;
        rc_ = SQLITE_MISUSE; // a second commit is a mistake, as below
        return SQLITE_OK;
    }
    if (!active_) return rc_ != SQLITE_OK ? rc_ : SQLITE_MISUSE;
    const int rc = detail::note_result(sqlite3_exec(db_, "COMMIT;", nullptr, nullptr, nullptr));
    if (rc != SQLITE_OK) {
        // A COMMIT that failed (the file still busy after the wait) leaves the
        // transaction open; nothing of it may stay behind.
        rc_ = rc;
        roll_back();
        return rc;
    }
    // A write went through: a failure seen before it (a full disk since
    // cleared) no longer explains the next one.
    detail::clear_last_error();
    // A second commit is a mistake of the caller, not a success.
    rc_ = SQLITE_MISUSE;
    active_ = false;
    sqlite3_mutex_leave(sqlite3_db_mutex(db_));
    // Done: later writes of this thread begin transactions of their own.
    forget();
    return SQLITE_OK;
}

void Transaction::fail(int rc) {
    if (!active_) return;
    rc_ = rc;
    roll_back();
}

void Transaction::roll_back() {
    // Some failures (a full disk, an interrupt) end the transaction by themselves;
    // a ROLLBACK then would only report an error.
    if (sqlite3_get_autocommit(db_) == 0) sqlite3_exec(db_, "ROLLBACK;", nullptr, nullptr, nullptr);
    active_ = false;
    sqlite3_mutex_leave(sqlite3_db_mutex(db_));
}

void Transaction::forget() {
    if (!listed_) return;
    for (Transaction** p = &t_owners; *p != nullptr; p = &(*p)->below_)
        if (*p == this) {
            *p = below_;
            break;
        }
    listed_ = false;
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
