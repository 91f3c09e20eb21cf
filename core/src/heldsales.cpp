// Sales parked at the counter: written, listed and taken back whole.
#include <string>

#include "engine.h"

#include "extschema.h"
#include "journalinternal.h"
#include "vorn/core.h"
#include "vorn/heldsales.h"
#include "vorn/sqltext.h"
#include "vorn/transaction.h"

namespace vorn {

using detail::query;
using detail::query_integer;
using detail::quoted;

namespace {

std::string column_text(const Row& s, int i) {
    const auto* t = s.text(i);
    return t ? std::string(t, static_cast<size_t>(s.bytes(i))) : std::string();
}

const char kSaleSelect[] =
    "SELECT FHSi_Id,FHSt_Time,FHSs_User,FHSi_VIP,FHSs_VIP,FHSs_VName,FHSi_Count,FHSi_Due,FHSs_Appr FROM HeldSale";

void read_sale(const Row& s, HeldSale& r) {
    r.id = s.int64(0);
    r.time = parse_time(s.text(1));
    r.cashier = column_text(s, 2);
    r.member_id = s.integer(3);
    r.member_code = column_text(s, 4);
    r.member_name = column_text(s, 5);
    r.units = s.integer(6);
    r.due = s.int64(7);
    r.approver = column_text(s, 8);
}

bool is_table(const char* name) {
    const std::string n(name);
    return n == "HeldSale" || n == "HeldSaleLine";
}

} // namespace

int HeldSales::ensure_tables() {
    if (core_.db == nullptr) return SQLITE_MISUSE;
    int64_t present = 0;
    int rc = detail::objects_present(core_.db, {"HeldSale", "HeldSaleLine"}, {}, present);
    if (rc != SQLITE_OK) return rc;
    if (present == 2) return SQLITE_OK;
    std::string text;
    for (const detail::ExtraTable& t : detail::kExtraTables)
        if (is_table(t.name)) text += t.create;
    return core_.exec_in_transaction(text);
}

int64_t HeldSales::park(const HeldSale& sale) {
    if (core_.db == nullptr || sale.lines.empty()) return -1;
    int64_t due = 0;
    for (const HeldUnit& u : sale.lines) {
        if (u.unit < 0) return -1;
        due += u.price;
    }
    Transaction t(core_);
    if (!t.active()) return -1;
    std::string sql = "INSERT INTO HeldSale (FHSt_Time,FHSs_User,FHSi_VIP,FHSs_VIP,FHSs_VName,FHSi_Count,FHSi_Due,FHSs_Appr) "
                      "VALUES ('" +
                      format_time(sale.time) + "'," + quoted(sale.cashier) + "," + std::to_string(sale.member_id) +
                      "," + quoted(sale.member_code) + "," + quoted(sale.member_name) + "," +
                      std::to_string(sale.lines.size()) + "," + std::to_string(due) + "," + quoted(sale.approver) + ");";
    if (t.exec(sql.c_str()) != SQLITE_OK) return -1;
    const int64_t id = core_.db->last_insert_id();
    if (id <= 0) return -1;
    sql.clear();
    for (const HeldUnit& u : sale.lines)
        sql += "INSERT INTO HeldSaleLine (FHLi_Sale,FHLi_Row,FHLi_Unit,FHLs_Code,FHLi_Price) VALUES (" +
               std::to_string(id) + "," + std::to_string(u.row) + "," + std::to_string(u.unit) + "," +
               quoted(u.code) + "," + std::to_string(u.price) + ");";
    if (t.exec(sql.c_str()) != SQLITE_OK) return -1;
    return t.commit() == SQLITE_OK ? id : -1;
}

int HeldSales::list(std::vector<HeldSale>& out) {
    out.clear();
    if (core_.db == nullptr) return -1;
    std::vector<HeldSale> rows;
    const int rc = query(core_.db, std::string(kSaleSelect) + " ORDER BY FHSt_Time DESC,FHSi_Id DESC",
                         [&rows](const Row& s) {
                             HeldSale r;
                             read_sale(s, r);
                             rows.push_back(std::move(r));
                         });
    if (rc != SQLITE_OK) return -1;
    out = std::move(rows);
    return static_cast<int>(out.size());
}

int HeldSales::take(int64_t id, HeldSale& out) {
    if (core_.db == nullptr) return -1;
    // Read and removed under one write lock: two counters never both get it.
    Transaction t(core_);
    if (!t.active()) return -1;
    HeldSale sale;
    int found = 0;
    if (query(core_.db, std::string(kSaleSelect) + " WHERE FHSi_Id=" + std::to_string(id),
              [&](const Row& s) {
                  read_sale(s, sale);
                  ++found;
              }) != SQLITE_OK)
        return -1;
    if (found == 0) return t.commit() == SQLITE_OK ? 0 : -1;
    if (query(core_.db,
              "SELECT FHLi_Unit,FHLs_Code,FHLi_Row,FHLi_Price FROM HeldSaleLine WHERE FHLi_Sale=" +
                  std::to_string(id) + " ORDER BY FHLi_Id",
              [&sale](const Row& s) {
                  HeldUnit u;
                  u.unit = s.integer(0);
                  u.code = column_text(s, 1);
                  u.row = s.integer(2);
                  u.price = s.int64(3);
                  sale.lines.push_back(std::move(u));
              }) != SQLITE_OK)
        return -1;
    const std::string del = "DELETE FROM HeldSaleLine WHERE FHLi_Sale=" + std::to_string(id) +
                            ";DELETE FROM HeldSale WHERE FHSi_Id=" + std::to_string(id) + ";";
    if (t.exec(del.c_str()) != SQLITE_OK) return -1;
    if (t.commit() != SQLITE_OK) return -1;
    out = std::move(sale);
    return 1;
}

int HeldSales::count() {
    if (core_.db == nullptr) return -1;
    int64_t n = 0;
    return query_integer(core_.db, "SELECT COUNT(*) FROM HeldSale", n) == SQLITE_OK ? static_cast<int>(n) : -1;
}

} // namespace vorn
