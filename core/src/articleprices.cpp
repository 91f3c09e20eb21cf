// New prices for an article's units in stock, and the history of such changes.
#include <map>

#include "engine.h"

#include "journalinternal.h"
#include "sqlwriter.h"
#include "vorn/articles.h"
#include "vorn/core.h"
#include "vorn/transaction.h"

namespace vorn {

namespace {

// The Store columns of the five levels, in PriceLevel order.
const char* const kStoreColumns[kPriceLevels] = {"FSd_RetP", "FSd_MemP", "FSd_GolP", "FSd_WhoP", "FSd_SpeP"};

using Prices = std::array<int64_t, kPriceLevels>;

void money(detail::SqlWriter& w, int64_t tenths) {
    w.money(static_cast<double>(tenths) / 10.0);
}

} // namespace

int Articles::set_prices(const PriceChange& change) {
    bool any = false;
    for (const auto& t : change.tenths) {
        if (t && *t < 0) return -1;
        any = any || t.has_value();
    }
    if (!any) return 0;
    const std::string code = detail::quoted(change.code);
    const std::string in_stock = " WHERE FSs_Code=" + code + " AND FSi_Flag=0";

    Transaction write(core_);
    // The old prices as tenths, with how many units had them: read under the
    // write lock, so they are the prices the update replaces.
    std::map<Prices, int> groups;
    int rc = detail::query(core_.db,
                           "SELECT FSd_RetP,FSd_MemP,FSd_GolP,FSd_WhoP,FSd_SpeP,COUNT(*) FROM Store" +
                               in_stock + " GROUP BY FSd_RetP,FSd_MemP,FSd_GolP,FSd_WhoP,FSd_SpeP",
                           [&groups](const Row& s) {
                               Prices old{};
                               for (int p = 0; p < kPriceLevels; ++p)
                                   old[static_cast<size_t>(p)] =
                                       detail::tenths_of(s.real(p));
                               groups[old] += s.integer(kPriceLevels);
                           });
    if (rc != SQLITE_OK) return -1;
    if (groups.empty()) return 0;

    std::string sql = "UPDATE Store SET ";
    detail::SqlWriter w(sql);
    bool first = true;
    for (int p = 0; p < kPriceLevels; ++p) {
        const auto& t = change.tenths[static_cast<size_t>(p)];
        if (!t) continue;
        w.raw(first ? "" : ",").raw(kStoreColumns[p]).raw("=");
        money(w, *t);
        first = false;
    }
    sql += in_stock + ";";
    int units = 0;
    for (const auto& [old, n] : groups) {
        w.raw("INSERT INTO PriceHistory (FPHs_Code,FPHt_Time,FPHs_User,FPHi_Units,FPHi_OldRet,FPHi_OldMem,"
              "FPHi_OldGol,FPHi_OldWho,FPHi_OldSpe,FPHi_NewRet,FPHi_NewMem,FPHi_NewGol,FPHi_NewWho,FPHi_"
              "NewSpe) "
              "VALUES (")
            .text(change.code)
            .raw(",")
            .time(change.time)
            .raw(",")
            .text(change.user)
            .raw(",")
            .integer(n);
        for (int64_t o : old)
            sql += "," + std::to_string(o);
        for (int p = 0; p < kPriceLevels; ++p) {
            const auto& t = change.tenths[static_cast<size_t>(p)];
            sql += "," + std::to_string(t ? *t : old[static_cast<size_t>(p)]);
        }
        sql += ");";
        units += n;
    }
    if (write.exec(sql.c_str()) != SQLITE_OK) return -1;
    return write.commit() == SQLITE_OK ? units : -1;
}

int Articles::select_history(const std::string& code, std::vector<PriceHistoryRec>& out) {
    out.clear();
    const int rc = detail::query(
        core_.db,
        "SELECT "
        "FPHi_Id,FPHs_Code,FPHt_Time,FPHs_User,FPHi_Units,FPHi_OldRet,FPHi_OldMem,FPHi_OldGol,FPHi_OldWho,"
        "FPHi_OldSpe,FPHi_NewRet,FPHi_NewMem,FPHi_NewGol,FPHi_NewWho,FPHi_NewSpe FROM PriceHistory WHERE "
        "FPHs_Code=" +
            detail::quoted(code) + " ORDER BY FPHt_Time DESC,FPHi_Id DESC",
        [&out](const Row& s) {
            PriceHistoryRec& r = out.emplace_back();
            r.id = s.int64(0);
            const auto* c = s.text(1);
            r.code = c ? std::string(c, static_cast<size_t>(s.bytes(1))) : std::string();
            r.time = parse_time(s.text(2));
            const auto* u = s.text(3);
            r.user = u ? std::string(u, static_cast<size_t>(s.bytes(3))) : std::string();
            r.units = s.integer(4);
            for (int p = 0; p < kPriceLevels; ++p) {
                r.old_tenths[static_cast<size_t>(p)] = s.int64(5 + p);
                r.new_tenths[static_cast<size_t>(p)] = s.int64(10 + p);
            }
        });
    if (rc != SQLITE_OK) {
        out.clear();
        return -1;
    }
    return static_cast<int>(out.size());
}

} // namespace vorn
