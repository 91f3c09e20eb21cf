// The tables the program keeps beside the six of the store file. The six keep
// their schema text untouched (a store made by any version opens in any other);
// what the program adds lives in tables of its own, created at open wherever a
// store lacks them, so older stores and restored old backups gain them on
// their first open.
#pragma once

#include <span>

namespace vorn::detail {
class Engine;
} // namespace vorn::detail

namespace vorn {
class Core;
}

namespace vorn::detail {

struct ExtraTable {
    const char* name;
    // CREATE TABLE IF NOT EXISTS ... and the table's indexes (IF NOT EXISTS),
    // in SQL that PostgreSQL speaks as well. Run as one transaction where the
    // table is missing.
    const char* create;
};

// Every extra table, in the order they are created.
extern const std::span<const ExtraTable> kExtraTables;

// Creates the extra tables the store of `core` (whose connection is db) lacks.
// A file that does not hold the six tables (an empty file, a store whose
// schema failed, a wrong key) and a store opened read-only are left exactly as
// they are. SQLITE_OK, or the code of the first creation that failed; the
// store is usable either way, only what needs the missing table fails later.
int ensure_extra_tables(Core& core, Engine* db);

} // namespace vorn::detail
