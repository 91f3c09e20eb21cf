// Confirming a stock-take: the differences written into Store, all or nothing.
#include <algorithm>
#include <map>
#include <vector>

#include "engine.h"

#include "journalinternal.h"
#include "sqlwriter.h"
#include "stocktakeinternal.h"
#include "vorn/articles.h"
#include "vorn/core.h"
#include "vorn/records.h"
#include "vorn/stocktake.h"
#include "vorn/transaction.h"

namespace vorn {

namespace {

// "盘亏" and "盘盈" in GBK, then the stock-take's number: the unit says which
// count wrote it off or entered it.
std::string mark(const char* word, int64_t take) {
    return std::string(word) + "#" + std::to_string(take);
}
const char kMissing[] = "\xC5\xCC\xBF\xF7"; // 盘亏
const char kExtra[] = "\xC5\xCC\xD3\xAF";   // 盘盈

// Statements go to the store in pieces of about this size: a whole shop
// written off is half a million of them.
constexpr size_t kPiece = 1 << 20;

int flush(Transaction& write, std::string& sql, bool last) {
    if (sql.empty() || (!last && sql.size() < kPiece)) return SQLITE_OK;
    const int rc = write.exec(sql.c_str());
    sql.clear();
    return rc;
}

// The latest units by id (extra units copy them). SQLite code.
int latest_units(Core& core, const std::vector<int>& ids, std::map<int, SRec>& out) {
    constexpr size_t kChunk = 500;
    for (size_t i = 0; i < ids.size(); i += kChunk) {
        std::string cond = "FSi_Id IN (";
        for (size_t k = i; k < std::min(ids.size(), i + kChunk); ++k)
            cond += (k == i ? "" : ",") + std::to_string(ids[k]);
        cond += ")";
        const int n = core.get_srec_count(cond.c_str());
        if (n < 0) return SQLITE_ERROR;
        std::vector<SRec> found(static_cast<size_t>(n));
        if (n > 0 && core.select_srec(found.data(), cond.c_str()) != n) return SQLITE_ERROR;
        for (SRec& u : found)
            out[u.FSi_Id] = std::move(u);
    }
    return SQLITE_OK;
}

} // namespace

int StockTakes::confirm(int64_t take, const StockCounts& counts, bool zero_uncounted, int64_t time,
                        StockTakeResult& result) {
    result = {};
    Transaction write(core_);
    // Everything below is read under the write lock: the book stock the
    // differences are taken against is the one they are written to. On a
    // server the stock-take's row is taken first, so a second station
    // confirming the same count waits, then finds it confirmed.
    if (write.exec(("UPDATE StockTake SET FSTi_State=FSTi_State WHERE FSTi_Id=" + std::to_string(take) + ";").c_str()) !=
        SQLITE_OK)
        return -1;
    StockTakeRec rec;
    if (detail::find_take(core_.db, " WHERE FSTi_Id=" + std::to_string(take), rec) != 1 ||
        rec.state != StockTakeState::Open)
        return -1;
    StockCounts all;
    if (detail::saved_counts(core_.db, take, all) < 0) return -1;
    detail::overlay(all, counts);
    std::vector<StockTakeRow> rows;
    if (detail::open_sheet(core_, core_.db, rec, all, zero_uncounted, rows) < 0) return -1;

    // A count for a code the sheet does not hold has nowhere to go.
    size_t counted = 0;
    for (const StockTakeRow& r : rows)
        if (all.count(r.code) != 0) ++counted;
    if (counted != all.size()) return -1;

    std::map<std::string, int> short_by;
    std::vector<int> latest_ids;
    int64_t in_stock = 0;
    for (const StockTakeRow& r : rows) {
        in_stock += r.book;
        if (!r.counted) continue;
        if (r.difference < 0) short_by[r.code] = -r.difference;
        if (r.difference > 0) latest_ids.push_back(r.latest_unit);
    }
    std::map<std::string, std::vector<detail::ShortUnit>> short_units;
    std::map<int, SRec> latest;
    if (detail::oldest_in_stock(core_.db, short_by, in_stock, short_units) != SQLITE_OK ||
        latest_units(core_, latest_ids, latest) != SQLITE_OK)
        return -1;
    // The units to write off stay in stock until the commit: a till selling
    // one meanwhile makes this confirmation fail rather than count it twice.
    std::vector<int> short_ids, gone;
    for (const auto& [code, units] : short_units)
        for (const detail::ShortUnit& u : units)
            short_ids.push_back(u.id);
    if (detail::claim_units(core_.db, short_ids, 0, gone) != SQLITE_OK || !gone.empty()) return -1;

    const std::string id = std::to_string(take);
    const std::string missing = mark(kMissing, take), extra = mark(kExtra, take);
    std::string sql = "DELETE FROM StockTakeLine WHERE FSTLi_Take=" + id + ";";
    StockTakeResult done;
    for (const StockTakeRow& r : rows) {
        if (!r.counted) continue;
        if (r.difference < 0) {
            const auto& units = short_units[r.code];
            // The book was read under this same lock: fewer units would be a
            // store that changed under us.
            if (units.size() != static_cast<size_t>(-r.difference)) return -1;
            for (const detail::ShortUnit& u : units) {
                sql += "UPDATE Store SET FSi_Flag=2,FSs_Remark=";
                detail::SqlWriter(sql)
                    .text(stock_take_remark(missing, u.remark))
                    .raw(" WHERE FSi_Id=")
                    .integer(u.id)
                    .raw(";");
            }
            done.written_off += -r.difference;
        } else if (r.difference > 0) {
            auto it = latest.find(r.latest_unit);
            if (it == latest.end()) return -1;
            SRec u = it->second;
            u.FSi_Id = 0;
            u.FSt_StoT = time;
            u.FSd_ReaP = 0;
            u.FSt_SalT = 0;
            u.FSi_Flag = 0;
            u.FSs_Remark = stock_take_remark(extra, u.FSs_Remark);
            std::vector<char> buf(u.sql_capacity());
            if (u.make_insert_sql(buf.data()) < 0) return -1;
            for (int i = 0; i < r.difference; ++i)
                sql += buf.data();
            done.entered += r.difference;
        }
        done.cost += r.cost;
        sql +=
            "INSERT INTO StockTakeLine (FSTLi_Take,FSTLs_Code,FSTLi_Book,FSTLi_Counted,FSTLi_Cost) VALUES (" +
            id + "," + detail::quoted(r.code) + "," + std::to_string(r.book) + "," +
            std::to_string(*r.counted) + "," + std::to_string(r.cost) + ");";
        if (flush(write, sql, false) != SQLITE_OK) return -1;
    }
    std::string& lines = sql;
    lines += "UPDATE StockTake SET FSTi_State=1,FSTi_Zero=" + std::string(zero_uncounted ? "1" : "0") +
             ",FSTt_Done=";
    detail::SqlWriter(lines).time(time).raw(" WHERE FSTi_Id=").raw(id.c_str()).raw(";");
    if (write.exec(lines.c_str()) != SQLITE_OK) return -1;
    if (write.commit() != SQLITE_OK) return -1;
    result = done;
    return 1;
}

} // namespace vorn
