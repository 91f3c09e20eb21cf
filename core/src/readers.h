// Row readers: sqlite3_exec callbacks that fill the caller's records.
//
// The position of the next row travels with the call (RowContext), so two calls
// running at once on different threads never disturb each other.
#pragma once

namespace vorn::detail {

struct RowContext {
    void* out;     // first record of the caller's array, or the number(s) to fill
    int count = 0; // rows stored so far
};

using RowReader = int (*)(void* ctx, int ncols, char** values, char** names);

// One per table, indexed by the record type's db_id (Type and Supplier share one).
extern const RowReader kRowReaders[6];
extern const char* const kTableNames[6];

int read_count(void* ctx, int ncols, char** values, char** names);     // out: int
int read_total_one(void* ctx, int ncols, char** values, char** names); // out: double[1]
int read_total_two(void* ctx, int ncols, char** values, char** names); // out: double[2]
int read_alarm(void* ctx, int ncols, char** values, char** names);     // out: SRec[]

} // namespace vorn::detail
