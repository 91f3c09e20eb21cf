// Opening, creating and closing the store file, and the indexes we add to it.
#include "vorn/core.h"

#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "extschema.h"
#include "lasterror.h"
#include "onestatement.h"
#include "schema.h"
#include "vorn/password.h"
#include "vorn/transaction.h"

namespace vorn {

namespace detail {
std::string own_key() { return std::string("Kest_wob ~o~", 12); }
} // namespace detail

namespace {
const char kFileName[] = "__vorn__";
// Long enough for another process's write to finish, short enough that a
// store locked for good still answers with an error.
const int kBusyTimeoutMs = 5000;

// How many of the program's indexes the store holds; -1 when it cannot be read.
int indexes_present(sqlite3* db) {
    std::string sql = "SELECT COUNT() FROM sqlite_master WHERE type='index' AND name IN (";
    for (const char* name : detail::kIndexNames) {
        sql += '\'';
        sql += name;
        sql += "',";
    }
    sql.back() = ')';
    int found = 0;
    detail::RowContext ctx{&found};
    return detail::run_one_statement(db, sql, detail::read_count, ctx) == SQLITE_OK ? found : -1;
}

const int kIndexCount = static_cast<int>(std::size(detail::kIndexNames));

// The schema text writes the built-in administrator's documented password as
// it is; a new store keeps it only for this moment. Any other account a
// derived schema adds is hashed the same way.
void hash_plain_passwords(Core& core) {
    const int n = core.get_urec_count(nullptr);
    if (n <= 0) return;
    std::vector<URec> users(static_cast<size_t>(n));
    if (core.select_urec(users.data(), nullptr) != n) return;
    for (URec& u : users) {
        if (is_password_hash(u.FUs_Pas)) continue;
        std::string hashed = hash_password(u.FUs_Pas);
        if (hashed.empty()) continue; // still accepted as typed, hashed at its first login
        u.FUs_Pas = std::move(hashed);
        core.update_urec(&u, 1);
    }
}
} // namespace

Core::Core() : db(nullptr) {}

int Core::open() {
    bool existed = false;
    if (std::FILE* f = std::fopen(kFileName, "r")) {
        existed = true;
        std::fclose(f);
    }
    // Serialized mode: the GUI thread and a busy-window worker may both call in.
    const int mode = read_only() ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    int rc = sqlite3_open_v2(kFileName, &db, mode | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_busy_timeout(db, kBusyTimeoutMs);
    if (rc == SQLITE_OK) {
        const std::string key = passphrase_.empty() ? detail::own_key() : passphrase_;
        rc = sqlite3_key(db, key.data(), static_cast<int>(key.size()));
    }
    if (rc != SQLITE_OK) {
        detail::note_result(rc);
        // A failed open still hands back a connection; keeping it would make
        // the store look open and every call run on a broken handle.
        close();
        return rc;
    }
    if (!existed && create_table() == SQLITE_OK) hash_plain_passwords(*this);
    if (!read_only()) detail::ensure_extra_tables(*this, db);
    return 0;
}

int Core::close() {
    int rc = sqlite3_close(db);
    db = nullptr;
    return rc;
}

int Core::is_open() { return db != nullptr ? 1 : 0; }

int Core::exec_sql(const char* sql) {
    if (db == nullptr) return SQLITE_MISUSE;
    return detail::note_result(sqlite3_exec(db, sql, nullptr, nullptr, nullptr));
}

int Core::exec_in_transaction(const std::string& statements) {
    Transaction t(*this);
    if (int rc = t.exec(statements.c_str()); rc != SQLITE_OK) return rc;
    return t.commit();
}

int Core::create_table() { return sqlite3_exec(db, detail::kSchemaText, nullptr, nullptr, nullptr); }

int Core::ensure_indexes() {
    if (int rc = exec_sql(detail::kCacheText); rc != SQLITE_OK) return rc;
    // An unreadable store goes on to the build, which reports why.
    if (indexes_present(db) == kIndexCount) return 0;
    // The indexes only speed the program up. A store the user may open but not
    // write (a read-only file, or a folder that takes no journal) must not be
    // refused for their sake: it is used without them.
    if (sqlite3_db_readonly(db, "main") == 1) return 0;
    const int rc = exec_in_transaction(detail::kIndexText) & 0xff;
    return rc == SQLITE_READONLY || rc == SQLITE_CANTOPEN ? 0 : rc;
}

bool Core::indexes_missing() {
    const int present = indexes_present(db);
    return present >= 0 && present < kIndexCount;
}

} // namespace vorn
