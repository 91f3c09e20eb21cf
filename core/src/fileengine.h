// The store as an encrypted SQLite file (SQLCipher): the program's own engine
// and the default.
#pragma once

#include <string>

#include "engine.h"

namespace vorn::detail {

class FileEngine final : public Engine {
public:
    // Takes an open connection (serialized mode).
    explicit FileEngine(sqlite3* db) : db_(db) {}
    ~FileEngine() override { close(); }

    // The connection itself, for what only the file has: its key, its pages.
    sqlite3* handle() const { return db_; }

    bool server() const override { return false; }
    // The connection is opened serialized, so this mutex is the one every call
    // on it takes, and it is recursive.
    // A closed engine (a copy of the Core closed it) has nothing to guard.
    void lock() override {
        if (db_ != nullptr) sqlite3_mutex_enter(sqlite3_db_mutex(db_));
    }
    void unlock() override {
        if (db_ != nullptr) sqlite3_mutex_leave(sqlite3_db_mutex(db_));
    }
    int exec(const char* sql, bool refuse_control = false) override;
    int query(const std::string& sql, RowReader read, RowContext& ctx) override;
    int begin(bool write) override;
    int commit() override;
    bool commit_outcome_unknown() override { return false; }
    void rollback() override;
    bool in_transaction() override { return db_ != nullptr && sqlite3_get_autocommit(db_) == 0; }
    int64_t last_insert_id() override { return sqlite3_last_insert_rowid(db_); }
    int changes() override { return sqlite3_changes(db_); }
    bool read_only() override { return db_ == nullptr || sqlite3_db_readonly(db_, "main") != 0; }
    int has_table(const char* name) override;
    int indexes_present(const std::vector<const char*>& names) override;
    std::string identity() override;
    int close() override;

private:
    sqlite3* db_;
};

} // namespace vorn::detail
