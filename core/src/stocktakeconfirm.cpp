// Confirming a stock-take: the differences written into Store, all or nothing.
#include <vector>

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

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

// Writes off the oldest `n` units of the code in stock. SQLite code.
int write_off(Transaction& write, sqlite3* db, const std::string& code, int n, int64_t take, int& units) {
    std::string sql;
    int found = 0;
    const std::string m = mark(kMissing, take);
    int rc = detail::query(db, detail::oldest_in_stock(code, n), [&](sqlite3_stmt* s) {
        sql += "UPDATE Store SET FSi_Flag=2,FSs_Remark=";
        detail::SqlWriter(sql)
            .text(stock_take_remark(m, detail::column_string(s, 1)))
            .raw(" WHERE FSi_Id=")
            .integer(sqlite3_column_int(s, 0))
            .raw(";");
        ++found;
    });
    if (rc != SQLITE_OK) return rc;
    // The book was read under this same lock: fewer units would be a store
    // that changed under us.
    if (found != n) return SQLITE_ERROR;
    units += found;
    return write.exec(sql.c_str());
}

// Enters `n` units of the code with the fields and prices of its latest unit.
int enter(Core& core, Transaction& write, const std::string& code, int n, int64_t take, int64_t time,
          int& units) {
    SRec latest;
    if (Articles(core).latest_unit(code, latest) != 1) return SQLITE_ERROR;
    latest.FSi_Id = 0;
    latest.FSt_StoT = time;
    latest.FSd_ReaP = 0;
    latest.FSt_SalT = 0;
    latest.FSi_Flag = 0;
    latest.FSs_Remark = stock_take_remark(mark(kExtra, take), latest.FSs_Remark);
    std::vector<char> buf(latest.sql_capacity());
    if (latest.make_insert_sql(buf.data()) < 0) return SQLITE_ERROR;
    std::string sql;
    for (int i = 0; i < n; ++i)
        sql += buf.data();
    units += n;
    return write.exec(sql.c_str());
}

} // namespace

int StockTakes::confirm(int64_t take, const StockCounts& counts, bool zero_uncounted, int64_t time,
                        StockTakeResult& result) {
    result = {};
    Transaction write(core_);
    // Everything below is read under the write lock: the book stock the
    // differences are taken against is the one they are written to.
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

    const std::string id = std::to_string(take);
    std::string lines = "DELETE FROM StockTakeLine WHERE FSTLi_Take=" + id + ";";
    StockTakeResult done;
    for (const StockTakeRow& r : rows) {
        if (!r.counted) continue;
        int rc = SQLITE_OK;
        if (r.difference < 0)
            rc = write_off(write, core_.db, r.code, -r.difference, take, done.written_off);
        else if (r.difference > 0)
            rc = enter(core_, write, r.code, r.difference, take, time, done.entered);
        if (rc != SQLITE_OK) return -1;
        done.cost += r.cost;
        lines +=
            "INSERT INTO StockTakeLine (FSTLi_Take,FSTLs_Code,FSTLi_Book,FSTLi_Counted,FSTLi_Cost) VALUES (" +
            id + "," + detail::quoted(r.code) + "," + std::to_string(r.book) + "," +
            std::to_string(*r.counted) + "," + std::to_string(r.cost) + ");";
    }
    lines += "UPDATE StockTake SET FSTi_State=1,FSTi_Zero=" + std::string(zero_uncounted ? "1" : "0") +
             ",FSTt_Done=";
    detail::SqlWriter(lines).time(time).raw(" WHERE FSTi_Id=").raw(id.c_str()).raw(";");
    if (write.exec(lines.c_str()) != SQLITE_OK) return -1;
    if (write.commit() != SQLITE_OK) return -1;
    result = done;
    return 1;
}

} // namespace vorn
