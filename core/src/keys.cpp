// Failures kept for the caller, the file's key, and the check of the whole file.
#include <atomic>
#include <string>

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

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

void read_check_row(sqlite3_stmt* s, RowContext& ctx) {
    auto* out = static_cast<CheckRows*>(ctx.out);
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
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
    detail::CheckRows rows;
    detail::RowContext ctx{&rows};
    const int rc = detail::note_result(detail::run_one_statement(db, "PRAGMA quick_check;", detail::read_check_row, ctx));
    if (rc != SQLITE_OK) return rc;
    return rows.ok ? SQLITE_OK : detail::note_result(SQLITE_CORRUPT);
}

int Core::check_key() {
    if (db == nullptr) return detail::note_result(SQLITE_MISUSE);
    return detail::note_result(
        sqlite3_exec(db, "SELECT COUNT(*) FROM sqlite_master;", nullptr, nullptr, nullptr));
}

void Core::set_passphrase(const std::string& passphrase) { passphrase_ = passphrase; }

int Core::rekey(const std::string& passphrase) {
    if (db == nullptr) return detail::note_result(SQLITE_MISUSE);
    const std::string key = passphrase.empty() ? detail::own_key() : passphrase;
    // SQLCipher rewrites every page inside one transaction of its own: a
    // failure (a full disk) leaves the file wholly under the old key.
    const int rc = detail::note_result(sqlite3_rekey(db, key.data(), static_cast<int>(key.size())));
    if (rc == SQLITE_OK) passphrase_ = passphrase;
    return rc;
}

} // namespace vorn
