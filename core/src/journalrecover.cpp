// Journal entries for what was sold before the journal existed.
#include <algorithm>
#include <cstring>
#include <vector>

#include "engine.h"
#include "fileengine.h"

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

// One statement run many times with new values. The file compiles it once;
// the server is sent its text with the values in place of the '?'s, the
// values being numbers and the program's own texts, quoted as the store
// quotes them.
class Statement {
public:
    Statement(Engine* db, const char* sql) : db_(db), sql_(sql) {
        if (!db->server())
            rc_ = sqlite3_prepare_v2(static_cast<detail::FileEngine*>(db)->handle(), sql, -1, &s_, nullptr);
    }
    ~Statement() { sqlite3_finalize(s_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    int rc() const { return rc_; }
    void bind(int i, int64_t v) {
        if (s_ != nullptr)
            sqlite3_bind_int64(s_, i, v);
        else
            value(i) = std::to_string(v);
    }
    void bind(int i, const char* text) {
        if (s_ != nullptr)
            sqlite3_bind_text(s_, i, text, -1, SQLITE_TRANSIENT);
        else
            value(i) = detail::quoted(text);
    }
    // Runs the bound statement once and makes it ready for the next values.
    int run() {
        if (s_ == nullptr) return db_->exec(filled().c_str());
        int rc = sqlite3_step(s_);
        sqlite3_reset(s_);
        return rc == SQLITE_DONE ? SQLITE_OK : rc;
    }

private:
    std::string& value(int i) {
        if (values_.size() < static_cast<size_t>(i)) values_.resize(static_cast<size_t>(i));
        return values_[static_cast<size_t>(i - 1)];
    }
    // The text with the values in order; no '?' stands in a quoted text here.
    std::string filled() const {
        std::string out;
        size_t next = 0;
        for (const char* p = sql_; *p != '\0'; ++p)
            if (*p == '?' && next < values_.size())
                out += values_[next++];
            else
                out += *p;
        return out;
    }

    Engine* db_;
    const char* sql_;
    sqlite3_stmt* s_ = nullptr;
    std::vector<std::string> values_;
    int rc_ = SQLITE_OK;
};

// Writes the sales units[begin, end) in one transaction: each run of one time
// is a sale, numbered on its day after the numbers in use. SQLite code.
int write_chunk(Core& core, Engine* db, const std::vector<Unit>& units, size_t begin, size_t end, int& sales,
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
            sale.bind(1, number.c_str());
            sale.bind(2, seq);
            sale.bind(3, units[i].time);
            sale.bind(4, static_cast<int64_t>(j - i));
            sale.bind(5, due);
            sale.bind(6, retail - due);
            sale.bind(7, due);
            if (int rc = sale.run(); rc != SQLITE_OK) return rc;
            const int64_t id = db->last_insert_id();
            for (size_t k = i; k < j; ++k) {
                unit.bind(1, id);
                unit.bind(2, units[k].id);
                unit.bind(3, units[k].price);
                if (int rc = unit.run(); rc != SQLITE_OK) return rc;
            }
            pay.bind(1, id);
            pay.bind(2, due);
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
    Engine* db = core_.db;
    std::string latest;
    bool sales = false;
    if (detail::query(db, "SELECT MAX(FSAt_Time) FROM Sale", [&](const Row& s) {
            const auto* t = s.text(0);
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
    return detail::query(db, sql + " LIMIT 1", [&found](const Row&) { found = true; }) == SQLITE_OK &&
           found;
}

int Journal::recover_history(const JournalProgress& progress) {
    Engine* db = core_.db;
    if (db == nullptr || ensure_tables() != SQLITE_OK) return -1;
    std::vector<Unit> units;
    int rc = detail::query(db, kUnrecordedUnits, [&units](const Row& s) {
        Unit& u = units.emplace_back();
        u.id = s.integer(0);
        const auto* t = s.text(1);
        // The store writes the full form; anything else is read as the
        // readers read it and written back in that form.
        std::memset(u.time, 0, sizeof u.time);
        if (detail::day_of(t) != 0 && std::strlen(t) == 19)
            std::memcpy(u.time, t, 19);
        else
            format_time(parse_time(t)).copy(u.time, sizeof u.time - 1);
        u.price = detail::tenths_of(s.real(2));
        u.retail = detail::tenths_of(s.real(3));
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
