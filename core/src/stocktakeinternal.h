// What the stock-take's parts share.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "vorn/stocktake.h"

struct sqlite3;
struct sqlite3_stmt;

namespace vorn::detail {

std::string column_string(sqlite3_stmt* s, int column);
// 1 and out, 0 for none, -1; `where` follows the table name.
int find_take(sqlite3* db, const std::string& where, StockTakeRec& out);
int saved_counts(sqlite3* db, int64_t take, StockCounts& out);
// The counts laid over the saved ones (a negative count removes the code's).
void overlay(StockCounts& saved, const StockCounts& counts);
// The sheet of an open stock-take with these counts. 0 or -1.
int open_sheet(Core& core, sqlite3* db, const StockTakeRec& take, const StockCounts& counts,
               bool zero_uncounted, std::vector<StockTakeRow>& out);
// A unit a shortfall writes off.
struct ShortUnit {
    int id = 0;
    std::string remark;
    int64_t cost = 0; // FSd_OriP in tenths
};
// For each code the given number of its units in stock that a shortfall
// writes off (see the comment at the definition), oldest first. SQLite code.
// `in_stock` is the units in stock of the codes the caller looks at.
int oldest_in_stock(sqlite3* db, const std::map<std::string, int>& wanted, int64_t in_stock,
                    std::map<std::string, std::vector<ShortUnit>>& out);
// Statements that replace the saved counts of the codes.
std::string save_counts_sql(int64_t take, const StockCounts& counts);

} // namespace vorn::detail
