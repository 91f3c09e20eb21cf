// The cash-up of a shift (交班) and of a day (日结), read from the journal rows
// that belong to them.
#include <cstdio>

#include "engine.h"

#include "journalinternal.h"
#include "localtime.h"
#include "shiftinternal.h"
#include "vorn/core.h"
#include "vorn/journal.h"
#include "vorn/shifts.h"
#include "vorn/sqltext.h"
#include "vorn/transaction.h"

namespace vorn {

using detail::query;
using detail::query_integer;

namespace {

// Sums the journal rows the condition on Sale picks and the drawer openings
// the condition on DrawerOpen picks into f (float and count are the caller's).
int sum_rows(Engine* db, const std::string& sale_cond, const std::string& drawer_cond, ShiftFigures& f) {
    int64_t sale_change = 0;
    int rc = query(db,
                   "SELECT FSAi_Kind,COUNT(*),COALESCE(SUM(FSAi_Count),0),COALESCE(SUM(FSAi_Due),0),"
                   "COALESCE(SUM(FSAi_Disc),0),COALESCE(SUM(FSAi_Points),0),COALESCE(SUM(FSAi_Change),0) "
                   "FROM Sale WHERE " +
                       sale_cond + " GROUP BY FSAi_Kind",
                   [&](const Row& s) {
                       const int n = s.integer(1);
                       const int64_t units = s.int64(2), due = s.int64(3),
                                     disc = s.int64(4), points = s.int64(5);
                       if (s.integer(0) == kKindReturn) {
                           f.returns += n;
                           f.returns_units -= units;
                           f.returns_amount -= due;
                           f.points_lost -= points;
                       } else {
                           f.sales += n;
                           f.sales_units += units;
                           f.sales_amount += due;
                           f.discount += disc;
                           f.points += points;
                       }
                       // Only cash gives change, and a return none.
                       sale_change += s.int64(6);
                   });
    if (rc != SQLITE_OK) return rc;
    // A sale's cash row holds what was tendered; a return's rows are negative.
    rc = query(db,
               "SELECT FSAPi_Method,FSAi_Kind,COALESCE(SUM(FSAPi_Amount),0) FROM SalePayment JOIN Sale ON "
               "FSAPi_Sale=FSAi_Id WHERE " +
                   sale_cond + " GROUP BY FSAPi_Method,FSAi_Kind",
               [&](const Row& s) {
                   const int m = s.integer(0);
                   const int method = m >= 0 && m <= 9 ? m : kPayUnknown;
                   const int64_t amount = s.int64(2);
                   f.by_method[method] += amount;
                   if (method != kPayCash) return;
                   if (s.integer(1) == kKindReturn)
                       f.cash_refunded -= amount;
                   else
                       f.cash_taken += amount;
               });
    if (rc != SQLITE_OK) return rc;
    f.by_method[kPayCash] -= sale_change;
    f.cash_taken -= sale_change;
    int64_t opens = 0;
    rc = query_integer(db, "SELECT COUNT(*) FROM DrawerOpen WHERE " + drawer_cond, opens);
    if (rc != SQLITE_OK) return rc;
    f.drawer_opens = static_cast<int>(opens);
    return SQLITE_OK;
}

void settle(ShiftFigures& f) {
    f.expected = f.cash_float + f.cash_taken - f.cash_refunded;
    f.difference = f.counted_known ? f.counted - f.expected : 0;
}

} // namespace

int Shifts::shift_report(int64_t shift, ShiftReport& out) {
    if (core_.db == nullptr) return -1;
    ReadSnapshot snapshot(core_);
    ShiftReport r;
    const int found = get_shift(shift, r.shift);
    if (found <= 0) return found;
    const std::string id = std::to_string(shift);
    if (sum_rows(core_.db, "FSAi_Shift=" + id, "FDOi_Shift=" + id, r.figures) != SQLITE_OK) return -1;
    r.figures.cash_float = r.shift.cash_float;
    r.figures.counted_known = r.shift.closed != 0 && r.shift.counted >= 0;
    r.figures.counted = r.shift.counted >= 0 ? r.shift.counted : 0;
    settle(r.figures);
    out = r;
    return 1;
}

int Shifts::day_report(int date, DayReport& out) {
    if (core_.db == nullptr) return -1;
    const int y = date / 10000, m = date / 100 % 100, d = date % 100;
    if (y < 1970 || m < 1 || m > 12 || d < 1 || d > 31) return 0;
    char first[24], last[24];
    std::snprintf(first, sizeof first, "%04d-%02d-%02d 00:00:00", y, m, d);
    std::snprintf(last, sizeof last, "%04d-%02d-%02d 23:59:59", y, m, d);
    // 31 February and the like come back as another day.
    if (format_time(detail::fast_mktime(y, m, d, 12, 0, 0)).compare(0, 10, first, 10) != 0) return 0;
    auto within = [&](const char* column) {
        return std::string(column) + ">='" + first + "' AND " + column + "<='" + last + "'";
    };
    const std::string shifts = "SELECT FSHi_Id FROM Shift WHERE " + within("FSHt_Open");
    // The day's shifts, whenever their rows were written, and what was sold
    // that day outside any shift (before shifts existed, or recovered history).
    const std::string sale_cond = "(FSAi_Shift IN (" + shifts +
                                  ") OR ((FSAi_Shift IS NULL OR FSAi_Shift=0) AND " + within("FSAt_Time") +
                                  "))";

    DayReport r;
    r.date = date;
    ReadSnapshot snapshot(core_);
    int rc = query(core_.db,
                   std::string(detail::kShiftSelect) + " WHERE " + within("FSHt_Open") +
                       " ORDER BY FSHt_Open,FSHi_Id",
                   [&r](const Row& s) {
                       r.shifts.emplace_back();
                       detail::read_shift(s, r.shifts.back());
                   });
    if (rc != SQLITE_OK) return -1;
    ShiftFigures& f = r.figures;
    if (sum_rows(core_.db, sale_cond, "FDOi_Shift IN (" + shifts + ")", f) != SQLITE_OK) return -1;
    f.counted_known = !r.shifts.empty();
    for (const ShiftRecord& s : r.shifts) {
        f.cash_float += s.cash_float;
        if (s.closed == 0) ++r.open_shifts;
        if (s.counted >= 0)
            f.counted += s.counted;
        else
            f.counted_known = false;
    }
    settle(f);

    // Units a return of those rows wrote off, at what they were bought for.
    rc = query(
        core_.db,
        "SELECT FSd_OriP FROM Store WHERE FSi_Flag=2 AND FSi_Id IN (SELECT FSAUi_Unit FROM SaleUnit JOIN "
        "Sale ON FSAUi_Sale=FSAi_Id WHERE FSAi_Kind=" +
            std::to_string(kKindReturn) + " AND " + sale_cond + ")",
        [&r](const Row& s) {
            ++r.damaged_units;
            r.damaged_cost += detail::tenths_of(s.real(0));
        });
    if (rc != SQLITE_OK) return -1;
    out = std::move(r);
    return 1;
}

} // namespace vorn
