// The sales ranking: the sold units of a span grouped by goods code.
#include "vorn/ranking.h"

#include <algorithm>
#include <tuple>
#include <unordered_map>

#include "engine.h"

#include "journalinternal.h"
#include "vorn/core.h"
#include "vorn/sqltext.h"
#include "vorn/transaction.h"

namespace vorn {

namespace {

void column_text(const Row& s, int i, std::string& out) {
    const auto* t = s.text(i);
    if (t)
        out.assign(t, static_cast<size_t>(s.bytes(i)));
    else
        out.clear();
}

// The sold units of the span, one row each, read from the index that holds
// the sold units by time with their code, prices and type (vorn_store_sold_code):
// the span's entries in order and no unit looked up in the table. The type is
// tested as "FSi_Type+0" so that the index by type and time, which lacks the
// code, is never preferred for it.
std::string units_sql(const RankingQuery& q) {
    std::string sql = "SELECT FSs_Code,FSi_Id,FSd_ReaP,FSd_OriP FROM Store WHERE FSi_Flag=1 AND FSt_SalT>='" +
                      format_time(q.from) + "' AND FSt_SalT<'" + format_time(q.to) + "'";
    if (!q.types.empty()) {
        sql += " AND FSi_Type+0 IN (";
        for (size_t i = 0; i < q.types.size(); ++i) {
            if (i > 0) sql += ',';
            sql += std::to_string(q.types[i]);
        }
        sql += ')';
    }
    return sql;
}

struct Group {
    int64_t quantity = 0;
    double sales = 0, cost = 0; // yuan, summed as the charts' TOTAL() sums them
    int latest = 0;             // FSi_Id of the code's latest unit sold in the span
};

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
    // The units and the names of their latest ones from the same state of the
    // store: a sale committed in between cannot name a unit the sums lack.
    ReadSnapshot snapshot(core_);
    std::unordered_map<std::string, Group> groups;
    std::string code;
    int rc = detail::query(core_.db, units_sql(query), [&](const Row& s) {
        column_text(s, 0, code);
        Group& g = groups[code];
        ++g.quantity;
        g.latest = std::max(g.latest, s.integer(1));
        g.sales += s.real(2);
        g.cost += s.real(3);
    });
    if (rc != SQLITE_OK) return -1;

    // Name, type and size of each code's latest unit sold, a few hundred ids a statement.
    std::unordered_map<int, size_t> row_of;
    out.reserve(groups.size());
    for (auto& [c, g] : groups) {
        RankingRow r;
        r.code = c;
        r.quantity = g.quantity;
        // Prices are whole tenths: the sum of a code is one rounding away from exact.
        r.sales = detail::tenths_of(g.sales);
        r.cost = detail::tenths_of(g.cost);
        row_of[g.latest] = out.size();
        out.push_back(std::move(r));
    }
    std::vector<int> ids;
    ids.reserve(row_of.size());
    for (const auto& [id, row] : row_of)
        ids.push_back(id);
    constexpr size_t kIdsPerStatement = 500;
    for (size_t first = 0; first < ids.size() && rc == SQLITE_OK; first += kIdsPerStatement) {
        std::string sql = "SELECT FSi_Id,FSs_Name,FSi_Type,FSs_Size FROM Store WHERE FSi_Id IN (";
        for (size_t i = first; i < ids.size() && i < first + kIdsPerStatement; ++i) {
            if (i > first) sql += ',';
            sql += std::to_string(ids[i]);
        }
        sql += ')';
        rc = detail::query(core_.db, sql, [&](const Row& s) {
            const auto found = row_of.find(s.integer(0));
            if (found == row_of.end()) return;
            RankingRow& r = out[found->second];
            column_text(s, 1, r.name);
            r.type = s.integer(2);
            column_text(s, 3, r.size);
        });
    }
    if (rc != SQLITE_OK) {
        out.clear();
        return -1;
    }
    sort_ranking(out, RankingOrder::Sales, true);
    return static_cast<int>(out.size());
}

} // namespace vorn
