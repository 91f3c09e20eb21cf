// Journal entries for what was sold before the journal existed.
#include <algorithm>
#include <cstring>
#include <vector>

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "journalinternal.h"
#include "vorn/core.h"
#include "vorn/journal.h"
#include "vorn/sqltext.h"
#include "vorn/transaction.h"

namespace vorn {

namespace {

// Sold units with a sale time that no SaleUnit row holds. A sold unit without a
// time cannot be placed in the history and is left alone. Counting them goes
// through the index of sold units. Reading them for the recovery, which needs
// their retail price as well, goes through the table in file order instead
// ("+FSi_Flag" keeps the planner off that index): from the index each row
// would be a jump to another page, several times as slow once the table
// outgrows the cache.
const char kUnrecordedCount[] =
    "SELECT COUNT(*) FROM Store WHERE FSi_Flag=1 AND FSt_SalT IS NOT NULL AND FSt_SalT<>'' AND NOT EXISTS "
    "(SELECT 1 FROM SaleUnit WHERE FSAUi_Unit=FSi_Id)";
const char kUnrecordedUnits[] =
    "SELECT FSi_Id,FSt_SalT,FSd_ReaP,FSd_RetP FROM Store WHERE +FSi_Flag=1 AND FSt_SalT IS NOT NULL AND "
    "FSt_SalT<>'' AND NOT EXISTS (SELECT 1 FROM SaleUnit WHERE FSAUi_Unit=FSi_Id)";

struct Unit {
    int id;
    char time[20]; // as stored: "YYYY-MM-DD hh:mm:ss"
    int64_t price; // tenths
    int64_t retail;
};

// Units written per transaction, in whole sales: large enough that commits
// cost little (each commit makes the next one copy the index pages it
// touches into the rollback journal again), small enough that an
// interruption loses little and other threads wait a few seconds at most.
constexpr size_t kChunkUnits = 200000;
constexpr size_t kReportUnits = 20000;

class Statement {
public:
    Statement(sqlite3* db, const char* sql) { rc_ = sqlite3_prepare_v2(db, sql, -1, &s_, nullptr); }
    ~Statement() { sqlite3_finalize(s_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    int rc() const { return rc_; }
    sqlite3_stmt* get() { return s_; }
    // Runs the bound statement once and makes it ready for the next values.
    int run() {
        int rc = sqlite3_step(s_);
        sqlite3_reset(s_);
        return rc == SQLITE_DONE ? SQLITE_OK : rc;
    }

private:
    sqlite3_stmt* s_ = nullptr;
    int rc_;
};

// Writes the sales units[begin, end) in one transaction: each run of one time
// is a sale, numbered on its day after the numbers in use. SQLite code.
int write_chunk(Core& core, sqlite3* db, const std::vector<Unit>& units, size_t begin, size_t end, int& sales,
                const JournalProgress& progress) {
    Transaction t(core);
    if (!t.active()) return t.commit();
    // Declared after the transaction, so finalized before it rolls back.
    Statement sale(db, "INSERT INTO Sale (FSAs_No,FSAi_Seq,FSAt_Time,FSAs_User,FSAs_VIP,FSAi_Count,FSAi_Due,"
                       "FSAi_Disc,FSAi_Paid,FSAi_Change,FSAi_Points,FSAi_Kind,FSAi_Orig,FSAi_Recov,FSAs_Appr,"
                       "FSAi_Shift) VALUES (?,?,?,'','',?,?,?,?,0,NULL,0,NULL,1,'',NULL)");
    Statement unit(db, "INSERT INTO SaleUnit (FSAUi_Sale,FSAUi_Unit,FSAUi_Price) VALUES (?,?,?)");
    Statement pay(db, "INSERT INTO SalePayment (FSAPi_Sale,FSAPi_Method,FSAPi_Amount) VALUES (?,9,?)");
    for (int rc : {sale.rc(), unit.rc(), pay.rc()})
        if (rc != SQLITE_OK) return rc;

    // Sales of a day follow each other (the units come in time order): one
    // reservation per day covers them.
    size_t i = begin;
    while (i < end) {
        const int day = detail::day_of(units[i].time);
        size_t day_end = i;
        int count = 0;
        while (day_end < end && detail::day_of(units[day_end].time) == day) {
            const char* t0 = units[day_end].time;
            while (day_end < end && std::strcmp(units[day_end].time, t0) == 0)
                ++day_end;
            ++count;
        }
        int seq = 0;
        if (int rc = detail::reserve_numbers(db, day, count, seq); rc != SQLITE_OK) return rc;
        while (i < day_end) {
            size_t j = i;
            int64_t due = 0, retail = 0;
            while (j < day_end && std::strcmp(units[j].time, units[i].time) == 0) {
                due += units[j].price;
                retail += units[j].retail;
                ++j;
            }
            const std::string number = detail::sale_number(day, seq);
            sqlite3_stmt* s = sale.get();
            sqlite3_bind_text(s, 1, number.c_str(), static_cast<int>(number.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int(s, 2, seq);
            sqlite3_bind_text(s, 3, units[i].time, -1, SQLITE_STATIC);
            sqlite3_bind_int(s, 4, static_cast<int>(j - i));
            sqlite3_bind_int64(s, 5, due);
            sqlite3_bind_int64(s, 6, retail - due);
            sqlite3_bind_int64(s, 7, due);
            if (int rc = sale.run(); rc != SQLITE_OK) return rc;
            const sqlite3_int64 id = sqlite3_last_insert_rowid(db);
            for (size_t k = i; k < j; ++k) {
                sqlite3_bind_int64(unit.get(), 1, id);
                sqlite3_bind_int(unit.get(), 2, units[k].id);
                sqlite3_bind_int64(unit.get(), 3, units[k].price);
                if (int rc = unit.run(); rc != SQLITE_OK) return rc;
            }
            sqlite3_bind_int64(pay.get(), 1, id);
            sqlite3_bind_int64(pay.get(), 2, due);
            if (int rc = pay.run(); rc != SQLITE_OK) return rc;
            ++seq;
            ++sales;
            // Now and then, so that a progress bar moves smoothly.
            if (progress && j / kReportUnits != i / kReportUnits)
                progress(static_cast<int64_t>(j), static_cast<int64_t>(units.size()));
            i = j;
        }
    }
    return t.commit();
}

} // namespace

int Journal::unrecorded_units() {
    int64_t n = 0;
    return detail::query_integer(core_.db, kUnrecordedCount, n) == SQLITE_OK ? static_cast<int>(n) : -1;
}

bool Journal::history_pending() {
    sqlite3* db = core_.db;
    std::string latest;
    bool sales = false;
    if (detail::query(db, "SELECT MAX(FSAt_Time) FROM Sale", [&](sqlite3_stmt* s) {
            const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
            sales = t != nullptr;
            if (t) latest = t;
        }) != SQLITE_OK)
        return false;
    // Both through the index of sold units by time: a first row, or none, at once.
    std::string sql = "SELECT FSi_Id FROM Store WHERE FSi_Flag=1 AND FSt_SalT IS NOT NULL AND FSt_SalT<>''";
    if (sales)
        sql +=
            " AND FSt_SalT>='" + latest + "' AND NOT EXISTS (SELECT 1 FROM SaleUnit WHERE FSAUi_Unit=FSi_Id)";
    bool found = false;
    return detail::query(db, sql + " LIMIT 1", [&found](sqlite3_stmt*) { found = true; }) == SQLITE_OK &&
           found;
}

int Journal::recover_history(const JournalProgress& progress) {
    sqlite3* db = core_.db;
    if (db == nullptr || ensure_tables() != SQLITE_OK) return -1;
    std::vector<Unit> units;
    int rc = detail::query(db, kUnrecordedUnits, [&units](sqlite3_stmt* s) {
        Unit& u = units.emplace_back();
        u.id = sqlite3_column_int(s, 0);
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(s, 1));
        // The store writes the full form; anything else is read as the
        // readers read it and written back in that form.
        std::memset(u.time, 0, sizeof u.time);
        if (detail::day_of(t) != 0 && std::strlen(t) == 19)
            std::memcpy(u.time, t, 19);
        else
            format_time(parse_time(t)).copy(u.time, sizeof u.time - 1);
        u.price = detail::tenths_of(sqlite3_column_double(s, 2));
        u.retail = detail::tenths_of(sqlite3_column_double(s, 3));
    });
    if (rc != SQLITE_OK) return -1;
    // In time order, a sale's units together, its lowest id first.
    std::sort(units.begin(), units.end(), [](const Unit& a, const Unit& b) {
        const int c = std::strcmp(a.time, b.time);
        return c != 0 ? c < 0 : a.id < b.id;
    });
    const int64_t total = static_cast<int64_t>(units.size());
    if (progress) progress(0, total);
    int sales = 0;
    size_t begin = 0;
    while (begin < units.size()) {
        // Whole sales only: a chunk ends where the sale time changes.
        size_t end = std::min(units.size(), begin + kChunkUnits);
        while (end < units.size() && std::strcmp(units[end].time, units[end - 1].time) == 0)
            ++end;
        int made = 0;
        if (write_chunk(core_, db, units, begin, end, made, progress) != SQLITE_OK) return -1;
        sales += made;
        begin = end;
    }
    if (progress) progress(total, total);
    return sales;
}

} // namespace vorn
