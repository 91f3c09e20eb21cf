// The sales ranking: the sold units of a span grouped by goods code.
#include "vorn/ranking.h"

#include <algorithm>
#include <tuple>

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "journalinternal.h"
#include "vorn/core.h"
#include "vorn/sqltext.h"

namespace vorn {

namespace {

void column_text(sqlite3_stmt* s, int i, std::string& out) {
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
    if (t)
        out.assign(t, static_cast<size_t>(sqlite3_column_bytes(s, i)));
    else
        out.clear();
}

// The sums are TOTAL() over the units' prices in yuan, as the charts sum them,
// turned into tenths once per code: prices are whole tenths, so the sum of a
// code is one rounding away from exact.
std::string ranking_sql(const RankingQuery& q) {
    std::string where = "FSi_Flag=1 AND FSt_SalT>='" + format_time(q.from) + "' AND FSt_SalT<'" +
                        format_time(q.to) + "'";
    if (!q.types.empty()) {
        where += " AND FSi_Type IN (";
        for (size_t i = 0; i < q.types.size(); ++i) {
            if (i > 0) where += ',';
            where += std::to_string(q.types[i]);
        }
        where += ')';
    }
    return "SELECT g.c,s.FSs_Name,s.FSi_Type,s.FSs_Size,g.n,g.r,g.o FROM (SELECT FSs_Code AS c,COUNT(*) AS n,"
           "TOTAL(FSd_ReaP) AS r,TOTAL(FSd_OriP) AS o,MAX(FSi_Id) AS k FROM Store WHERE " +
           where + " GROUP BY FSs_Code) g JOIN Store s ON s.FSi_Id=g.k";
}

template <class Key> void sort_by(std::vector<RankingRow>& rows, bool descending, Key key) {
    std::stable_sort(rows.begin(), rows.end(), [&](const RankingRow& a, const RankingRow& b) {
        const auto ka = std::make_tuple(key(a), std::cref(a.code));
        const auto kb = std::make_tuple(key(b), std::cref(b.code));
        return descending ? kb < ka : ka < kb;
    });
}

} // namespace

int share_basis_points(int64_t sales, int64_t total_sales) {
    if (total_sales == 0) return 0;
    // Half up in magnitude, in integers: no rounding of doubles at the edge.
    const int64_t scaled = sales * 10000;
    const int64_t half = (total_sales < 0 ? -total_sales : total_sales) / 2;
    const int64_t num = scaled >= 0 ? scaled + half : scaled - half;
    return static_cast<int>(num / total_sales);
}

RankingSums sum_ranking(const std::vector<RankingRow>& rows) {
    RankingSums s;
    s.codes = static_cast<int>(rows.size());
    for (const RankingRow& r : rows) {
        s.quantity += r.quantity;
        s.sales += r.sales;
        s.cost += r.cost;
    }
    return s;
}

void sort_ranking(std::vector<RankingRow>& rows, RankingOrder order, bool descending) {
    switch (order) {
    case RankingOrder::Code:
        sort_by(rows, descending, [](const RankingRow&) { return 0; });
        return;
    case RankingOrder::Name:
        sort_by(rows, descending, [](const RankingRow& r) { return std::cref(r.name); });
        return;
    case RankingOrder::Type:
        sort_by(rows, descending, [](const RankingRow& r) { return r.type; });
        return;
    case RankingOrder::Size:
        sort_by(rows, descending, [](const RankingRow& r) { return std::cref(r.size); });
        return;
    case RankingOrder::Quantity:
        sort_by(rows, descending, [](const RankingRow& r) { return r.quantity; });
        return;
    case RankingOrder::Sales:
    case RankingOrder::Share:
        sort_by(rows, descending, [](const RankingRow& r) { return r.sales; });
        return;
    case RankingOrder::Cost:
        sort_by(rows, descending, [](const RankingRow& r) { return r.cost; });
        return;
    case RankingOrder::Profit:
        sort_by(rows, descending, [](const RankingRow& r) { return r.profit(); });
        return;
    }
}

int Ranking::select(const RankingQuery& query, std::vector<RankingRow>& out) {
    out.clear();
    const int rc = detail::query(core_.db, ranking_sql(query), [&](sqlite3_stmt* s) {
        RankingRow r;
        column_text(s, 0, r.code);
        column_text(s, 1, r.name);
        r.type = sqlite3_column_int(s, 2);
        column_text(s, 3, r.size);
        r.quantity = sqlite3_column_int64(s, 4);
        r.sales = detail::tenths_of(sqlite3_column_double(s, 5));
        r.cost = detail::tenths_of(sqlite3_column_double(s, 6));
        out.push_back(std::move(r));
    });
    if (rc != SQLITE_OK) {
        out.clear();
        return -1;
    }
    sort_ranking(out, RankingOrder::Sales, true);
    return static_cast<int>(out.size());
}

} // namespace vorn
