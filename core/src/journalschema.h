// The sale journal's tables and indexes (see vorn/journal.h), in SQL that
// PostgreSQL speaks as well: INTEGER PRIMARY KEY ids, BIGINT tenths of a yuan,
// TIMESTAMP times written as the six tables write theirs, CREATE ... IF NOT EXISTS.
#pragma once

namespace vorn::detail {

struct JournalTable {
    const char* name;
    // The table and its indexes, each IF NOT EXISTS: running it again is harmless.
    const char* create;
};

// Sale, SaleUnit, SalePayment, in that order.
extern const JournalTable kJournalTables[3];
// The names of the indexes the texts create, for telling whether one is missing.
extern const char* const kJournalIndexNames[5];

} // namespace vorn::detail
