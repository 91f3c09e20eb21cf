#include "vorn/transaction.h"

#include "engine.h"
#include "lasterror.h"
#include "vorn/core.h"

namespace vorn {

namespace {

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
    // The connection's lock is the one every call on it takes, and it is
    // recursive: our own statements pass, other threads wait.
    db_->lock();
    rc_ = detail::note_result(db_->begin(true));
    if (rc_ == SQLITE_OK)
        active_ = true;
    else
        db_->unlock();
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
    // Statement text run inside our transaction must not end it early: after
    // its own COMMIT the rest would run unprotected, and our ROLLBACK would
    // undo nothing.
    const int rc = detail::note_result(db_->exec(sql, true));
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
    const int rc = detail::note_result(db_->commit());
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
    db_->unlock();
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
    db_->rollback();
    active_ = false;
    db_->unlock();
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
    db_->lock();
    if (!db_->in_transaction()) began_ = db_->begin(false) == SQLITE_OK;
}

ReadSnapshot::~ReadSnapshot() {
    if (db_ == nullptr) return;
    // Only reads ran: COMMIT and ROLLBACK end it alike, and COMMIT cannot fail
    // on a read transaction the way it can on a write.
    if (began_ && db_->in_transaction() && db_->commit() != 0) db_->rollback();
    db_->unlock();
}

} // namespace vorn
