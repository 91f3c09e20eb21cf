// The engine under vorn::Core: the encrypted store file (SQLite through
// SQLCipher) or a PostgreSQL server. Core and the journal's parts speak to it
// only through this interface, in the file's SQL dialect; the server engine
// translates at its boundary. Result codes are SQLite's for both (the server
// maps its errors onto them), since callers and pages already name causes by
// them (SQLITE_FULL: the disk is full).
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "readers.h"

// libpq's result (PGresult).
struct pg_result;

namespace vorn::detail {


// One result row, of either engine. The file's rows are read straight from the
// stepped statement; the branch costs nothing measurable against the column
// read, and keeps the millions of reads a big listing makes free of calls
// through a table.
class Row {
public:
    explicit Row(sqlite3_stmt* s) : s_(s) {}
    Row(const pg_result* r, int row) : r_(r), row_(row) {}

    int columns() const { return s_ ? sqlite3_column_count(s_) : server_columns(); }
    bool is_null(int i) const { return s_ ? sqlite3_column_type(s_, i) == SQLITE_NULL : server_text(i) == nullptr; }
    int integer(int i) const { return s_ ? sqlite3_column_int(s_, i) : static_cast<int>(server_int64(i)); }
    int64_t int64(int i) const { return s_ ? sqlite3_column_int64(s_, i) : server_int64(i); }
    double real(int i) const { return s_ ? sqlite3_column_double(s_, i) : server_real(i); }
    // The column's text (GBK), null for NULL. Valid until the next row.
    const char* text(int i) const {
        return s_ ? reinterpret_cast<const char*>(sqlite3_column_text(s_, i)) : server_text(i);
    }
    // The byte length of text(i); call after text(i).
    int bytes(int i) const { return s_ ? sqlite3_column_bytes(s_, i) : server_bytes(i); }
    // The text of column i into field; empty for NULL.
    void text(int i, std::string& field) const {
        const char* t = text(i);
        if (t)
            field.assign(t, static_cast<size_t>(bytes(i)));
        else
            field.clear();
    }

private:
    int server_columns() const;
    const char* server_text(int i) const;
    int server_bytes(int i) const;
    int64_t server_int64(int i) const;
    double server_real(int i) const;

    sqlite3_stmt* s_ = nullptr;
    const pg_result* r_ = nullptr;
    int row_ = 0;
};

class Engine {
public:
    virtual ~Engine() = default;

    // True for the server.
    virtual bool server() const = 0;
    // The connection's lock, recursive: every call below takes it, and a
    // transaction holds it from begin to end, so another thread's statement
    // never lands inside it.
    virtual void lock() = 0;
    virtual void unlock() = 0;

    // Runs the text (several statements allowed). With refuse_control, a
    // statement that would begin, commit or roll back a transaction is refused
    // (SQLITE_AUTH) and nothing from it on runs; savepoints are allowed.
    virtual int exec(const char* sql, bool refuse_control = false) = 0;
    // Runs sql, which must hold exactly one statement, handing each result row
    // to read. Text carrying a further statement is refused (SQLITE_ERROR)
    // before anything runs; a closed engine gives SQLITE_MISUSE.
    virtual int query(const std::string& sql, RowReader read, RowContext& ctx) = 0;

    // BEGIN for a write (the file's write lock is taken at once) or for reads
    // that must see one state of the store.
    virtual int begin(bool write) = 0;
    virtual int commit() = 0;
    // True when the latest commit() failed with its COMMIT gone out and no
    // answer of the server's come back, the session lost meanwhile: the server
    // may have committed. Every other failure of commit() rolled back for sure
    // (the session lost before the COMMIT went, the server's refusal), and the
    // file's COMMIT either happens or fails here: it never says this.
    virtual bool commit_outcome_unknown() = 0;
    virtual void rollback() = 0;
    // True inside a transaction (some failures end one by themselves).
    virtual bool in_transaction() = 0;

    // The id given to the latest row inserted with a new id on this connection.
    virtual int64_t last_insert_id() = 0;
    // Rows changed by the latest INSERT, UPDATE or DELETE on this connection.
    virtual int changes() = 0;
    // True when the store may be read but not written.
    virtual bool read_only() = 0;
    // Whether a table of that name exists (-1: cannot tell, with the code noted).
    virtual int has_table(const char* name) = 0;
    // How many of the named indexes exist; -1 when it cannot be read.
    virtual int indexes_present(const std::vector<const char*>& names) = 0;
    // Names the store for memos kept per store (the file's path, the server's
    // database): two connections to one store give the same text.
    virtual std::string identity() = 0;

    virtual int close() = 0;
};

} // namespace vorn::detail

namespace vorn {
// The store's own parts name them without the detail prefix.
using detail::Engine;
using detail::Row;
} // namespace vorn
