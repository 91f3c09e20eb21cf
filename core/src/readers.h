// Row readers: fill the caller's records from result rows.
//
// The position of the next row travels with the call (RowContext), so two calls
// running at once on different threads never disturb each other.
#pragma once


namespace vorn::detail {

class Row;

struct RowContext {
    void* out;     // first record of the caller's array, or the number(s) to fill
    int count = 0; // rows stored so far
};

// Every reader takes the current row of a stepped statement. Whole records go
// into the record at the context's position, which then advances; one reader
// per table, indexed by the record type's db_id. Numbers are read as numbers,
// not through their text, which is what makes listing a million units affordable.
using RowReader = void (*)(const Row& row, RowContext& ctx);
extern const RowReader kRecordReaders[6];
extern const char* const kTableNames[6];

// The queries that deliver no whole records. Their values are read through the
// column's text, as sqlite3_exec hands it over, so a total carries the 15
// significant digits the pages have always been given.
void read_count(const Row& row, RowContext& ctx);     // out: int
void read_total_one(const Row& row, RowContext& ctx); // out: double[1]
void read_total_two(const Row& row, RowContext& ctx); // out: double[2]
void read_alarm(const Row& row, RowContext& ctx);     // out: SRec[]

} // namespace vorn::detail
