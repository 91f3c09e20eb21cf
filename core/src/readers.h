// Row readers: fill the caller's records from result rows.
//
// The position of the next row travels with the call (RowContext), so two calls
// running at once on different threads never disturb each other.
#pragma once

struct sqlite3_stmt;

namespace vorn::detail {

struct RowContext {
    void* out;     // first record of the caller's array, or the number(s) to fill
    int count = 0; // rows stored so far
};

// Whole records: reads the current row of a stepped statement into the record at
// the context's position and advances it. One per table, indexed by the record
// type's db_id (Type and Supplier share one). Numbers are read as numbers, not
// through their text, which is what makes listing a million units affordable.
using RecordReader = void (*)(sqlite3_stmt* row, RowContext& ctx);
extern const RecordReader kRecordReaders[6];
extern const char* const kTableNames[6];

// sqlite3_exec callbacks of the queries that deliver no whole records.
int read_count(void* ctx, int ncols, char** values, char** names);     // out: int
int read_total_one(void* ctx, int ncols, char** values, char** names); // out: double[1]
int read_total_two(void* ctx, int ncols, char** values, char** names); // out: double[2]
int read_alarm(void* ctx, int ncols, char** values, char** names);     // out: SRec[]

} // namespace vorn::detail
