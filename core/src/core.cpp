// Opening, creating and closing the store file, and the indexes we add to it.
#include "vorn/core.h"

#include <cstdio>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "extschema.h"
#include "fileengine.h"
#include "lasterror.h"
#include "onestatement.h"
#include "schema.h"
#include "serverengine.h"
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
int indexes_present(detail::Engine* db) {
    if (db == nullptr) return -1;
    return db->indexes_present(std::vector<const char*>(std::begin(detail::kIndexNames), std::end(detail::kIndexNames)));
}

const int kIndexCount = static_cast<int>(std::size(detail::kIndexNames));

std::mutex g_default_mutex;
std::string g_default_server;

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

Core::Core() : db(nullptr), server_(default_server()) {}

void Core::set_default_server(const std::string& conninfo) {
    std::lock_guard<std::mutex> hold(g_default_mutex);
    g_default_server = conninfo;
}

std::string Core::default_server() {
    std::lock_guard<std::mutex> hold(g_default_mutex);
    return g_default_server;
}

bool Core::on_server() const { return db != nullptr && db->server(); }

int Core::open() {
    open_message_.clear();
    if (!server_.empty()) return open_server();
    bool existed = false;
    if (std::FILE* f = std::fopen(kFileName, "r")) {
        existed = true;
        std::fclose(f);
    }
    // Serialized mode: the GUI thread and a busy-window worker may both call in.
    const int mode = read_only() ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    sqlite3* file = nullptr;
    int rc = sqlite3_open_v2(kFileName, &file, mode | SQLITE_OPEN_FULLMUTEX, nullptr);
    // A failed open still hands back a connection; the engine closes it.
    engine_ = std::make_shared<detail::FileEngine>(file);
    db = engine_.get();
    if (rc == SQLITE_OK) rc = sqlite3_busy_timeout(file, kBusyTimeoutMs);
    if (rc == SQLITE_OK) {
        const std::string key = passphrase_.empty() ? detail::own_key() : passphrase_;
        rc = sqlite3_key(file, key.data(), static_cast<int>(key.size()));
    }
    if (rc != SQLITE_OK) {
        detail::note_result(rc);
        // Keeping it would make the store look open and every call run on a
        // broken handle.
        close();
        return rc;
    }
    if (!existed && create_table() == SQLITE_OK) hash_plain_passwords(*this);
    if (!read_only()) detail::ensure_extra_tables(*this, db);
    return 0;
}

int Core::open_server() {
    int rc = SQLITE_OK;
    std::unique_ptr<detail::ServerEngine> server = detail::ServerEngine::connect(server_, rc, open_message_);
    if (!server) return detail::note_result(rc != SQLITE_OK ? rc : SQLITE_CANTOPEN);
    bool created = false;
    rc = server->ensure_schema(created);
    if (rc != SQLITE_OK) {
        open_message_ = server->last_message();
        server->close();
        return detail::note_result(rc);
    }
    engine_ = std::move(server);
    db = engine_.get();
    if (created) hash_plain_passwords(*this);
    // Tills starting together on a new database would clash making the same
    // tables: they are made under the lock the server engine makes the store
    // under, held to the commit (the writes join this transaction).
    {
        Transaction hold(*this);
        if (hold.exec(detail::kServerStoreLock) == SQLITE_OK) {
            detail::ensure_extra_tables(*this, db);
            hold.commit();
        }
    }
    return 0;
}

int Core::close() {
    // Copies made before keep the engine alive but closed: their calls fail
    // instead of reaching a freed connection.
    const int rc = db != nullptr ? db->close() : SQLITE_OK;
    engine_.reset();
    db = nullptr;
    return rc;
}

int Core::is_open() { return db != nullptr ? 1 : 0; }

int Core::exec_sql(const char* sql) {
    if (db == nullptr) return SQLITE_MISUSE;
    return detail::note_result(db->exec(sql));
}

int Core::exec_in_transaction(const std::string& statements) {
    Transaction t(*this);
    if (int rc = t.exec(statements.c_str()); rc != SQLITE_OK) return rc;
    return t.commit();
}

int Core::create_table() { return db->exec(detail::kSchemaText); }

int Core::ensure_indexes() {
    if (int rc = exec_sql(detail::kCacheText); rc != SQLITE_OK) return rc;
    // The counter takes a code's units in stock in the order of their ids.
    // The file reads them that way through its own indexes; the server's
    // planner, without this one, walks the whole table by id and filters.
    if (db != nullptr && db->server())
        if (int rc = exec_sql(detail::kServerIndexText); rc != SQLITE_OK) return rc;
    // An unreadable store goes on to the build, which reports why.
    if (indexes_present(db) == kIndexCount) return 0;
    // The indexes only speed the program up. A store the user may open but not
    // write (a read-only file, or a folder that takes no journal) must not be
    // refused for their sake: it is used without them.
    if (db->read_only()) return 0;
    const int rc = exec_in_transaction(detail::kIndexText) & 0xff;
    return rc == SQLITE_READONLY || rc == SQLITE_CANTOPEN ? 0 : rc;
}

bool Core::indexes_missing() {
    const int present = indexes_present(db);
    return present >= 0 && present < kIndexCount;
}

} // namespace vorn
