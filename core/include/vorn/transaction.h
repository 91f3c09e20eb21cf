// vorn::Transaction: several statements written as one, or not at all.
//
// It holds the connection's lock from BEGIN until COMMIT or ROLLBACK, so no
// statement of another thread lands inside it: such a write waits, and is never
// rolled back with ours. Left uncommitted (a failed exec, an early return, an
// exception) it rolls back. Use it on one thread, from construction to the end.
//
//     vorn::Transaction t(core);
//     if (int rc = t.exec(a); rc != 0) return rc; // already rolled back
//     if (int rc = t.exec(b); rc != 0) return rc;
//     return t.commit();
//
// A write made while this thread has a Transaction open on the same connection
// joins it (a batch write, exec_in_transaction, another Transaction): a sale
// writes the units, the member's points and its journal rows through the
// ordinary calls, and they commit or roll back together.
#pragma once

#include "vorn/export.h"

namespace vorn {

namespace detail {
class Engine;
}

class Core;

class VORNCORE_API Transaction {
public:
    // Runs BEGIN IMMEDIATE: the file's write lock is taken here (waiting for
    // another process as a write does), not halfway through the statements.
    //
    // Constructed while a Transaction of this thread is open on the same
    // connection (Core copies share theirs), it joins that outer one instead:
    // it begins and commits nothing of its own and its statements run inside
    // the outer one. A failure in it, or leaving it uncommitted, rolls the
    // outer one back as a whole at once; the outer commit then fails, and so
    // does every later write joining it. An outer one that failed to begin, or
    // has failed since, makes joining ones fail with its code. A joined one
    // ends before the one it joined.
    //
    // Another thread's Transaction never joins ours: it waits for our end.
    explicit Transaction(Core& core);
    // Rolls back what was not committed.
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // The SQLite code of running the text (several statements allowed) inside
    // the transaction. On failure everything is rolled back at once and later
    // calls answer that code. Text that would begin, commit or roll back a
    // transaction of its own is refused.
    int exec(const char* sql);
    // 0 when committed; else the code of what failed (BEGIN, a statement, or
    // COMMIT itself, after which everything is rolled back). A joined one
    // commits nothing: 0 while the outer one is still sound.
    int commit();
    // True from a successful BEGIN until COMMIT or ROLLBACK; a joined one while
    // it and the outer one are sound and it has not committed.
    bool active() const { return active_ && (outer_ == nullptr || outer_->active_); }
    // True when it joined an outer transaction of this thread.
    bool joined() const { return outer_ != nullptr; }

private:
    void roll_back();
    // Ends the whole transaction with rc (an owner's own rollback).
    void fail(int rc);
    void forget();

    detail::Engine* db_;
    Transaction* outer_; // the transaction joined; null when this one began its own
    Transaction* below_; // the thread's previously opened owner (of any connection)
    int rc_;             // SQLITE_OK while all is well, else the first failure
    bool active_;        // owner: BEGIN ran, the lock is ours; joined: not yet committed
    bool listed_;        // owner: joinable by this thread's later writes
};

// Several reads that must see the same rows: a count and the select that the
// count sized. It holds the connection's lock (writes of other threads wait)
// and, outside a transaction, one read transaction (other processes' commits
// stay out of sight) until it goes. Works on a read-only store too. Nests
// inside a Transaction, whose reads it then shares.
class VORNCORE_API ReadSnapshot {
public:
    explicit ReadSnapshot(Core& core);
    ~ReadSnapshot();
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;

private:
    detail::Engine* db_;
    bool began_; // our own read transaction, ended by the destructor
};

} // namespace vorn
