// vorn::Shifts: a cashier's shift at the counter, the drawer's openings, and
// the cash-up of a shift (交班) and of a day (日结), read from the sale journal.
//
// Three tables of their own, created at open where missing:
//   Shift       one row per shift: cashier, opened, closed, float, counted cash,
//               note; the journal's rows of the shift carry its id (FSAi_Shift)
//   DrawerOpen  one row per opening of the drawer without a sale
//   Setting     shop settings by key (the usual float, a salesperson's limits);
//               the six tables' Addition keeps fixed rows only
// Money is whole tenths of a yuan, as in the journal. Times are stored as the
// six tables store theirs (local time text); the API speaks seconds.
//
// The figures of a report come from the journal rows of the shift: returns are
// stored there with negative amounts and a sale's cash payment row includes
// the change handed back, so a method's net takings are its payment rows
// summed, less the change for cash.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "vorn/export.h"

namespace vorn {

class Core;

// One row of Shift.
struct ShiftRecord {
    int64_t id = 0;
    std::string cashier; // FUs_Name, GBK
    int64_t opened = 0;  // seconds, local-time meaning
    int64_t closed = 0;  // 0 while open
    int64_t cash_float = 0;
    int64_t counted = -1; // cash counted at the hand-over; -1 none (open, or closed as 未交班)
    std::string note;     // GBK
};

// What a shift or a day comes to, all money in tenths.
struct ShiftFigures {
    int sales = 0; // sales (not returns)
    int64_t sales_units = 0;
    int64_t sales_amount = 0; // what the sales came to (their amounts due)
    int returns = 0;
    int64_t returns_units = 0;  // positive
    int64_t returns_amount = 0; // refunded, positive
    int64_t discount = 0;       // given on the sales: retail value less amount due
    int64_t points = 0;         // credited by the sales (those whose points are known)
    int64_t points_lost = 0;    // taken back by returns, positive
    int64_t by_method[10] = {}; // net takings per method: sales less refunds, cash less change
    int64_t cash_float = 0;
    int64_t cash_taken = 0;     // sales' cash less change
    int64_t cash_refunded = 0;  // returns' cash, positive
    int64_t expected = 0;       // float + cash taken - cash refunded
    bool counted_known = false; // every shift concerned was closed with a count
    int64_t counted = 0;        // the cash counted (of the shifts that were counted)
    int64_t difference = 0; // counted - expected: negative 短款, positive 长款; 0 unless counted_known
    int drawer_opens = 0;
};

struct ShiftReport {
    ShiftRecord shift;
    ShiftFigures figures;
};

struct DayReport {
    int date = 0;                    // 20261207
    std::vector<ShiftRecord> shifts; // opened that day, in order of opening
    int open_shifts = 0;             // of those, still open
    ShiftFigures figures;            // the shifts' rows and the day's rows made outside any shift
    int damaged_units = 0;           // written off (returned damaged) by those rows
    int64_t damaged_cost = 0;        // their purchase price (FSd_OriP), tenths
};

// Shop settings the counter's limits read. Defaults keep a salesperson as free
// as before the settings existed.
struct ShopRules {
    int64_t usual_float = 0; // 备用金 a shift opens with, tenths
    int lowest_rate = 0;     // percent of the price a salesperson may go down to alone (80: 8折); 0 no limit
    bool clerk_special = true; // a salesperson may use the 特价/批发价 levels
    // The counter's habits.
    int after_sale = 0;      // kAfterSaleAsk: the sale-complete dialog; kAfterSalePrint: every
                             // receipt printed without asking; kAfterSaleQuiet: none printed
    bool merge_rows = false; // 同一商品合并为一行: a repeated scan of the last row's code raises its quantity
    bool sell_short = false; // units missing from the book are entered at the counter and sold
};
constexpr int kAfterSaleAsk = 0;
constexpr int kAfterSalePrint = 1;
constexpr int kAfterSaleQuiet = 2;

class VORNCORE_API Shifts {
public:
    explicit Shifts(Core& core) : core_(core) {}

    // The three tables, created where missing. 0, or the SQLite code of the failure.
    int ensure_tables();

    // The cashier's open shift, or a new one opened at `time` with the float
    // given (nullopt: the usual float of ShopRules). Its id, or -1.
    int64_t open_shift(const std::string& cashier, int64_t time, std::optional<int64_t> cash_float = {});
    // The cashier's open shift: its id, 0 for none, -1 when the store failed.
    int64_t current_shift(const std::string& cashier);
    // 1, 0 when there is no such open shift, -1 when the store failed.
    int set_float(int64_t shift, int64_t cash_float);
    // Keeps one opening of the drawer without a sale. 1, 0 for no such open shift, -1.
    int count_drawer_open(int64_t shift, const std::string& user, int64_t time);
    // Hands the shift over: closed at `time` with the cash counted and a note.
    // 1, 0 when there is no such open shift (never closed twice), -1.
    int close_shift(int64_t shift, int64_t counted, int64_t time, const std::string& note = {});
    // At a start, before anyone sells: closes every shift still open (left so by
    // a program that ended without a hand-over) at `time`, without a count,
    // noted "未交班". How many it closed, or -1 (then none).
    int close_abandoned(int64_t time);

    // One shift: 1, 0 when there is none of that id, -1.
    int get_shift(int64_t shift, ShiftRecord& out);
    // Shifts opened in [from, to) (0: no bound), in order of opening, replacing
    // what out held. Their number, or -1 (out then empty).
    int list_shifts(int64_t from, int64_t to, std::vector<ShiftRecord>& out);

    // The figures of one shift: 1, 0 when there is no such shift, -1.
    int shift_report(int64_t shift, ShiftReport& out);
    // The figures of a day (date 20261207): 1, 0 for a date that is none, -1.
    int day_report(int date, DayReport& out);

    // Shop settings; defaults where none was stored. 1, or -1 (rules untouched).
    int rules(ShopRules& out);
    // 1, or -1 (nothing written). Refused (-1) when a value is out of range.
    int set_rules(const ShopRules& rules);

private:
    Core& core_;
};

// The note of a shift closed at a start because nobody handed it over: 未交班, GBK.
VORNCORE_API std::string abandoned_note();

} // namespace vorn
