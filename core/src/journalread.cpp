// Reading the journal: lists by condition, their sums, one sale with its lines.
#include <map>
#include <unordered_map>
#include <utility>

#include "engine.h"

#include "journalinternal.h"
#include "vorn/core.h"
#include "vorn/journal.h"
#include "vorn/sqltext.h"
#include "vorn/transaction.h"

namespace vorn {

using detail::query;
using detail::quoted;

namespace {

// The columns read into a SaleRecord, in read_sale's order.
const char kSaleColumns[] =
    "SELECT FSAi_Id,FSAs_No,FSAt_Time,FSAs_User,FSAs_VIP,FSAi_Count,FSAi_Due,FSAi_Disc,FSAi_Paid,FSAi_Change,"
    "FSAi_Points,FSAi_Kind,FSAi_Orig,FSAi_Recov,FSAs_Appr,FSAi_Shift FROM Sale";

// The bit of a method in SaleRecord::methods; anything unknown counts as 9.
unsigned method_bit(int method) {
    return 1u << (method >= 0 && method <= 9 ? method : kPayUnknown);
}

void text(const Row& s, int i, std::string& out) {
    const auto* t = s.text(i);
    if (t)
        out.assign(t, static_cast<size_t>(s.bytes(i)));
    else
        out.clear();
}

void read_sale(const Row& s, SaleRecord& r) {
    r.id = s.int64(0);
    text(s, 1, r.number);
    r.time = parse_time(s.text(2));
    text(s, 3, r.cashier);
    text(s, 4, r.member);
    r.units = s.integer(5);
    r.due = s.int64(6);
    r.discount = s.int64(7);
    r.paid = s.int64(8);
    r.change = s.int64(9);
    r.points = s.is_null(10) ? -1 : s.integer(10);
    r.kind = s.integer(11);
    r.original = s.int64(12);
    r.recovered = s.integer(13) != 0;
    text(s, 14, r.approver);
    r.shift = s.int64(15);
}

// The WHERE clause of a filter, with " WHERE " in front; empty for none.
std::string where(const SaleFilter& f) {
    std::string w;
    auto add = [&w](const std::string& part) { w += (w.empty() ? " WHERE " : " AND ") + part; };
    if (f.from != 0) add("FSAt_Time>='" + format_time(f.from) + "'");
    if (f.to != 0) add("FSAt_Time<'" + format_time(f.to) + "'");
    if (!f.number.empty()) add("FSAs_No=" + quoted(f.number));
    if (!f.cashier.empty()) add("FSAs_User=" + quoted(f.cashier));
    if (!f.member.empty()) add("FSAs_VIP=" + quoted(f.member));
    // From the code's few units to their sales: the indexes on the goods code
    // and on SaleUnit's unit answer it without reading every sale.
    if (!f.goods_code.empty())
        add("FSAi_Id IN (SELECT FSAUi_Sale FROM SaleUnit WHERE FSAUi_Unit IN (SELECT FSi_Id FROM Store WHERE "
            "FSs_Code=" +
            quoted(f.goods_code) + "))");
    if (f.method >= 0)
        add("EXISTS (SELECT 1 FROM SalePayment WHERE FSAPi_Sale=FSAi_Id AND FSAPi_Method=" +
            std::to_string(f.method) + ")");
    if (f.kind >= 0) add("FSAi_Kind=" + std::to_string(f.kind));
    return w;
}

// The condition on SalePayment that keeps the payments of the sales the WHERE
// clause w of Sale selects; none when w selects them all.
std::string payments_of(const std::string& w) {
    return w.empty() ? std::string() : " WHERE FSAPi_Sale IN (SELECT FSAi_Id FROM Sale" + w + ")";
}

std::string order_by(SaleOrder order, bool descending) {
    const char* dir = descending ? " DESC" : "";
    std::string key;
    switch (order) {
    case SaleOrder::Time:
        key = std::string("FSAt_Time") + dir;
        break;
    // A day's sequence may outgrow four digits: day, then sequence as numbers.
    case SaleOrder::Number:
        key = std::string("SUBSTR(FSAs_No,1,8)") + dir + ",FSAi_Seq" + dir;
        break;
    case SaleOrder::Cashier:
        key = std::string("FSAs_User") + dir;
        break;
    case SaleOrder::Member:
        key = std::string("FSAs_VIP") + dir;
        break;
    case SaleOrder::Units:
        key = std::string("FSAi_Count") + dir;
        break;
    case SaleOrder::Due:
        key = std::string("FSAi_Due") + dir;
        break;
    case SaleOrder::Discount:
        key = std::string("FSAi_Disc") + dir;
        break;
    case SaleOrder::Paid:
        key = std::string("FSAi_Paid") + dir;
        break;
    }
    return " ORDER BY " + key + ",FSAi_Id" + dir;
}

} // namespace

int Journal::count_sales(const SaleFilter& filter) {
    int64_t n = 0;
    return detail::query_integer(core_.db, "SELECT COUNT(*) FROM Sale" + where(filter), n) == SQLITE_OK
               ? static_cast<int>(n)
               : -1;
}

int Journal::select_sales(const SaleFilter& filter, std::vector<SaleRecord>& out, SaleOrder order,
                          bool descending) {
    out.clear();
    const std::string w = where(filter);
    // The sales and their payments as of one moment.
    ReadSnapshot snapshot(core_);
    int rc = query(core_.db, kSaleColumns + w + order_by(order, descending),
                   [&out](const Row& s) { read_sale(s, out.emplace_back()); });
    // The methods in one pass over the payments rather than one lookup per
    // sale: a third of the time when all sales are listed.
    std::unordered_map<int64_t, size_t> at;
    at.reserve(out.size());
    for (size_t i = 0; i < out.size(); ++i)
        at.emplace(out[i].id, i);
    if (rc == SQLITE_OK && !out.empty())
        rc = query(core_.db, "SELECT FSAPi_Sale,FSAPi_Method FROM SalePayment" + payments_of(w),
                   [&](const Row& s) {
                       if (auto it = at.find(s.int64(0)); it != at.end())
                           out[it->second].methods |= method_bit(s.integer(1));
                   });
    if (rc != SQLITE_OK) {
        out.clear();
        return -1;
    }
    return static_cast<int>(out.size());
}

int Journal::sum_sales(const SaleFilter& filter, SaleSums& out) {
    SaleSums sums;
    const std::string w = where(filter);
    // Both sums see the same rows, whatever another thread writes meanwhile.
    ReadSnapshot snapshot(core_);
    int rc = query(core_.db,
                   "SELECT COUNT(*),COALESCE(SUM(FSAi_Count),0),COALESCE(SUM(FSAi_Due),0),"
                   "COALESCE(SUM(FSAi_Disc),0),COALESCE(SUM(FSAi_Paid),0),COALESCE(SUM(FSAi_Change),0),"
                   "COALESCE(SUM(FSAi_Points),0) FROM Sale" +
                       w,
                   [&sums](const Row& s) {
                       sums.sales = s.integer(0);
                       sums.units = s.int64(1);
                       sums.due = s.int64(2);
                       sums.discount = s.int64(3);
                       sums.paid = s.int64(4);
                       sums.change = s.int64(5);
                       sums.points = s.int64(6);
                   });
    if (rc != SQLITE_OK) return -1;
    rc = query(
        core_.db,
        "SELECT FSAPi_Method,SUM(FSAPi_Amount) FROM SalePayment WHERE FSAPi_Sale IN (SELECT FSAi_Id FROM "
        "Sale" +
            w + ") GROUP BY FSAPi_Method",
        [&sums](const Row& s) {
            const int m = s.integer(0);
            sums.by_method[m >= 0 && m <= 9 ? m : kPayUnknown] += s.int64(1);
        });
    if (rc != SQLITE_OK) return -1;
    out = sums;
    return 1;
}

int Journal::open_sale(int64_t id, SaleDetail& out) {
    SaleDetail d;
    const std::string sale = std::to_string(id);
    ReadSnapshot snapshot(core_);
    int found = 0;
    int rc = query(core_.db, kSaleColumns + std::string(" WHERE FSAi_Id=") + sale, [&](const Row& s) {
        read_sale(s, d.sale);
        ++found;
    });
    if (rc != SQLITE_OK) return -1;
    if (found == 0) return 0;
    // Units deleted from Store since keep their price; their code and name are gone.
    std::map<std::pair<std::string, int64_t>, size_t> line_of;
    rc = query(core_.db,
               "SELECT FSAUi_Unit,FSAUi_Price,FSs_Code,FSs_Name FROM SaleUnit LEFT JOIN Store ON "
               "FSi_Id=FSAUi_Unit WHERE FSAUi_Sale=" +
                   sale + " ORDER BY FSAUi_Id",
               [&](const Row& s) {
                   std::string code;
                   text(s, 2, code);
                   const int64_t price = s.int64(1);
                   auto [at, fresh] = line_of.try_emplace({code, price}, d.lines.size());
                   if (fresh) {
                       SaleLine& l = d.lines.emplace_back();
                       l.code = code;
                       text(s, 3, l.name);
                       l.price = price;
                   }
                   SaleLine& l = d.lines[at->second];
                   ++l.quantity;
                   l.amount += price;
                   l.units.push_back(s.integer(0));
               });
    if (rc != SQLITE_OK) return -1;
    rc = query(core_.db,
               "SELECT FSAPi_Method,FSAPi_Amount FROM SalePayment WHERE FSAPi_Sale=" + sale +
                   " ORDER BY FSAPi_Id",
               [&d](const Row& s) {
                   d.payments.push_back({s.integer(0), s.int64(1)});
                   d.sale.methods |= method_bit(d.payments.back().method);
               });
    if (rc != SQLITE_OK) return -1;
    out = std::move(d);
    return 1;
}

int64_t Journal::sale_id_of(const std::string& number) {
    int64_t id = 0;
    return detail::query_integer(core_.db, "SELECT FSAi_Id FROM Sale WHERE FSAs_No=" + quoted(number), id) ==
                   SQLITE_OK
               ? id
               : -1;
}

} // namespace vorn
