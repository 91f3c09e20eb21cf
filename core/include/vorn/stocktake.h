// vorn::StockTakes: counting what is on the shelves against the book.
//
// A stock-take covers all goods or the codes of some types (a code's type is
// its latest unit's, as vorn/articles.h says). While it is open, the counts per
// code are kept in table StockTakeLine, so a count can be saved and continued
// after the program or the store was closed; at most one stock-take is open at
// a time. Confirming it writes the differences into Store in one transaction:
// units the count did not find are written off (FSi_Flag 2, remark 盘亏), units
// found beyond the book are entered at the code's latest prices (remark 盘盈),
// and the stock-take keeps its lines with the book stock and the difference at
// cost of that moment, its user and its time.
//
// A code nobody counted is left alone when confirming, unless the caller says
// that uncounted codes count 0 (then all their units in stock are written off).
//
// Text (codes, names, the user) is GBK bytes, as everywhere in the store. Money
// in tenths of a yuan.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "vorn/export.h"

namespace vorn {

class Core;

enum class StockTakeState : int { Open = 0, Confirmed = 1, Abandoned = 2 };

struct StockTakeRec {
    int64_t id = 0;
    std::string user;       // FUs_Name of who started it
    int64_t started = 0;    // local-time seconds
    std::vector<int> types; // the types counted; empty for all goods
    StockTakeState state = StockTakeState::Open;
    int64_t done = 0;            // when it was confirmed or abandoned; 0 while open
    bool zero_uncounted = false; // confirmed with uncounted codes as 0
};

// Counts per code: code -> units counted.
using StockCounts = std::map<std::string, int>;

// One row of the sheet: a code in the stock-take's scope.
struct StockTakeRow {
    std::string code;
    std::string name; // the latest unit's
    int type = 0;
    int book = 0;               // units in stock (now; at confirming for a confirmed one)
    std::optional<int> counted; // none while nobody counted the code
    int difference = 0;         // counted - book; 0 for a code left alone
    int64_t cost = 0;           // the difference at purchase price, tenths (negative: missing)
    int64_t latest_cost = 0;    // the latest unit's purchase price, tenths (what an extra unit costs)
    int latest_unit = 0;        // FSi_Id of the latest unit, whose fields extra units take
};

struct StockTakeSums {
    int codes = 0, counted_codes = 0;
    int64_t book = 0, counted = 0;
    int64_t missing = 0, extra = 0;           // units to write off / to enter
    int64_t missing_cost = 0, extra_cost = 0; // tenths, both >= 0
    int64_t cost() const { return extra_cost - missing_cost; }
};
VORNCORE_API StockTakeSums sum_stock_take(const std::vector<StockTakeRow>& rows);

// What a confirmation wrote.
struct StockTakeResult {
    int written_off = 0; // units set to FSi_Flag 2
    int entered = 0;     // units inserted
    int64_t cost = 0;    // tenths, extra minus missing
};

class VORNCORE_API StockTakes {
public:
    explicit StockTakes(Core& core) : core_(core) {}

    // The open stock-take: 1 found, 0 none open, -1 the store failed.
    int find_open(StockTakeRec& out);
    // The stock-take of that id: 1, 0 no such one, -1.
    int find(int64_t id, StockTakeRec& out);
    // All stock-takes, newest first. Their number, or -1.
    int select(std::vector<StockTakeRec>& out);

    // Starts a count of all goods (types empty) or of the given types. The new
    // id; 0 when another one is open (nothing written); -1 when the store failed.
    int64_t start(const std::string& user, const std::vector<int>& types, int64_t time);

    // The saved counts of the stock-take. Their number, or -1 (out then empty).
    int counts(int64_t take, StockCounts& out);
    // Saves the counts (each replaces the code's saved count; a negative one
    // removes it, the code is then uncounted again) in one transaction. 0; -1
    // when the stock-take is not open or the store failed (nothing written).
    int save_counts(int64_t take, const StockCounts& counts);

    // The sheet: every code in the stock-take's scope that the store holds,
    // ordered by code. An open one shows today's book stock with the given
    // counts (the saved ones overlaid by `counts`) and, with zero_uncounted,
    // uncounted codes as counted 0; a confirmed one shows what was written.
    // The number of rows, or -1 (out then empty).
    int sheet(const StockTakeRec& take, const StockCounts& counts, bool zero_uncounted,
              std::vector<StockTakeRow>& out);

    // Saves the counts and writes the differences (see above) in one
    // transaction, the stock-take then confirmed at `time`. 1 and the result;
    // -1 when the stock-take is not open, a counted code has no unit in the
    // store, or the store refused a write: then nothing is written.
    int confirm(int64_t take, const StockCounts& counts, bool zero_uncounted, int64_t time,
                StockTakeResult& result);

    // The difference at cost of a code whose count differs from its book
    // stock by `difference` (see the sheet), for a sheet that follows a count
    // without reading it all again. 0 and cost; -1.
    int difference_cost(const std::string& code, int difference, int64_t latest_cost, int64_t& cost);

    // Ends an open stock-take without writing anything to Store. 1; 0 when it
    // is not open; -1.
    int abandon(int64_t take, int64_t time);

private:
    Core& core_;
};

// The remark of a unit written off or entered by a stock-take: the mark first,
// then what the unit said before, cut on a whole GBK character to fit the
// column's 256 bytes.
VORNCORE_API std::string stock_take_remark(const std::string& mark, const std::string& old_remark);

} // namespace vorn
