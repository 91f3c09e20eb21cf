// Opening, creating and closing the store file.
#include "vorn/core.h"

#include <cstdio>

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "schema.h"

namespace vorn {

namespace {
const char kFileName[] = "__vorn__";
const char kKey[] = "Kest_wob ~o~";
const int kKeyLength = 12;
} // namespace

Core::Core() : db(nullptr) {}

int Core::open() {
    bool existed = false;
    if (std::FILE* f = std::fopen(kFileName, "r")) {
        existed = true;
        std::fclose(f);
    }
    // Serialized mode: the GUI thread and a busy-window worker may both call in.
    int rc = sqlite3_open_v2(kFileName, &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                             nullptr);
    if (rc != SQLITE_OK) return rc;
    rc = sqlite3_key(db, kKey, kKeyLength);
    if (existed || rc != SQLITE_OK) return rc;
    create_table();
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
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

int Core::create_table() { return sqlite3_exec(db, detail::kSchemaText, nullptr, nullptr, nullptr); }

int Core::ensure_indexes() { return exec_sql(detail::kIndexText); }

} // namespace vorn
