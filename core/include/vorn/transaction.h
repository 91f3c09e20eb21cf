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
#pragma once

#include "vorn/export.h"

struct sqlite3;

namespace vorn {

class Core;

class VORNCORE_API Transaction {
public:
    // Runs BEGIN IMMEDIATE: the file's write lock is taken here (waiting for
    // another process as a write does), not halfway through the statements.
    // Transactions do not nest: inside another one on this connection this one
    // fails at once and leaves the other alone.
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
    // COMMIT itself, after which everything is rolled back).
    int commit();
    // True from a successful BEGIN until COMMIT or ROLLBACK.
    bool active() const { return active_; }

private:
    void roll_back();

    sqlite3* db_;
    int rc_;      // SQLITE_OK while all is well, else the first failure
    bool active_; // BEGIN ran, the lock is ours
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
    sqlite3* db_;
    bool began_; // our own read transaction, ended by the destructor
};

} // namespace vorn
