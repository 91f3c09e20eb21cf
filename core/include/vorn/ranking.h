// vorn::Ranking: what sells. For a span of days and some goods types, each
// goods code's units sold, what they brought, what they cost, the profit and
// its share of the span's sales, net of returns.
//
// The figures are read from the units in Store, not from the journal: a unit
// is counted while it is sold (FSi_Flag 1) with its sale time in the span, at
// the price it was sold for (FSd_ReaP) and its purchase price (FSd_OriP). A
// return sets the unit back in stock or writes it off, so a returned unit
// simply stops counting and the ranking is net of returns without reading
// them; the statistics charts count exactly these units, so the two pages
// agree on every span; and sales the program made before the journal existed
// count too. A unit sold in one span and returned in a later one leaves the
// earlier span (the journal would book the return in the later span instead).
//
// Money in tenths of a yuan. Text (codes, names) is GBK bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vorn/export.h"

namespace vorn {

class Core;

struct RankingQuery {
    int64_t from = 0;       // sale time >= from (local-time seconds)
    int64_t to = 0;         // sale time < to
    std::vector<int> types; // FSi_Type of the units counted; empty: every type
};

struct RankingRow {
    std::string code;
    std::string name; // of the code's latest unit sold in the span
    int type = 0;     // likewise
    std::string size; // likewise
    int64_t quantity = 0;
    int64_t sales = 0; // tenths
    int64_t cost = 0;  // tenths
    int64_t profit() const { return sales - cost; }
};

enum class RankingOrder { Code, Name, Type, Size, Quantity, Sales, Cost, Profit, Share };

struct RankingSums {
    int codes = 0;
    int64_t quantity = 0, sales = 0, cost = 0;
    int64_t profit() const { return sales - cost; }
};

// The code's share of the span's sales in hundredths of a percent (1234 is
// 12.34%), rounded half up; 0 when the span sold nothing.
VORNCORE_API int share_basis_points(int64_t sales, int64_t total_sales);

VORNCORE_API RankingSums sum_ranking(const std::vector<RankingRow>& rows);

// Sorts by the column, ties by code in the same direction. Share sorts as
// sales do (one total divides them all).
VORNCORE_API void sort_ranking(std::vector<RankingRow>& rows, RankingOrder order, bool descending);

class VORNCORE_API Ranking {
public:
    explicit Ranking(Core& core) : core_(core) {}

    // One row per code with a unit sold in the span, best sales first (ties by
    // code). Replaces out; the number of rows, or -1 when the store failed
    // (out then empty).
    int select(const RankingQuery& query, std::vector<RankingRow>& out);

private:
    Core& core_;
};

} // namespace vorn
