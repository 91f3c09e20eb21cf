// Returns: units back into stock or written off, the refund by method, the
// member's points and the return's journal rows, in one transaction.
#include <algorithm>
#include <map>
#include <unordered_map>
#include <unordered_set>

#include "engine.h"

#include "journalinternal.h"
#include "lasterror.h"
#include "vorn/core.h"
#include "vorn/journal.h"
#include "vorn/sqltext.h"
#include "vorn/transaction.h"

namespace vorn {

using detail::query;
using detail::quoted;

namespace {

// A row of SaleUnit with what its sale is.
struct UnitRow {
    int64_t id; // FSAUi_Id: a unit's rows follow each other in this order
    int64_t sale;
    int kind;
    int64_t original; // a return's sale; 0 for a sale, or a return without a receipt
    int64_t price;    // tenths as stored (negative on a return)
    std::string number;
};

using RowsOfUnit = std::unordered_map<int, std::vector<UnitRow>>;

std::string id_list(const std::vector<int>& ids) {
    std::string out;
    for (int id : ids) {
        if (!out.empty()) out += ',';
        out += std::to_string(id);
    }
    return out;
}

std::string column_text(const Row& s, int i) {
    const auto* t = s.text(i);
    return t ? std::string(t, static_cast<size_t>(s.bytes(i))) : std::string();
}

// Every journal row of the units, per unit in the order written. Through the
// index on SaleUnit's unit: a few rows per unit whatever the journal's size.
int rows_of(Engine* db, const std::vector<int>& units, RowsOfUnit& out) {
    if (units.empty()) return SQLITE_OK;
    return query(db,
                 "SELECT FSAUi_Unit,FSAUi_Id,FSAUi_Sale,FSAi_Kind,FSAi_Orig,FSAUi_Price,FSAs_No FROM "
                 "SaleUnit JOIN Sale ON FSAi_Id=FSAUi_Sale WHERE FSAUi_Unit IN (" +
                     id_list(units) + ") ORDER BY FSAUi_Id",
                 [&out](const Row& s) {
                     out[s.integer(0)].push_back(
                         {s.int64(1), s.int64(2), s.integer(3),
                          s.int64(4), s.int64(5), column_text(s, 6)});
                 });
}

// The units as stored, by id; units deleted since are absent. SQLite code.
int stored_units(Core& core, const std::vector<int>& ids, std::unordered_map<int, SRec>& out) {
    if (ids.empty()) return SQLITE_OK;
    // The ids are distinct: at most one row each.
    std::vector<SRec> got(ids.size());
    const std::string cond = "FSi_Id IN (" + id_list(ids) + ")";
    const int n = core.select_srec(got.data(), cond.c_str());
    if (n < 0) return Core::last_error() != SQLITE_OK ? Core::last_error() : SQLITE_ERROR;
    for (int i = 0; i < n; ++i)
        out.emplace(got[static_cast<size_t>(i)].FSi_Id, std::move(got[static_cast<size_t>(i)]));
    return SQLITE_OK;
}

// What a unit of a sale is to a return.
struct Verdict {
    enum What { Returnable, Returned, NotSold, NotOfSale } what = NotOfSale;
    int64_t price = 0;           // Returnable: tenths it was sold at
    const UnitRow* by = nullptr; // Returned: the return's row
};

Verdict judge(int64_t sale, const std::vector<UnitRow>* rows, const SRec* stored) {
    Verdict v;
    if (rows == nullptr) return v;
    auto own = std::find_if(rows->begin(), rows->end(),
                            [sale](const UnitRow& r) { return r.sale == sale && r.kind == kKindSale; });
    if (own == rows->end()) return v;
    for (auto later = own + 1; later != rows->end(); ++later)
        if (later->kind == kKindReturn) {
            v.what = Verdict::Returned;
            v.by = &*later;
            return v;
        }
    // Sold again without a return on record, or no longer sold: the journal
    // and the unit disagree, and nothing can be refunded on that word.
    if (own + 1 != rows->end() || stored == nullptr || stored->FSi_Flag != 1) {
        v.what = Verdict::NotSold;
        return v;
    }
    v.what = Verdict::Returnable;
    v.price = own->price;
    return v;
}

// The sale's head: kind, number, member code, change.
struct SaleHead {
    bool found = false;
    int kind = kKindSale;
    std::string number, member;
    int64_t change = 0;
};

int read_head(Engine* db, int64_t sale, SaleHead& h) {
    return query(
        db, "SELECT FSAi_Kind,FSAs_No,FSAs_VIP,FSAi_Change FROM Sale WHERE FSAi_Id=" + std::to_string(sale),
        [&h](const Row& s) {
            h.found = true;
            h.kind = s.integer(0);
            h.number = column_text(s, 1);
            h.member = column_text(s, 2);
            h.change = s.int64(3);
        });
}

// The sale's units in the order it took them.
int units_of_sale(Engine* db, int64_t sale, std::vector<int>& out) {
    return query(
        db, "SELECT FSAUi_Unit FROM SaleUnit WHERE FSAUi_Sale=" + std::to_string(sale) + " ORDER BY FSAUi_Id",
        [&out](const Row& s) { out.push_back(s.integer(0)); });
}

// Methods a refund can go back by; anything unknown was taken as cash.
int refund_method(int method) {
    return method >= kPayCash && method <= kPayOther ? method : kPayCash;
}

// The refund spread over the sale's methods, cash first, each up to what it
// still holds: what it paid (cash less the change) less what earlier returns
// refunded by it. What none can take goes in cash.
std::vector<Payment> spread(int64_t refund, const std::vector<Payment>& paid, int64_t change,
                            const std::map<int, int64_t>& refunded) {
    std::vector<int> order{kPayCash};
    std::map<int, int64_t> room;
    for (const Payment& p : paid) {
        const int m = refund_method(p.method);
        if (std::find(order.begin(), order.end(), m) == order.end()) order.push_back(m);
        room[m] += p.amount;
    }
    room[kPayCash] -= change;
    for (const auto& [m, amount] : refunded)
        room[refund_method(m)] -= amount;
    std::vector<Payment> out;
    int64_t left = refund;
    for (int m : order) {
        const int64_t take = std::min(left, std::max<int64_t>(room[m], 0));
        if (take > 0) out.push_back({m, take});
        left -= take;
    }
    if (left > 0) {
        if (!out.empty() && out.front().method == kPayCash)
            out.front().amount += left;
        else
            out.insert(out.begin(), {kPayCash, left});
    }
    return out;
}

// What a return will write, found by checking the request against the store.
struct Plan {
    std::vector<SRec> units; // as stored, in the request's order
    std::vector<int64_t> prices;
    int64_t change = 0; // the sale's change (by receipt)
    int member_id = 0;  // 0: no member to take points from
    VIPRec member;
};

bool fail_with(ReturnResult& out, ReturnStatus status) {
    out.status = status;
    return false;
}

// The request by receipt: every unit of the sale and returnable. False with
// the status set when refused; rc a store failure.
bool plan_receipt(Core& core, Engine* db, const ReturnRequest& r, Plan& plan, ReturnResult& out, int& rc) {
    SaleHead head;
    if ((rc = read_head(db, r.sale_id, head)) != SQLITE_OK) return false;
    if (!head.found || head.kind != kKindSale) return fail_with(out, ReturnStatus::NoSale);
    out.original = r.sale_id;
    out.original_number = head.number;
    plan.change = head.change;
    out.member = head.member;

    std::vector<int> ids;
    for (const ReturnUnit& u : r.units)
        ids.push_back(u.unit);
    RowsOfUnit rows;
    std::unordered_map<int, SRec> stored;
    if ((rc = rows_of(db, ids, rows)) != SQLITE_OK || (rc = stored_units(core, ids, stored)) != SQLITE_OK)
        return false;
    for (const ReturnUnit& u : r.units) {
        const auto rit = rows.find(u.unit);
        const auto sit = stored.find(u.unit);
        const Verdict v = judge(r.sale_id, rit == rows.end() ? nullptr : &rit->second,
                                sit == stored.end() ? nullptr : &sit->second);
        out.unit = u.unit;
        switch (v.what) {
        case Verdict::NotOfSale:
            return fail_with(out, ReturnStatus::Invalid);
        case Verdict::Returned:
            out.returned_by = v.by->number;
            out.returned_by_id = v.by->sale;
            return fail_with(out, ReturnStatus::AlreadyReturned);
        case Verdict::NotSold:
            return fail_with(out, ReturnStatus::NotSold);
        case Verdict::Returnable:
            break;
        }
        plan.units.push_back(sit->second);
        plan.prices.push_back(v.price);
    }
    out.unit = 0;
    out.units = r.units;
    return true;
}

// The units a return without a receipt takes, per code, and all of them.
struct Chosen {
    std::map<std::string, std::vector<int>> by_code;
    std::vector<int> ids;
};

// Per code the most recently sold units. False with NotEnough set when a code
// has fewer than asked; rc a store failure.
bool choose_by_codes(Engine* db, const ReturnRequest& r, Chosen& chosen, ReturnResult& out, int& rc) {
    chosen = Chosen{};
    // One pass per code, however many lines name it.
    std::vector<std::string> codes;
    std::map<std::string, int> wanted;
    for (const ReturnByCode& c : r.codes) {
        if (wanted[c.code] == 0) codes.push_back(c.code);
        wanted[c.code] += c.quantity;
    }
    for (const std::string& code : codes) {
        const int n = wanted[code];
        std::vector<int>& got = chosen.by_code[code];
        // Through the index on code and state; the newest sale time first.
        rc = query(db,
                   "SELECT FSi_Id FROM Store WHERE FSs_Code=" + quoted(code) +
                       " AND FSi_Flag=1 ORDER BY FSt_SalT DESC,FSi_Id DESC LIMIT " + std::to_string(n),
                   [&got](const Row& s) { got.push_back(s.integer(0)); });
        if (rc != SQLITE_OK) return false;
        if (static_cast<int>(got.size()) < n) {
            out.code = code;
            out.available = static_cast<int>(got.size());
            return fail_with(out, ReturnStatus::NotEnough);
        }
        chosen.ids.insert(chosen.ids.end(), got.begin(), got.end());
    }
    return true;
}

// The request without a receipt: the units chosen (chosen, or here when
// null), each from the sale the journal last shows it in.
bool plan_codes(Core& core, Engine* db, const ReturnRequest& r, const Chosen* chosen, Plan& plan,
                ReturnResult& out, int& rc) {
    Chosen own;
    if (chosen == nullptr) {
        if (!choose_by_codes(db, r, own, out, rc)) return false;
        chosen = &own;
    }
    const std::vector<int>& ids = chosen->ids;
    RowsOfUnit rows;
    std::unordered_map<int, SRec> stored;
    if ((rc = rows_of(db, ids, rows)) != SQLITE_OK || (rc = stored_units(core, ids, stored)) != SQLITE_OK)
        return false;
    std::map<std::string, size_t> next;
    for (const ReturnByCode& c : r.codes) {
        const std::vector<int>& got = chosen->by_code.at(c.code);
        for (int k = 0; k < c.quantity; ++k) {
            const int id = got[next[c.code]++];
            const auto rit = rows.find(id);
            const auto sit = stored.find(id);
            // Its latest row must be a sale's: one sold outside the journal
            // (or after a return, by a version without it) has no sale to
            // return from, and its price would be a guess.
            if (rit == rows.end() || rit->second.back().kind != kKindSale || sit == stored.end()) {
                out.unit = id;
                return fail_with(out, ReturnStatus::Unrecorded);
            }
            plan.units.push_back(sit->second);
            plan.prices.push_back(rit->second.back().price);
            out.units.push_back({id, c.damaged});
        }
    }
    return true;
}

// The refund by method of a return by receipt. SQLite code.
int refunds_by_methods(Engine* db, int64_t sale, const std::vector<int>& sale_units, int64_t change,
                       ReturnResult& out) {
    std::vector<Payment> paid;
    int rc =
        query(db,
              "SELECT FSAPi_Method,FSAPi_Amount FROM SalePayment WHERE FSAPi_Sale=" + std::to_string(sale) +
                  " ORDER BY FSAPi_Id",
              [&paid](const Row& s) {
                  paid.push_back({s.integer(0), s.int64(1)});
              });
    if (rc != SQLITE_OK) return rc;
    // Earlier returns of this sale, found through its units (a return's rows
    // follow the sale's on each unit it took back). A return without a
    // receipt refunded in cash and may hold units of other sales too: its
    // refund is not this sale's to count.
    RowsOfUnit rows;
    if ((rc = rows_of(db, sale_units, rows)) != SQLITE_OK) return rc;
    std::unordered_set<int64_t> returns;
    for (const auto& [unit, list] : rows) {
        const Verdict v = judge(sale, &list, nullptr);
        if (v.what == Verdict::Returned && v.by->original == sale) returns.insert(v.by->sale);
    }
    std::map<int, int64_t> refunded;
    if (!returns.empty()) {
        std::string list;
        for (int64_t id : returns)
            list += (list.empty() ? "" : ",") + std::to_string(id);
        rc = query(db,
                   "SELECT FSAPi_Method,SUM(FSAPi_Amount) FROM SalePayment WHERE FSAPi_Sale IN (" + list +
                       ") GROUP BY FSAPi_Method",
                   [&refunded](const Row& s) {
                       refunded[s.integer(0)] -= s.int64(1);
                   });
        if (rc != SQLITE_OK) return rc;
    }
    out.refunds = spread(out.refund, paid, change, refunded);
    return SQLITE_OK;
}

bool request_adds_up(const ReturnRequest& r) {
    if (r.time == 0 || r.sale_id < 0) return false;
    if (r.sale_id > 0) {
        if (r.units.empty() || !r.codes.empty()) return false;
        std::unordered_set<int> seen;
        for (const ReturnUnit& u : r.units)
            if (u.unit <= 0 || !seen.insert(u.unit).second) return false;
        return true;
    }
    if (r.codes.empty() || !r.units.empty()) return false;
    for (const ReturnByCode& c : r.codes)
        if (c.code.empty() || c.quantity < 1) return false;
    return true;
}

// Checks a return against the store and works out what it writes. True when
// it can go ahead; false with out.status set when refused, or with rc set
// when the store failed. Run inside the transaction that writes it, after
// claim() (or in a snapshot, for a plan only), so the answer holds until then;
// chosen: the units claim() took for a return without a receipt.
bool plan_in(Core& core, Engine* db, const ReturnRequest& r, Plan& plan, ReturnResult& out, int& rc,
             const Chosen* chosen = nullptr) {
    rc = SQLITE_OK;
    if (!request_adds_up(r)) return fail_with(out, ReturnStatus::Invalid);
    const bool by_receipt = r.sale_id > 0;
    if (!(by_receipt ? plan_receipt(core, db, r, plan, out, rc)
                     : plan_codes(core, db, r, chosen, plan, out, rc)))
        return false;

    int64_t refund = 0, retail = 0;
    for (size_t i = 0; i < plan.units.size(); ++i) {
        refund += plan.prices[i];
        retail += detail::tenths_of(plan.units[i].FSd_RetP);
    }
    out.refund = refund;
    out.discount = retail - refund;
    if (by_receipt && !r.all_cash) {
        std::vector<int> sale_units;
        if ((rc = units_of_sale(db, r.sale_id, sale_units)) != SQLITE_OK ||
            (rc = refunds_by_methods(db, r.sale_id, sale_units, plan.change, out)) != SQLITE_OK)
            return false;
    } else {
        out.refunds.clear();
        if (refund > 0) out.refunds.push_back({kPayCash, refund});
    }

    // The member of the sale loses the refund's points; a member deleted
    // since (or a code that no longer names one member) loses nothing.
    if (by_receipt && !out.member.empty()) {
        const std::string same = "FVs_Code=" + quoted(out.member);
        const int found = core.get_viprec_count(same.c_str());
        if (found < 0) {
            rc = Core::last_error() != SQLITE_OK ? Core::last_error() : SQLITE_ERROR;
            return false;
        }
        if (found == 1) {
            if (core.select_viprec(&plan.member, same.c_str()) != 1) {
                rc = Core::last_error() != SQLITE_OK ? Core::last_error() : SQLITE_ERROR;
                return false;
            }
            const int64_t before = std::max(plan.member.FVi_Grade, 0);
            out.points_lost = static_cast<int>(std::min<int64_t>(refund / 10, before));
            out.balance = plan.member.FVi_Grade - out.points_lost;
            out.member_found = true;
            plan.member_id = plan.member.FVi_Id;
        }
    }
    return true;
}

// Makes the return's units ours before anything of them is read, so that the
// plan is made from what the transaction then writes. On the file the write
// lock keeps every other till out already; on a server another till may take
// back, sell or edit a unit (or return another unit of the same sale, which
// changes this refund's split) until its row is ours. True when claimed;
// false with out.status set (NotEnough, NotSold) or rc a store failure.
//
// With a receipt the sale's row is taken first, so returns of one sale follow
// each other and each split counts the refunds before it; then its units
// still sold. A unit not sold any more is left: the plan reads it as it now is
// and refuses it by what happened to it; gone lists such units. Without a
// receipt the most recently sold units of each code are chosen and taken, and
// chosen again when another till took one of them meanwhile (its change is in
// sight once we have waited for it).
bool claim(Engine* db, const ReturnRequest& r, Chosen& chosen, std::vector<int>& gone, ReturnResult& out,
           int& rc) {
    if (r.sale_id > 0) {
        if (db->server()) {
            rc = query(db,
                       "SELECT FSAi_Id FROM Sale WHERE FSAi_Id=" + std::to_string(r.sale_id) + " FOR UPDATE",
                       [](const Row&) {});
            if (rc != SQLITE_OK) return false;
        }
        std::vector<int> ids;
        for (const ReturnUnit& u : r.units)
            ids.push_back(u.unit);
        rc = detail::claim_units(db, ids, 1, gone);
        return rc == SQLITE_OK;
    }
    std::vector<int> before;
    for (;;) {
        if (!choose_by_codes(db, r, chosen, out, rc)) return false;
        if ((rc = detail::claim_units(db, chosen.ids, 1, gone)) != SQLITE_OK) return false;
        if (gone.empty()) return true;
        // The same choice again: the store does not move on (nothing should
        // hold a sold unit that cannot be taken); refused rather than asked forever.
        if (chosen.ids == before) {
            out.unit = gone.front();
            return fail_with(out, ReturnStatus::NotSold);
        }
        before = chosen.ids;
    }
}

} // namespace

ReturnResult Journal::plan_return(const ReturnRequest& request) {
    ReturnResult out;
    if (core_.db == nullptr) {
        out.rc = SQLITE_MISUSE;
        return out;
    }
    Plan plan;
    int rc = SQLITE_OK;
    ReadSnapshot snapshot(core_);
    if (plan_in(core_, core_.db, request, plan, out, rc)) {
        out.status = ReturnStatus::Done;
    } else if (rc != SQLITE_OK) {
        out.status = ReturnStatus::Failed;
        out.rc = rc;
    }
    return out;
}

ReturnResult Journal::return_goods(const ReturnRequest& r) {
    ReturnResult out;
    Engine* db = core_.db;
    if (db == nullptr) {
        out.rc = SQLITE_MISUSE;
        return out;
    }
    Transaction t(core_);
    // As in checkout: leaving without commit rolls everything back; a write
    // that failed has ended the transaction and its commit answers the code.
    auto failed = [&out, &t](int rc) {
        out.status = ReturnStatus::Failed;
        if (rc == SQLITE_OK) rc = t.active() ? Core::last_error() : t.commit();
        out.rc = rc != SQLITE_OK ? rc : SQLITE_ERROR;
        return out;
    };
    if (!t.active()) return failed(t.commit());
    // The sale's member is ours until the commit before the plan reads the
    // points, as at the checkout: a till crediting the same member meanwhile
    // waits, or has written first and is read.
    if (r.sale_id > 0) {
        const std::string lock = "UPDATE VIP SET FVi_Grade=FVi_Grade WHERE FVs_Code=(SELECT FSAs_VIP FROM Sale "
                                 "WHERE FSAi_Id=" + std::to_string(r.sale_id) + ") AND FVs_Code<>'';";
        if (int locked = t.exec(lock.c_str()); locked != SQLITE_OK) return failed(locked);
    }
    if (!request_adds_up(r)) {
        out.status = ReturnStatus::Invalid;
        return out;
    }
    Plan plan;
    Chosen chosen;
    std::vector<int> gone;
    int rc = SQLITE_OK;
    if (!claim(db, r, chosen, gone, out, rc)) return rc != SQLITE_OK ? failed(rc) : out;
    if (!plan_in(core_, db, r, plan, out, rc, &chosen)) return rc != SQLITE_OK ? failed(rc) : out;
    // A unit that was not sold when claimed and passes now was sold again
    // outside the journal meanwhile: still not ours to take back.
    if (!gone.empty()) {
        out.status = ReturnStatus::NotSold;
        return out;
    }

    const int n = static_cast<int>(plan.units.size());
    for (int i = 0; i < n; ++i) {
        SRec& u = plan.units[static_cast<size_t>(i)];
        u.FSi_Flag = out.units[static_cast<size_t>(i)].damaged ? 2 : 0;
        u.FSd_ReaP = 0.0;
        u.FSt_SalT = 0;
    }
    if (core_.update_srec(plan.units.data(), n) != n) return failed(SQLITE_OK);
    if (plan.member_id > 0 && out.points_lost > 0) {
        plan.member.FVi_Grade = out.balance;
        if (core_.update_viprec(&plan.member, 1) != 1) return failed(SQLITE_OK);
    }

    const std::string time = format_time(r.time);
    const int day = detail::day_of(time.c_str());
    int seq = 0;
    if ((rc = detail::reserve_numbers(db, day, 1, seq)) != SQLITE_OK) return failed(rc);
    out.number = detail::sale_number(day, seq);
    std::string sql =
        "INSERT INTO Sale (FSAs_No,FSAi_Seq,FSAt_Time,FSAs_User,FSAs_VIP,FSAi_Count,FSAi_Due,FSAi_Disc,"
        "FSAi_Paid,FSAi_Change,FSAi_Points,FSAi_Kind,FSAi_Orig,FSAi_Recov,FSAs_Appr,FSAi_Shift) VALUES (";
    sql += quoted(out.number) + "," + std::to_string(seq) + ",'" + time + "'," + quoted(r.cashier) + "," +
           quoted(out.member) + "," + std::to_string(-n) + "," + std::to_string(-out.refund) + "," +
           std::to_string(-out.discount) + "," + std::to_string(-out.refund) + ",0," +
           std::to_string(-out.points_lost) + "," + std::to_string(kKindReturn) + "," +
           (out.original > 0 ? std::to_string(out.original) : std::string("NULL")) + ",0," +
           quoted(r.approver) + "," + (r.shift > 0 ? std::to_string(r.shift) : std::string("NULL")) + ");";
    if ((rc = t.exec(sql.c_str())) != SQLITE_OK) return failed(rc);
    if ((rc = detail::query_integer(db, "SELECT FSAi_Id FROM Sale WHERE FSAs_No=" + quoted(out.number),
                                    out.return_id)) != SQLITE_OK)
        return failed(rc);
    const std::string id = std::to_string(out.return_id);
    sql = "INSERT INTO SaleUnit (FSAUi_Sale,FSAUi_Unit,FSAUi_Price) VALUES ";
    for (int i = 0; i < n; ++i)
        sql += (i ? ",(" : "(") + id + "," + std::to_string(plan.units[static_cast<size_t>(i)].FSi_Id) + "," +
               std::to_string(-plan.prices[static_cast<size_t>(i)]) + ")";
    sql += ";";
    for (size_t i = 0; i < out.refunds.size(); ++i)
        sql += (i ? ",(" : "INSERT INTO SalePayment (FSAPi_Sale,FSAPi_Method,FSAPi_Amount) VALUES (") + id +
               "," + std::to_string(out.refunds[i].method) + "," + std::to_string(-out.refunds[i].amount) +
               ")" + (i + 1 == out.refunds.size() ? ";" : "");
    if ((rc = t.exec(sql.c_str())) != SQLITE_OK) return failed(rc);
    if ((rc = detail::commit_or_find(t, db, out.number, out.return_id)) != SQLITE_OK) return failed(rc);
    out.status = ReturnStatus::Done;
    return out;
}

int Journal::returnable_units(int64_t sale_id, std::vector<int>& out) {
    out.clear();
    Engine* db = core_.db;
    ReadSnapshot snapshot(core_);
    SaleHead head;
    if (read_head(db, sale_id, head) != SQLITE_OK) return -1;
    if (!head.found || head.kind != kKindSale) return 0;
    std::vector<int> units;
    RowsOfUnit rows;
    std::unordered_map<int, SRec> stored;
    if (units_of_sale(db, sale_id, units) != SQLITE_OK || rows_of(db, units, rows) != SQLITE_OK ||
        stored_units(core_, units, stored) != SQLITE_OK)
        return -1;
    for (int u : units) {
        const auto rit = rows.find(u);
        const auto sit = stored.find(u);
        if (judge(sale_id, rit == rows.end() ? nullptr : &rit->second,
                  sit == stored.end() ? nullptr : &sit->second)
                .what == Verdict::Returnable)
            out.push_back(u);
    }
    return 1;
}

int Journal::open_returnable(int64_t sale_id, SaleDetail& out) {
    SaleDetail d;
    std::vector<int> left;
    // One snapshot for both, so the lines and what is left of them agree.
    ReadSnapshot snapshot(core_);
    const int found = open_sale(sale_id, d);
    if (found != 1) return found;
    if (d.sale.kind != kKindSale) return 0;
    if (returnable_units(sale_id, left) != 1) return -1;
    const std::unordered_set<int> can(left.begin(), left.end());
    std::vector<SaleLine> lines;
    for (SaleLine& l : d.lines) {
        std::vector<int> keep;
        for (int u : l.units)
            if (can.count(u)) keep.push_back(u);
        if (keep.empty()) continue;
        l.quantity = static_cast<int>(keep.size());
        l.amount = l.price * l.quantity;
        l.units = std::move(keep);
        lines.push_back(std::move(l));
    }
    d.lines = std::move(lines);
    out = std::move(d);
    return 1;
}

} // namespace vorn
