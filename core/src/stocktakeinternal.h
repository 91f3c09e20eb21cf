// What the stock-take's parts share.
#pragma once

#include <cstdint>
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
// The select of the n units of the code that a shortfall writes off:
// FSi_Id, FSs_Remark, FSd_OriP.
std::string oldest_in_stock(const std::string& code, int n);
// Statements that replace the saved counts of the codes.
std::string save_counts_sql(int64_t take, const StockCounts& counts);

} // namespace vorn::detail
