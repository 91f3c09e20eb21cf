// What the stock-take's parts share.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "vorn/stocktake.h"

namespace vorn::detail {
class Row;
class Engine;
} // namespace vorn::detail

namespace vorn::detail {

std::string column_string(const Row& s, int column);
// 1 and out, 0 for none, -1; `where` follows the table name.
int find_take(Engine* db, const std::string& where, StockTakeRec& out);
int saved_counts(Engine* db, int64_t take, StockCounts& out);
// The counts laid over the saved ones (a negative count removes the code's).
void overlay(StockCounts& saved, const StockCounts& counts);
// The sheet of an open stock-take with these counts. 0 or -1.
int open_sheet(Core& core, Engine* db, const StockTakeRec& take, const StockCounts& counts,
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
int oldest_in_stock(Engine* db, const std::map<std::string, int>& wanted, int64_t in_stock,
                    std::map<std::string, std::vector<ShortUnit>>& out);
// Statements that replace the saved counts of the codes.
std::string save_counts_sql(int64_t take, const StockCounts& counts);

} // namespace vorn::detail
