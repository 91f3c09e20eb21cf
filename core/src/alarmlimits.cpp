#include "vorn/alarmlimits.h"

#include "engine.h"

#include "journalinternal.h"
#include "vorn/core.h"
#include "vorn/transaction.h"

namespace vorn {

namespace {

// Per code of units in stock or sold: how many are in stock and the latest such
// unit, whose name and supplier speak for the code. The grouping reads only
// FSs_Code, FSi_Flag and the row id, which the index on (FSs_Code, FSi_Flag)
// holds.
std::string low_query(const char* columns, int shop_limit) {
    const std::string limit = std::to_string(shop_limit);
    return std::string("SELECT ") + columns +
           " FROM (SELECT FSs_Code AS c,SUM(CASE WHEN FSi_Flag=0 THEN 1 ELSE 0 END) AS n,MAX(FSi_Id) AS k "
           "FROM Store WHERE FSi_Flag IN (0,1) GROUP BY FSs_Code) a JOIN Store s ON s.FSi_Id=a.k "
           "LEFT JOIN AlarmLimit l ON l.FALs_Code=a.c LEFT JOIN Supplier p ON p.FSPi_Id=s.FSi_Supplier "
           "WHERE a.n<COALESCE(l.FALi_Limit," +
           limit + ")";
}

std::string text(const Row& s, int i) {
    const auto* t = s.text(i);
    return t ? std::string(t, static_cast<size_t>(s.bytes(i))) : std::string();
}

} // namespace

int AlarmLimits::select_low(int shop_limit, std::vector<AlarmLine>& out) {
    out.clear();
    const std::string limit = std::to_string(shop_limit);
    const std::string columns = "a.c,s.FSs_Name,s.FSi_Supplier,p.FSPs_Name,a.n,COALESCE(l.FALi_Limit," + limit +
                                "),CASE WHEN l.FALi_Limit IS NULL THEN 0 ELSE 1 END";
    const std::string sql = low_query(columns.c_str(), shop_limit) + " ORDER BY p.FSPs_Name,s.FSi_Supplier,a.c";
    std::vector<AlarmLine> rows;
    const int rc = detail::query(core_.db, sql, [&rows](const Row& s) {
        AlarmLine line;
        line.code = text(s, 0);
        line.name = text(s, 1);
        line.supplier = s.integer(2);
        line.supplier_name = text(s, 3);
        line.in_stock = s.integer(4);
        line.limit = s.integer(5);
        line.own_limit = s.integer(6) != 0;
        rows.push_back(std::move(line));
    });
    if (rc != SQLITE_OK) return -1;
    out = std::move(rows);
    return static_cast<int>(out.size());
}

int AlarmLimits::count_low(int shop_limit) {
    int64_t n = 0;
    const std::string sql = "SELECT COUNT(*) FROM (" + low_query("a.c", shop_limit) + ") x";
    return detail::query_integer(core_.db, sql, n) == SQLITE_OK ? static_cast<int>(n) : -1;
}

bool AlarmLimits::set(const std::string& code, int limit) {
    if (code.empty()) return false;
    // Replace in one transaction: the old row goes only when the new one is in.
    const std::string key = detail::quoted(code);
    const std::string sql = "DELETE FROM AlarmLimit WHERE FALs_Code=" + key +
                            ";INSERT INTO AlarmLimit (FALs_Code,FALi_Limit) VALUES(" + key + "," +
                            std::to_string(limit) + ");";
    Transaction t(core_);
    return t.exec(sql.c_str()) == SQLITE_OK && t.commit() == SQLITE_OK;
}

bool AlarmLimits::clear(const std::string& code) {
    const std::string sql = "DELETE FROM AlarmLimit WHERE FALs_Code=" + detail::quoted(code);
    return detail::query(core_.db, sql, [](const Row&) {}) == SQLITE_OK;
}

int AlarmLimits::select(std::vector<AlarmLimitRec>& out) {
    out.clear();
    std::vector<AlarmLimitRec> rows;
    const int rc = detail::query(core_.db, "SELECT FALs_Code,FALi_Limit FROM AlarmLimit ORDER BY FALs_Code",
                                 [&rows](const Row& s) { rows.push_back({text(s, 0), s.integer(1)}); });
    if (rc != SQLITE_OK) return -1;
    out = std::move(rows);
    return static_cast<int>(out.size());
}

} // namespace vorn
