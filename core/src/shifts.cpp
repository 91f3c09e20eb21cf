// Shifts: opening, the float, the drawer, the hand-over, and the shop settings
// the counter's limits read.
#include <cstdlib>
#include <iterator>
#include <string>
#include <utility>

#include "engine.h"

#include "extschema.h"
#include "journalinternal.h"
#include "shiftinternal.h"
#include "vorn/core.h"
#include "vorn/journal.h"
#include "vorn/shifts.h"
#include "vorn/sqltext.h"
#include "vorn/transaction.h"

namespace vorn {

using detail::query;
using detail::query_integer;
using detail::quoted;

namespace detail {

const char kShiftSelect[] =
    "SELECT FSHi_Id,FSHs_User,FSHt_Open,FSHt_Close,FSHi_Float,FSHi_Counted,FSHs_Note FROM Shift";

namespace {
std::string column_text(const Row& s, int i) {
    const auto* t = s.text(i);
    return t ? std::string(t, static_cast<size_t>(s.bytes(i))) : std::string();
}
} // namespace

void read_shift(const Row& s, ShiftRecord& r) {
    r.id = s.int64(0);
    r.cashier = column_text(s, 1);
    r.opened = parse_time(s.text(2));
    r.closed = s.is_null(3)
                   ? 0
                   : parse_time(s.text(3));
    r.cash_float = s.int64(4);
    r.counted = s.is_null(5) ? -1 : s.int64(5);
    r.note = column_text(s, 6);
}

} // namespace detail

namespace {

const char* const kShiftTables[] = {"Shift", "DrawerOpen", "Setting"};

// Setting keys.
const char kUsualFloat[] = "usual_float";
const char kLowestRate[] = "lowest_rate";
const char kClerkSpecial[] = "clerk_special";
const char kAfterSale[] = "after_sale";
const char kMergeRows[] = "merge_rows";
const char kSellShort[] = "sell_short";

// 1 when the shift is there and open, 0 when not, -1 when the read failed.
int is_open(Engine* db, int64_t shift) {
    int64_t n = 0;
    if (query_integer(db,
                      "SELECT COUNT(*) FROM Shift WHERE FSHi_Id=" + std::to_string(shift) +
                          " AND FSHt_Close IS NULL",
                      n) != SQLITE_OK)
        return -1;
    return n > 0 ? 1 : 0;
}

} // namespace

std::string abandoned_note() {
    return "\xce\xb4\xbd\xbb\xb0\xe0";
} // 未交班

int Shifts::ensure_tables() {
    if (core_.db == nullptr) return SQLITE_MISUSE;
    // The shift index lies on the journal's Sale.
    if (int rc = Journal(core_).ensure_tables(); rc != SQLITE_OK) return rc;
    int64_t present = 0;
    int rc = detail::objects_present(core_.db, {"Shift", "DrawerOpen", "Setting"}, {"vorn_sale_shift"}, present);
    if (rc != SQLITE_OK) return rc;
    // The index goes with Sale when a store's journal is made anew.
    if (present == static_cast<int64_t>(std::size(kShiftTables)) + 1) return SQLITE_OK;
    std::string text;
    for (const detail::ExtraTable& t : detail::kExtraTables)
        for (const char* name : kShiftTables)
            if (std::string(t.name) == name) text += t.create;
    return core_.exec_in_transaction(text);
}

int64_t Shifts::open_shift(const std::string& cashier, int64_t time, std::optional<int64_t> cash_float) {
    if (core_.db == nullptr || time <= 0 || (cash_float && *cash_float < 0)) return -1;
    int64_t money = 0;
    if (cash_float) {
        money = *cash_float;
    } else {
        ShopRules r;
        if (rules(r) != 1) return -1;
        money = r.usual_float;
    }
    // Asked and written under the write lock: two windows of one cashier never
    // open two shifts.
    Transaction t(core_);
    if (!t.active()) return -1;
    const std::string who = quoted(cashier);
    int64_t id = 0;
    if (query_integer(core_.db,
                      "SELECT MIN(FSHi_Id) FROM Shift WHERE FSHs_User=" + who + " AND FSHt_Close IS NULL",
                      id) != SQLITE_OK)
        return -1;
    if (id > 0) return t.commit() == SQLITE_OK ? id : -1;
    const std::string sql =
        "INSERT INTO Shift (FSHs_User,FSHt_Open,FSHt_Close,FSHi_Float,FSHi_Counted,FSHs_Note) "
        "VALUES (" +
        who + ",'" + format_time(time) + "',NULL," + std::to_string(money) + ",NULL,'');";
    if (t.exec(sql.c_str()) != SQLITE_OK) return -1;
    if (query_integer(core_.db,
                      "SELECT MAX(FSHi_Id) FROM Shift WHERE FSHs_User=" + who + " AND FSHt_Close IS NULL",
                      id) != SQLITE_OK ||
        id <= 0)
        return -1;
    return t.commit() == SQLITE_OK ? id : -1;
}

int64_t Shifts::current_shift(const std::string& cashier) {
    if (core_.db == nullptr) return -1;
    int64_t id = 0;
    if (query_integer(core_.db,
                      "SELECT MIN(FSHi_Id) FROM Shift WHERE FSHs_User=" + quoted(cashier) +
                          " AND FSHt_Close IS NULL",
                      id) != SQLITE_OK)
        return -1;
    return id;
}

int Shifts::set_float(int64_t shift, int64_t cash_float) {
    if (core_.db == nullptr || cash_float < 0) return -1;
    Transaction t(core_);
    if (!t.active()) return -1;
    const int open = is_open(core_.db, shift);
    if (open <= 0) return open;
    const std::string sql = "UPDATE Shift SET FSHi_Float=" + std::to_string(cash_float) +
                            " WHERE FSHi_Id=" + std::to_string(shift) + ";";
    if (t.exec(sql.c_str()) != SQLITE_OK) return -1;
    return t.commit() == SQLITE_OK ? 1 : -1;
}

int Shifts::count_drawer_open(int64_t shift, const std::string& user, int64_t time) {
    if (core_.db == nullptr || time <= 0) return -1;
    Transaction t(core_);
    if (!t.active()) return -1;
    const int open = is_open(core_.db, shift);
    if (open <= 0) return open;
    const std::string sql = "INSERT INTO DrawerOpen (FDOi_Shift,FDOt_Time,FDOs_User) VALUES (" +
                            std::to_string(shift) + ",'" + format_time(time) + "'," + quoted(user) + ");";
    if (t.exec(sql.c_str()) != SQLITE_OK) return -1;
    return t.commit() == SQLITE_OK ? 1 : -1;
}

int Shifts::close_shift(int64_t shift, int64_t counted, int64_t time, const std::string& note) {
    if (core_.db == nullptr || counted < 0 || time <= 0) return -1;
    Transaction t(core_);
    if (!t.active()) return -1;
    const int open = is_open(core_.db, shift);
    if (open <= 0) return open;
    const std::string sql = "UPDATE Shift SET FSHt_Close='" + format_time(time) +
                            "',FSHi_Counted=" + std::to_string(counted) + ",FSHs_Note=" + quoted(note) +
                            " WHERE FSHi_Id=" + std::to_string(shift) + ";";
    if (t.exec(sql.c_str()) != SQLITE_OK) return -1;
    return t.commit() == SQLITE_OK ? 1 : -1;
}

int Shifts::close_abandoned(int64_t time) {
    if (core_.db == nullptr || time <= 0) return -1;
    Transaction t(core_);
    if (!t.active()) return -1;
    int64_t n = 0;
    if (query_integer(core_.db, "SELECT COUNT(*) FROM Shift WHERE FSHt_Close IS NULL", n) != SQLITE_OK)
        return -1;
    if (n == 0) return t.commit() == SQLITE_OK ? 0 : -1;
    const std::string sql = "UPDATE Shift SET FSHt_Close='" + format_time(time) +
                            "',FSHi_Counted=NULL,FSHs_Note=" + quoted(abandoned_note()) +
                            " WHERE FSHt_Close IS NULL;";
    if (t.exec(sql.c_str()) != SQLITE_OK) return -1;
    return t.commit() == SQLITE_OK ? static_cast<int>(n) : -1;
}

int Shifts::get_shift(int64_t shift, ShiftRecord& out) {
    if (core_.db == nullptr) return -1;
    int found = 0;
    ShiftRecord r;
    const int rc =
        query(core_.db, std::string(detail::kShiftSelect) + " WHERE FSHi_Id=" + std::to_string(shift),
              [&](const Row& s) {
                  detail::read_shift(s, r);
                  ++found;
              });
    if (rc != SQLITE_OK) return -1;
    if (found == 1) out = r;
    return found == 1 ? 1 : 0;
}

int Shifts::list_shifts(int64_t from, int64_t to, std::vector<ShiftRecord>& out) {
    out.clear();
    if (core_.db == nullptr) return -1;
    std::string sql = detail::kShiftSelect;
    if (from != 0) sql += " WHERE FSHt_Open>='" + format_time(from) + "'";
    if (to != 0) sql += std::string(from != 0 ? " AND" : " WHERE") + " FSHt_Open<'" + format_time(to) + "'";
    sql += " ORDER BY FSHt_Open,FSHi_Id";
    const int rc = query(core_.db, sql, [&out](const Row& s) {
        out.emplace_back();
        detail::read_shift(s, out.back());
    });
    if (rc != SQLITE_OK) {
        out.clear();
        return -1;
    }
    return static_cast<int>(out.size());
}

int Shifts::rules(ShopRules& out) {
    if (core_.db == nullptr) return -1;
    ShopRules r;
    const int rc = query(core_.db, "SELECT FSEs_Key,FSEs_Value FROM Setting", [&r](const Row& s) {
        const auto* k = s.text(0);
        const auto* v = s.text(1);
        if (k == nullptr || v == nullptr) return;
        const std::string key = k;
        if (key == kUsualFloat) r.usual_float = std::strtoll(v, nullptr, 10);
        if (key == kLowestRate) r.lowest_rate = std::atoi(v);
        if (key == kClerkSpecial) r.clerk_special = std::atoi(v) != 0;
        if (key == kAfterSale) r.after_sale = std::atoi(v);
        if (key == kMergeRows) r.merge_rows = std::atoi(v) != 0;
        if (key == kSellShort) r.sell_short = std::atoi(v) != 0;
    });
    if (rc != SQLITE_OK) return -1;
    out = r;
    return 1;
}

int Shifts::set_rules(const ShopRules& r) {
    if (core_.db == nullptr || r.usual_float < 0 || r.lowest_rate < 0 || r.lowest_rate > 100 ||
        r.after_sale < kAfterSaleAsk || r.after_sale > kAfterSaleQuiet)
        return -1;
    const std::pair<const char*, std::string> values[] = {
        {kUsualFloat, std::to_string(r.usual_float)}, {kLowestRate, std::to_string(r.lowest_rate)},
        {kClerkSpecial, r.clerk_special ? "1" : "0"}, {kAfterSale, std::to_string(r.after_sale)},
        {kMergeRows, r.merge_rows ? "1" : "0"},       {kSellShort, r.sell_short ? "1" : "0"},
    };
    // Keys and values are the program's own digits and names: nothing to quote.
    std::string keys, rows;
    for (const auto& [key, value] : values) {
        keys += std::string(keys.empty() ? "'" : ",'") + key + "'";
        rows += std::string(rows.empty() ? "('" : ",('") + key + "','" + value + "')";
    }
    const std::string sql = "DELETE FROM Setting WHERE FSEs_Key IN (" + keys +
                            ");INSERT INTO Setting (FSEs_Key,FSEs_Value) VALUES " + rows + ";";
    return core_.exec_in_transaction(sql) == SQLITE_OK ? 1 : -1;
}

} // namespace vorn
