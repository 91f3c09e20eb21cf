// The store on a PostgreSQL server, through libpq. Statements arrive in the
// file's SQL dialect and are translated here (pgsql.h), one at a time; the
// connection speaks GBK, so the server converts to and from its UTF-8.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "engine.h"

struct pg_conn;

namespace vorn::detail {

// The lock a store is made under on a server, held to the commit: tills that
// start together on a new database make its tables once.
inline constexpr const char* kServerStoreLock = "SELECT pg_advisory_xact_lock(7268736831);";
// Every write transaction on a server holds this key shared from its BEGIN to
// its end; a restore of the whole store takes it alone (this statement), so it
// waits for the tills' writes under way and theirs wait for its commit: none
// reads the old store and writes into the new one. Two restores at once both
// hold it shared from their own BEGIN: the server finds the deadlock and one
// of them fails, as it should.
inline constexpr const char* kServerRestoreLock = "SELECT pg_advisory_xact_lock(7268736832);";
// The writers' side of it, sent with every write transaction's BEGIN.
inline constexpr const char* kServerWriterLock = "SELECT pg_advisory_xact_lock_shared(7268736832)";

class ServerEngine final : public Engine {
public:
    // Connects with a libpq connection string or "service=name". Null on
    // failure, with rc (a SQLite code: SQLITE_CANTOPEN for a server that
    // cannot be reached or refuses us) and a message naming the server and the
    // reason, in the program's language (GBK).
    static std::unique_ptr<ServerEngine> connect(const std::string& conninfo, int& rc, std::string& message);
    ~ServerEngine() override;

    // Creates the store on an empty database: the six tables with their
    // default rows, and the functions the translated statements use, in one
    // transaction. Nothing when the tables are there (the functions are
    // brought up to date). created tells whether the tables were made.
    int ensure_schema(bool& created);
    // The latest failure as the server worded it (GBK), for messages.
    std::string last_message();

    bool server() const override { return true; }
    void lock() override { mutex_.lock(); }
    void unlock() override { mutex_.unlock(); }
    int exec(const char* sql, bool refuse_control = false) override;
    int query(const std::string& sql, RowReader read, RowContext& ctx) override;
    int begin(bool write) override;
    int commit() override;
    bool commit_outcome_unknown() override;
    void rollback() override;
    bool in_transaction() override;
    int64_t last_insert_id() override;
    int changes() override;
    bool read_only() override { return false; }
    int has_table(const char* name) override;
    int indexes_present(const std::vector<const char*>& names) override;
    std::string identity() override;
    int close() override;

private:
    explicit ServerEngine(pg_conn* conn) : conn_(conn) {}

    // Client encoding and number format of a new or re-made connection.
    bool set_up_session();
    // False when the connection is gone and may not be made again yet (a
    // transaction was open on it); outside a transaction it is reset once.
    bool usable();
    // The connection is there and the server has not said it is closing it.
    bool connected() const;
    // Whether the server ended the session while we were not asking anything
    // (it says why and closes): looked at without waiting, before a statement
    // goes out, so a statement is never sent into a session already gone.
    bool ended_meanwhile();
    // A transaction is open (or was, on a connection lost inside it).
    bool inside() const;
    // Runs one statement as the server takes it; null on failure with rc set.
    // With repeatable (a read, or a BEGIN), a statement that failed outside a
    // transaction because the connection went runs once more on a new one.
    pg_result* run(const std::string& statement, int& rc, bool repeatable = false);
    int run_raw(const char* text);
    // Runs a BEGIN (with what goes with it); on failure nothing stays open.
    int open_transaction(const std::string& begin);
    // The SQLite code of a failed result, its message kept.
    int fail(pg_result* res);
    // SQLITE_ERROR for a BEGIN inside a transaction or an end outside one.
    int check_control(bool begins);
    // Transaction state and the changed rows after a statement.
    void note_state(pg_result* res);

    pg_conn* conn_;
    std::recursive_mutex mutex_;
    int changes_ = 0;
    std::string message_;
    std::string conninfo_;
    // A transaction is open on the server (kept when the connection drops
    // inside one, until the caller rolls back).
    bool open_tx_ = false;
    // The latest statement run() ran went out to the server (it failed, if it
    // did, after that, not before).
    bool sent_ = false;
    // What commit_outcome_unknown() answers; reset by begin() and commit().
    bool commit_unknown_ = false;
    // An INSERT ran on this connection, so lastval() may have a value.
    bool inserted_ = false;
    // The server sent its last word (a FATAL message) while we were idle: the
    // session is closing, whatever the socket says yet.
    bool closing_ = false;
    // Receives what the server says outside a statement's result.
    static void on_notice(void* engine, const pg_result* res);
};

} // namespace vorn::detail
