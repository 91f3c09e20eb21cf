// The journal's tables, sale numbers and checkout.
#include "vorn/journal.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <mutex>
#include <unordered_set>

#include "engine.h"

#include "journalinternal.h"
#include "lasterror.h"
#include "journalschema.h"
#include "onestatement.h"
#include "readers.h"
#include "sqlwriter.h"
#include "vorn/core.h"
#include "vorn/sqltext.h"
#include "vorn/transaction.h"

namespace vorn {

namespace detail {

int64_t tenths_of(double yuan) {
    // The digits of format_money's text are the tenths themselves.
    const std::string text = format_money(yuan);
    int64_t tenths = 0;
    for (char c : text)
        if (c >= '0' && c <= '9') tenths = tenths * 10 + (c - '0');
    return text[0] == '-' ? -tenths : tenths;
}

int day_of(const char* t) {
    if (t == nullptr) return 0;
    int day = 0;
    for (int i = 0; i < 10; ++i) {
        if (i == 4 || i == 7) {
            if (t[i] != '-') return 0;
            continue;
        }
        if (t[i] < '0' || t[i] > '9') return 0;
        day = day * 10 + (t[i] - '0');
    }
    return day;
}

std::string sale_number(int day, int seq) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%08d-%04d", day, seq);
    return buf;
}

namespace {

// The highest sequence handed out per store file and day. Several Core objects
// may share a file (copies, a second connection); the file's name joins them.
std::mutex g_marks_mutex;
std::map<std::pair<std::string, int>, int>& marks() {
    static std::map<std::pair<std::string, int>, int> m;
    return m;
}

void call_row(const Row& s, RowContext& ctx) {
    (*static_cast<const RowFn*>(ctx.out))(s);
}

} // namespace

// Advisory lock keys of the days' sale numbers on a server: this base plus
// the day (YYYYMMDD), clear of the key the server engine makes the store under.
constexpr int64_t kNumberLockBase = 7268700000000;

int reserve_numbers(Engine* db, int day, int count, int& first) {
    // The day's numbers lie between "YYYYMMDD-0000" and "YYYYMMDD-99999999",
    // bytewise and under collations that pass over the '-' alike; the unique
    // index on the number answers it at once.
    const std::string day_text = sale_number(day, 0).substr(0, 9);
    // The file's write lock keeps every other till out from here to the
    // commit. On a server the tills' transactions run side by side: the day's
    // numbers are taken under a lock of the day's own, held to the commit, so
    // two tills never read the same highest number.
    if (db->server()) {
        const std::string lock = "SELECT pg_advisory_xact_lock(" + std::to_string(kNumberLockBase + day) + ");";
        if (int locked = db->exec(lock.c_str()); locked != SQLITE_OK) return note_result(locked);
    }
    int64_t in_table = 0;
    const int rc = query_integer(db,
                                 "SELECT MAX(FSAi_Seq) FROM Sale WHERE FSAs_No>='" + day_text +
                                     "0000' AND FSAs_No<='" + day_text + "99999999'",
                                 in_table);
    if (rc != SQLITE_OK) return rc;
    const std::string store = db->identity();
    std::lock_guard<std::mutex> lock(g_marks_mutex);
    int& mark = marks()[{store, day}];
    first = std::max<int>(mark, static_cast<int>(in_table)) + 1;
    mark = first + count - 1;
    return SQLITE_OK;
}

int objects_present(Engine* db, std::initializer_list<const char*> tables, const std::vector<const char*>& indexes,
                    int64_t& present) {
    if (db == nullptr) return SQLITE_MISUSE;
    int64_t n = 0;
    for (const char* table : tables) {
        const int has = db->has_table(table);
        if (has < 0) return Core::last_error() != SQLITE_OK ? Core::last_error() : SQLITE_ERROR;
        n += has;
    }
    if (!indexes.empty()) {
        const int found = db->indexes_present(indexes);
        if (found < 0) return Core::last_error() != SQLITE_OK ? Core::last_error() : SQLITE_ERROR;
        n += found;
    }
    present = n;
    return SQLITE_OK;
}

int claim_units(Engine* db, const std::vector<int>& ids, int flag, std::vector<int>& gone) {
    gone.clear();
    if (ids.empty()) return SQLITE_OK;
    std::string list;
    for (int id : ids) {
        if (!list.empty()) list += ',';
        list += std::to_string(id);
    }
    const std::string where = " WHERE FSi_Flag=" + std::to_string(flag) + " AND FSi_Id IN (" + list + ")";
    int taken = 0;
    int rc = SQLITE_OK;
    if (db->server()) {
        // Locked in the order of their ids, whatever plan the server picks,
        // so two tills taking overlapping units wait for each other instead
        // of deadlocking.
        rc = query(db, "SELECT FSi_Id FROM Store" + where + " ORDER BY FSi_Id FOR UPDATE",
                   [&taken](const Row&) { ++taken; });
    } else {
        db->lock();
        rc = db->exec(("UPDATE Store SET FSi_Flag=FSi_Flag" + where + ";").c_str(), true);
        taken = rc == SQLITE_OK ? db->changes() : 0;
        db->unlock();
    }
    if (rc != SQLITE_OK) return detail::note_result(rc);
    if (taken == static_cast<int>(ids.size())) return SQLITE_OK;
    std::vector<int> held;
    rc = query(db, "SELECT FSi_Id FROM Store" + where, [&held](const Row& row) { held.push_back(row.integer(0)); });
    if (rc != SQLITE_OK) return rc;
    for (int id : ids)
        if (std::find(held.begin(), held.end(), id) == held.end()) gone.push_back(id);
    // The same unit twice in the list: the second one has nothing left to take.
    if (gone.empty()) gone.push_back(ids.back());
    return SQLITE_OK;
}

int query(Engine* db, const std::string& sql, const RowFn& row) {
    RowContext ctx{const_cast<RowFn*>(&row)};
    return run_one_statement(db, sql, call_row, ctx);
}

int query_integer(Engine* db, const std::string& sql, int64_t& value) {
    int64_t v = 0;
    const int rc = query(db, sql, [&v](const Row& s) { v = s.int64(0); });
    if (rc == SQLITE_OK) value = v;
    return rc;
}

std::string quoted(const std::string& text) {
    std::string out;
    SqlWriter(out).text(text);
    return out;
}

// Commits the sale (or return) numbered number, given the id id. A server whose
// answer to the COMMIT never came may have committed it: reported failed, the
// cashier would keep the list, try again and be told the units were sold at
// another till, and hand out no receipt (or refund a return again by hand while
// its units are back already). So the store is asked on a new connection
// whether the row is there: its number with the id it was given here (once ours
// was rolled back another till may take the number, never the id). Found, it is
// done. Not found, or the question failing too (the server still away), it
// failed as before: a receipt for a sale the store may not hold would leave its
// units in stock to be sold again, while a retry that is refused sends the
// cashier to the journal, where the sale shows if it was made after all.
int commit_or_find(Transaction& t, Engine* db, const std::string& number, int64_t id) {
    // The connection's lock from the commit to its verdict: no other thread's
    // commit comes between.
    db->lock();
    const bool own = t.active() && !t.joined();
    const int rc = t.commit();
    const bool unknown = rc != SQLITE_OK && own && db->commit_outcome_unknown();
    db->unlock();
    if (!unknown) return rc;
    int64_t found = 0;
    if (query_integer(db,
                      "SELECT COUNT(*) FROM Sale WHERE FSAs_No=" + quoted(number) +
                          " AND FSAi_Id=" + std::to_string(id),
                      found) != SQLITE_OK ||
        found != 1)
        return rc;
    detail::clear_last_error();
    return SQLITE_OK;
}

} // namespace detail

using detail::query_integer;
using detail::quoted;

std::string pay_method_name(int method) {
    switch (method) {
    case kPayCash:
        return "\xcf\xd6\xbd\xf0"; // 现金
    case kPayWeChat:
        return "\xce\xa2\xd0\xc5"; // 微信
    case kPayAlipay:
        return "\xd6\xa7\xb8\xb6\xb1\xa6"; // 支付宝
    case kPayCard:
        return "\xd2\xf8\xd0\xd0\xbf\xa8"; // 银行卡
    case kPayOther:
        return "\xc6\xe4\xcb\xfb"; // 其他
    default:
        return "\xce\xb4\xd6\xaa"; // 未知
    }
}

// ---- Tables -------------------------------------------------------------------

bool Journal::has_tables() {
    int64_t n = 0;
    return detail::objects_present(core_.db, {"Sale", "SaleUnit", "SalePayment"}, {}, n) == SQLITE_OK && n == 3;
}

int Journal::ensure_tables() {
    if (core_.db == nullptr) return SQLITE_MISUSE;
    int64_t present = 0;
    int rc = detail::objects_present(
        core_.db, {"Sale", "SaleUnit", "SalePayment"},
        std::vector<const char*>(std::begin(detail::kJournalIndexNames), std::end(detail::kJournalIndexNames)),
        present);
    if (rc != SQLITE_OK) return rc;
    // Asking first keeps a store that has them all unwritten (a read-only one too).
    if (present == 3 + static_cast<int64_t>(std::size(detail::kJournalIndexNames))) return SQLITE_OK;
    std::string text;
    for (const detail::JournalTable& t : detail::kJournalTables)
        text += t.create;
    return core_.exec_in_transaction(text);
}

// ---- Checkout -------------------------------------------------------------------

namespace {

// What the request comes to, or false when it does not add up.
bool add_up(const CheckoutRequest& r, CheckoutResult& out) {
    if (r.units.empty()) return false;
    const int64_t t = r.units.front().FSt_SalT;
    if (t == 0) return false;
    std::unordered_set<int> ids;
    int64_t due = 0, retail = 0;
    for (const SRec& u : r.units) {
        if (u.FSi_Flag != 1 || u.FSt_SalT != t || u.FSi_Id <= 0 || !ids.insert(u.FSi_Id).second) return false;
        due += detail::tenths_of(u.FSd_ReaP);
        retail += detail::tenths_of(u.FSd_RetP);
    }
    if (due < 0) return false;
    int64_t paid = 0, cash = 0;
    for (const Payment& p : r.payments) {
        if (p.method < kPayCash || p.method > kPayOther || p.amount < 0) return false;
        paid += p.amount;
        if (p.method == kPayCash) cash += p.amount;
    }
    // Scanned codes and cards pay exactly; only cash is handed back.
    if (paid < due || paid - cash > due) return false;
    out.due = due;
    out.discount = retail - due;
    out.paid = paid;
    out.change = paid - due;
    return true;
}

} // namespace

CheckoutResult Journal::checkout(const CheckoutRequest& r) {
    CheckoutResult out;
    if (!add_up(r, out)) {
        out.status = CheckoutStatus::Invalid;
        return out;
    }
    Engine* db = core_.db;
    if (db == nullptr) {
        out.rc = SQLITE_MISUSE;
        return out;
    }
    const int n = static_cast<int>(r.units.size());
    Transaction t(core_);
    // Leaving without commit rolls everything back. A write that failed inside
    // has ended the transaction already, which then knows its code (its commit
    // only answers it); a failed read leaves it open, and the code is the
    // store's latest failure.
    auto failed = [&out, &t](int rc) {
        out.status = CheckoutStatus::Failed;
        if (rc == SQLITE_OK) rc = t.active() ? Core::last_error() : t.commit();
        out.rc = rc != SQLITE_OK ? rc : SQLITE_ERROR;
        return out;
    };
    if (!t.active()) return failed(t.commit());

    // Sold meanwhile at another till or window, or deleted: an update would
    // sell nothing, or sell a unit twice. Taken inside the transaction, the
    // units stay ours until the commit.
    std::vector<int> ids;
    for (const SRec& u : r.units)
        ids.push_back(u.FSi_Id);
    if (int rc = detail::claim_units(db, ids, 0, out.gone_ids); rc != SQLITE_OK) return failed(rc);
    if (!out.gone_ids.empty()) {
        for (int id : out.gone_ids)
            for (const SRec& u : r.units)
                if (u.FSi_Id == id) {
                    out.gone_codes.push_back(u.FSs_Code);
                    break;
                }
        out.status = CheckoutStatus::Missing;
        return out;
    }
    if (core_.update_srec(r.units.data(), n) != n) return failed(SQLITE_OK);

    int points = 0;
    if (r.member_id > 0) {
        const std::string same = "FVi_Id=" + std::to_string(r.member_id);
        // The member's row is ours until the commit before its points are
        // read: another till crediting the same member waits, and then reads
        // the balance this sale left, so no credit is overwritten.
        if (int rc = t.exec(("UPDATE VIP SET FVi_Grade=FVi_Grade WHERE " + same + ";").c_str()); rc != SQLITE_OK)
            return failed(rc);
        VIPRec v;
        const int found = core_.get_viprec_count(same.c_str());
        if (found < 0) return failed(SQLITE_OK);
        if (found == 1 && core_.select_viprec(&v, same.c_str()) == 1) {
            const int before = v.FVi_Grade;
            const int64_t sum = static_cast<int64_t>(before) + r.points;
            v.FVi_Grade = static_cast<int>(std::clamp<int64_t>(sum, 0, std::max(r.points_cap, 0)));
            // What the balance gained, never more than the sale earned.
            const int64_t gained = static_cast<int64_t>(v.FVi_Grade) - before;
            points = static_cast<int>(std::clamp<int64_t>(gained, 0, std::max(r.points, 0)));
            if (core_.update_viprec(&v, 1) != 1) return failed(SQLITE_OK);
            out.member_found = true;
            out.balance = v.FVi_Grade;
        }
    }

    const std::string time = format_time(r.units.front().FSt_SalT);
    int seq = 0;
    if (int rc = detail::reserve_numbers(db, detail::day_of(time.c_str()), 1, seq); rc != SQLITE_OK)
        return failed(rc);
    out.number = detail::sale_number(detail::day_of(time.c_str()), seq);

    std::string sql =
        "INSERT INTO Sale (FSAs_No,FSAi_Seq,FSAt_Time,FSAs_User,FSAs_VIP,FSAi_Count,FSAi_Due,FSAi_Disc,"
        "FSAi_Paid,FSAi_Change,FSAi_Points,FSAi_Kind,FSAi_Orig,FSAi_Recov,FSAs_Appr,FSAi_Shift) VALUES (";
    sql += quoted(out.number) + "," + std::to_string(seq) + ",'" + time + "'," + quoted(r.cashier) + "," +
           quoted(r.member_code) + "," + std::to_string(n) + "," + std::to_string(out.due) + "," +
           std::to_string(out.discount) + "," + std::to_string(out.paid) + "," + std::to_string(out.change) +
           "," + std::to_string(points) + ",0,NULL,0," + quoted(r.approver) + "," +
           (r.shift > 0 ? std::to_string(r.shift) : std::string("NULL")) + ");";
    if (int rc = t.exec(sql.c_str()); rc != SQLITE_OK) return failed(rc);
    if (int rc =
            query_integer(db, "SELECT FSAi_Id FROM Sale WHERE FSAs_No=" + quoted(out.number), out.sale_id);
        rc != SQLITE_OK)
        return failed(rc);
    const std::string sale = std::to_string(out.sale_id);

    sql = "INSERT INTO SaleUnit (FSAUi_Sale,FSAUi_Unit,FSAUi_Price) VALUES ";
    for (int i = 0; i < n; ++i)
        sql += (i ? ",(" : "(") + sale + "," + std::to_string(r.units[i].FSi_Id) + "," +
               std::to_string(detail::tenths_of(r.units[i].FSd_ReaP)) + ")";
    sql += ";";
    // One row per method used, in the order the methods were first taken.
    std::vector<Payment> rows;
    for (const Payment& p : r.payments) {
        auto same =
            std::find_if(rows.begin(), rows.end(), [&p](const Payment& q) { return q.method == p.method; });
        if (same == rows.end())
            rows.push_back(p);
        else
            same->amount += p.amount;
    }
    bool any = false;
    for (const Payment& p : rows) {
        if (p.amount == 0) continue;
        sql += any ? ",(" : "INSERT INTO SalePayment (FSAPi_Sale,FSAPi_Method,FSAPi_Amount) VALUES (";
        sql += sale + "," + std::to_string(p.method) + "," + std::to_string(p.amount) + ")";
        any = true;
    }
    if (any) sql += ";";
    if (int rc = t.exec(sql.c_str()); rc != SQLITE_OK) return failed(rc);
    if (int rc = detail::commit_or_find(t, db, out.number, out.sale_id); rc != SQLITE_OK) return failed(rc);
    out.status = CheckoutStatus::Done;
    out.points_credited = points;
    return out;
}

} // namespace vorn
