// Failures kept for the caller, the file's key, and the check of the whole file.
#include <atomic>
#include <string>

#include "fileengine.h"
#include "lasterror.h"
#include "onestatement.h"
#include "vorn/core.h"

namespace vorn {

namespace detail {
namespace {
// Process-wide: a write that fails on the busy window's worker is reported by
// the GUI thread afterwards.
std::atomic<int> g_last_error{SQLITE_OK};

struct CheckRows {
    int rows = 0;
    bool ok = false;
};

void read_check_row(const Row& s, RowContext& ctx) {
    auto* out = static_cast<CheckRows*>(ctx.out);
    const char* text = s.text(0);
    ++out->rows;
    out->ok = out->rows == 1 && text != nullptr && std::string(text) == "ok";
}
} // namespace

int note_result(int rc) {
    const int primary = rc & 0xff;
    if (primary != SQLITE_OK && primary != SQLITE_ROW && primary != SQLITE_DONE) g_last_error.store(primary);
    return rc;
}
void clear_last_error() { g_last_error.store(SQLITE_OK); }
} // namespace detail

int Core::last_error() { return detail::g_last_error.load(); }

bool Core::is_disk_full(int code) { return (code & 0xff) == SQLITE_FULL; }

int Core::quick_check() {
    // The key alone is checked lazily by SQLite: read the schema first, so a
    // wrong key answers as one rather than as damage.
    if (int rc = check_key(); rc != SQLITE_OK) return rc;
    // The server keeps its own pages sound; reaching it is the check.
    if (db->server()) return SQLITE_OK;
    detail::CheckRows rows;
    detail::RowContext ctx{&rows};
    const int rc = detail::note_result(detail::run_one_statement(db, "PRAGMA quick_check;", detail::read_check_row, ctx));
    if (rc != SQLITE_OK) return rc;
    return rows.ok ? SQLITE_OK : detail::note_result(SQLITE_CORRUPT);
}

int Core::check_key() {
    if (db == nullptr) return detail::note_result(SQLITE_MISUSE);
    return detail::note_result(db->exec(db->server() ? "SELECT 1;" : "SELECT COUNT(*) FROM sqlite_master;"));
}

void Core::set_passphrase(const std::string& passphrase) { passphrase_ = passphrase; }

int Core::rekey(const std::string& passphrase) {
    // A server guards its data by its own accounts, not by a key of ours.
    if (db == nullptr || db->server()) return detail::note_result(SQLITE_MISUSE);
    sqlite3* file = static_cast<detail::FileEngine*>(db)->handle();
    const std::string key = passphrase.empty() ? detail::own_key() : passphrase;
    // SQLCipher rewrites every page inside one transaction of its own: a
    // failure (a full disk) leaves the file wholly under the old key.
    const int rc = detail::note_result(sqlite3_rekey(file, key.data(), static_cast<int>(key.size())));
    if (rc == SQLITE_OK) passphrase_ = passphrase;
    return rc;
}

} // namespace vorn
