// Stock-takes: starting, finding, saving counts and the sheet.
#include "vorn/stocktake.h"

#include <algorithm>
#include <sstream>

#include "engine.h"

#include "journalinternal.h"
#include "sqlwriter.h"
#include "stocktakeinternal.h"
#include "vorn/articles.h"
#include "vorn/core.h"
#include "vorn/sqltext.h"
#include "vorn/transaction.h"

namespace vorn {

namespace detail {

const char kTakeColumns[] =
    "SELECT FSTi_Id,FSTs_User,FSTt_Start,FSTs_Scope,FSTi_State,FSTt_Done,FSTi_Zero FROM StockTake";

std::string column_string(const Row& s, int i) {
    const auto* t = s.text(i);
    return t ? std::string(t, static_cast<size_t>(s.bytes(i))) : std::string();
}

std::string scope_text(const std::vector<int>& types) {
    std::string out;
    for (int t : types)
        out += (out.empty() ? "" : ",") + std::to_string(t);
    return out;
}

std::vector<int> scope_types(const std::string& text) {
    std::vector<int> out;
    std::istringstream in(text);
    std::string part;
    while (std::getline(in, part, ','))
        if (!part.empty()) out.push_back(std::stoi(part));
    return out;
}

void read_take(const Row& s, StockTakeRec& r) {
    r.id = s.int64(0);
    r.user = column_string(s, 1);
    r.started = parse_time(s.text(2));
    r.types = scope_types(column_string(s, 3));
    r.state = static_cast<StockTakeState>(s.integer(4));
    r.done = parse_time(s.text(5));
    r.zero_uncounted = s.integer(6) != 0;
}

int find_take(Engine* db, const std::string& where, StockTakeRec& out) {
    int n = 0;
    const int rc = query(db, std::string(kTakeColumns) + where, [&](const Row& s) {
        if (n++ == 0) read_take(s, out);
    });
    if (rc != SQLITE_OK) return -1;
    return n > 0 ? 1 : 0;
}

int saved_counts(Engine* db, int64_t take, StockCounts& out) {
    out.clear();
    const int rc = query(
        db, "SELECT FSTLs_Code,FSTLi_Counted FROM StockTakeLine WHERE FSTLi_Take=" + std::to_string(take),
        [&out](const Row& s) { out[column_string(s, 0)] = s.integer(1); });
    if (rc != SQLITE_OK) {
        out.clear();
        return -1;
    }
    return static_cast<int>(out.size());
}

void overlay(StockCounts& saved, const StockCounts& counts) {
    for (const auto& [code, n] : counts) {
        if (n < 0)
            saved.erase(code);
        else
            saved[code] = n;
    }
}

// Which units a shortfall writes off: the oldest in stock first (by stock time,
// then by entry). Goods leave the shelf first in, first out, so what the count
// still finds are the latest deliveries; the units the book holds longest are
// the ones that went without a sale (spoilt, lost, sold unrecorded). Keeping
// the newest also keeps the stock times the shelf really has.
//
// Codes are looked up one by one through the code's index, unless most of
// the stock is wanted (uncounted codes as 0): then one pass over the units in
// stock reads each unit once instead of seeking it.
int oldest_in_stock(Engine* db, const std::map<std::string, int>& wanted, int64_t in_stock,
                    std::map<std::string, std::vector<ShortUnit>>& out) {
    constexpr size_t kOneByOne = 64;
    out.clear();
    int64_t units_wanted = 0;
    for (const auto& w : wanted)
        units_wanted += w.second;
    auto unit = [](const Row& s) {
        return ShortUnit{s.integer(1), column_string(s, 2),
                         tenths_of(s.real(3))};
    };
    if (wanted.size() <= kOneByOne || units_wanted * 2 <= in_stock) {
        for (const auto& [code, n] : wanted) {
            std::vector<ShortUnit>& units = out[code];
            const int rc =
                query(db,
                      "SELECT FSs_Code,FSi_Id,FSs_Remark,FSd_OriP FROM Store WHERE FSs_Code=" + quoted(code) +
                          " AND FSi_Flag=0 ORDER BY FSt_StoT,FSi_Id LIMIT " + std::to_string(n),
                      [&](const Row& s) { units.push_back(unit(s)); });
            if (rc != SQLITE_OK) return rc;
        }
        return SQLITE_OK;
    }
    // Stock times are stored as "YYYY-MM-DD hh:mm:ss": their text sorts as
    // the times do, and an unset one (NULL, read as "") first, as SQLite sorts.
    struct Found {
        std::string time;
        ShortUnit unit;
    };
    std::map<std::string, std::vector<Found>> found;
    const int rc =
        query(db, "SELECT FSs_Code,FSi_Id,FSs_Remark,FSd_OriP,FSt_StoT FROM Store WHERE FSi_Flag=0",
              [&](const Row& s) {
                  const std::string code = column_string(s, 0);
                  if (wanted.count(code) == 0) return;
                  found[code].push_back({column_string(s, 4), unit(s)});
              });
    if (rc != SQLITE_OK) return rc;
    for (auto& [code, units] : found) {
        std::sort(units.begin(), units.end(), [](const Found& a, const Found& b) {
            return a.time != b.time ? a.time < b.time : a.unit.id < b.unit.id;
        });
        const size_t n = std::min(units.size(), static_cast<size_t>(wanted.at(code)));
        std::vector<ShortUnit>& o = out[code];
        for (size_t i = 0; i < n; ++i)
            o.push_back(std::move(units[i].unit));
    }
    return SQLITE_OK;
}

int shortfall_cost(Engine* db, const std::string& code, int n, int64_t& cost) {
    cost = 0;
    std::map<std::string, std::vector<ShortUnit>> units;
    const int rc = oldest_in_stock(db, {{code, n}}, 0, units);
    for (const ShortUnit& u : units[code])
        cost += u.cost;
    return rc;
}

int open_sheet(Core& core, Engine* db, const StockTakeRec& take, const StockCounts& counts,
               bool zero_uncounted, std::vector<StockTakeRow>& out) {
    std::vector<Article> articles;
    if (Articles(core).select("", ArticleOrder::Code, false, articles) < 0) return -1;
    std::vector<size_t> short_rows;
    for (Article& a : articles) {
        if (!take.types.empty() &&
            std::find(take.types.begin(), take.types.end(), a.type) == take.types.end())
            continue;
        StockTakeRow& r = out.emplace_back();
        r.code = std::move(a.code);
        r.name = std::move(a.name);
        r.type = a.type;
        r.book = a.in_stock;
        r.latest_cost = tenths_of(a.purchase);
        r.latest_unit = a.latest_unit;
        if (auto it = counts.find(r.code); it != counts.end())
            r.counted = it->second;
        else if (zero_uncounted)
            r.counted = 0;
        if (!r.counted) continue;
        r.difference = *r.counted - r.book;
        if (r.difference > 0) r.cost = r.difference * r.latest_cost;
        if (r.difference < 0) short_rows.push_back(out.size() - 1);
    }
    std::map<std::string, int> wanted;
    int64_t in_stock = 0;
    for (const StockTakeRow& r : out)
        in_stock += r.book;
    for (size_t i : short_rows)
        wanted[out[i].code] = -out[i].difference;
    std::map<std::string, std::vector<ShortUnit>> units;
    if (oldest_in_stock(db, wanted, in_stock, units) != SQLITE_OK) return -1;
    for (size_t i : short_rows) {
        int64_t c = 0;
        for (const ShortUnit& u : units[out[i].code])
            c += u.cost;
        out[i].cost = -c;
    }
    return 0;
}

int confirmed_sheet(Core& core, Engine* db, const StockTakeRec& take, std::vector<StockTakeRow>& out) {
    std::vector<Article> articles;
    if (Articles(core).select("", ArticleOrder::Code, false, articles) < 0) return -1;
    std::map<std::string, const Article*> by_code;
    for (const Article& a : articles)
        by_code[a.code] = &a;
    return query(
               db,
               "SELECT FSTLs_Code,FSTLi_Book,FSTLi_Counted,FSTLi_Cost FROM StockTakeLine WHERE FSTLi_Take=" +
                   std::to_string(take.id) + " ORDER BY FSTLs_Code",
               [&](const Row& s) {
                   StockTakeRow& r = out.emplace_back();
                   r.code = column_string(s, 0);
                   r.book = s.integer(1);
                   r.counted = s.integer(2);
                   r.difference = *r.counted - r.book;
                   r.cost = s.int64(3);
                   if (auto it = by_code.find(r.code); it != by_code.end()) {
                       r.name = it->second->name;
                       r.type = it->second->type;
                   }
               }) == SQLITE_OK
               ? 0
               : -1;
}

} // namespace detail

using namespace detail;

StockTakeSums sum_stock_take(const std::vector<StockTakeRow>& rows) {
    StockTakeSums s;
    s.codes = static_cast<int>(rows.size());
    for (const StockTakeRow& r : rows) {
        s.book += r.book;
        if (!r.counted) continue;
        ++s.counted_codes;
        s.counted += *r.counted;
        if (r.difference < 0) {
            s.missing -= r.difference;
            s.missing_cost -= r.cost;
        } else {
            s.extra += r.difference;
            s.extra_cost += r.cost;
        }
    }
    return s;
}

std::string stock_take_remark(const std::string& mark, const std::string& old_remark) {
    constexpr size_t kColumn = 256; // FSs_Remark VARCHAR(256)
    std::string out = mark;
    if (!old_remark.empty() && out.size() < kColumn) out += ' ';
    size_t i = 0;
    while (i < old_remark.size()) {
        const auto c = static_cast<unsigned char>(old_remark[i]);
        const size_t len = c >= 0x81 && c <= 0xFE && i + 1 < old_remark.size() ? 2 : 1;
        if (out.size() + len > kColumn) break;
        out.append(old_remark, i, len);
        i += len;
    }
    if (out.size() > kColumn) out.resize(kColumn); // a mark too long on its own
    if (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

int StockTakes::find_open(StockTakeRec& out) {
    return find_take(core_.db, " WHERE FSTi_State=0 ORDER BY FSTi_Id DESC", out);
}

int StockTakes::find(int64_t id, StockTakeRec& out) {
    return find_take(core_.db, " WHERE FSTi_Id=" + std::to_string(id), out);
}

int StockTakes::select(std::vector<StockTakeRec>& out) {
    out.clear();
    const int rc = query(core_.db, std::string(kTakeColumns) + " ORDER BY FSTi_Id DESC",
                         [&out](const Row& s) { read_take(s, out.emplace_back()); });
    if (rc != SQLITE_OK) {
        out.clear();
        return -1;
    }
    return static_cast<int>(out.size());
}

int64_t StockTakes::start(const std::string& user, const std::vector<int>& types, int64_t time) {
    Transaction write(core_);
    StockTakeRec open;
    const int found = find_open(open);
    if (found != 0) return found < 0 ? -1 : 0;
    std::string sql = "INSERT INTO StockTake (FSTs_User,FSTt_Start,FSTs_Scope,FSTi_State,FSTi_Zero) VALUES (";
    SqlWriter(sql).text(user).raw(",").time(time).raw(",").text(scope_text(types)).raw(",0,0);");
    if (write.exec(sql.c_str()) != SQLITE_OK) return -1;
    int64_t id = 0;
    if (query_integer(core_.db, "SELECT MAX(FSTi_Id) FROM StockTake", id) != SQLITE_OK) return -1;
    return write.commit() == SQLITE_OK ? id : -1;
}

int StockTakes::counts(int64_t take, StockCounts& out) {
    return saved_counts(core_.db, take, out);
}

std::string detail::save_counts_sql(int64_t take, const StockCounts& counts) {
    std::string sql;
    const std::string id = std::to_string(take);
    for (const auto& [code, n] : counts) {
        sql += "DELETE FROM StockTakeLine WHERE FSTLi_Take=" + id + " AND FSTLs_Code=" + quoted(code) + ";";
        if (n >= 0)
            sql += "INSERT INTO StockTakeLine (FSTLi_Take,FSTLs_Code,FSTLi_Counted) VALUES (" + id + "," +
                   quoted(code) + "," + std::to_string(n) + ");";
    }
    return sql;
}

int StockTakes::save_counts(int64_t take, const StockCounts& counts) {
    Transaction write(core_);
    StockTakeRec r;
    if (find(take, r) != 1 || r.state != StockTakeState::Open) return -1;
    if (counts.empty()) return 0;
    if (write.exec(save_counts_sql(take, counts).c_str()) != SQLITE_OK) return -1;
    return write.commit() == SQLITE_OK ? 0 : -1;
}

int StockTakes::sheet(const StockTakeRec& take, const StockCounts& counts, bool zero_uncounted,
                      std::vector<StockTakeRow>& out) {
    out.clear();
    int rc = 0;
    {
        // The book, the counts and the shortfalls' units from one moment.
        ReadSnapshot same(core_);
        if (take.state == StockTakeState::Open) {
            StockCounts all;
            rc = saved_counts(core_.db, take.id, all);
            if (rc >= 0) {
                overlay(all, counts);
                rc = open_sheet(core_, core_.db, take, all, zero_uncounted, out);
            }
        } else {
            rc = confirmed_sheet(core_, core_.db, take, out);
        }
    }
    if (rc < 0) {
        out.clear();
        return -1;
    }
    return static_cast<int>(out.size());
}

int StockTakes::difference_cost(const std::string& code, int difference, int64_t latest_cost, int64_t& cost) {
    cost = 0;
    if (difference >= 0) {
        cost = difference * latest_cost;
        return 0;
    }
    int64_t c = 0;
    if (shortfall_cost(core_.db, code, -difference, c) != SQLITE_OK) return -1;
    cost = -c;
    return 0;
}

int StockTakes::abandon(int64_t take, int64_t time) {
    Transaction write(core_);
    StockTakeRec r;
    const int found = find(take, r);
    if (found < 0) return -1;
    if (found == 0 || r.state != StockTakeState::Open) return 0;
    std::string sql = "UPDATE StockTake SET FSTi_State=2,FSTt_Done=";
    SqlWriter(sql).time(time).raw(" WHERE FSTi_Id=").raw(std::to_string(take).c_str()).raw(";");
    if (write.exec(sql.c_str()) != SQLITE_OK) return -1;
    return write.commit() == SQLITE_OK ? 1 : -1;
}

} // namespace vorn
