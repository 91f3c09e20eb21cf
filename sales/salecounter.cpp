#include "salecounter.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <unordered_set>

#include "kit/text/gbk.h"
#include "kit/text/integertext.h"
#include "pricing.h"
#include "vorn/shifts.h"
#include "vorn/sqltext.h"
#include "vorn/transaction.h"

namespace vorn::ui {

std::string codeCondition(const std::string& code) {
    return "FSs_Code='" + vorn::sql_escape(code) + "'";
}

std::string stockCondition(const std::string& code) {
    return "FSi_Flag=0 AND " + codeCondition(code);
}

std::string stockTakeCondition(const std::string& code, int n) {
    return stockCondition(code) + " ORDER BY FSi_Id LIMIT " + std::to_string(n);
}

std::string memberCondition(const std::string& code) {
    return "FVs_Code='" + vorn::sql_escape(code) + "'";
}

std::string firstMemberCondition(const std::string& code) {
    return memberCondition(code) + " ORDER BY FVi_Id LIMIT 1";
}

int parseQuantity(const QString& text) { return readInteger(text).value; }

namespace {

const std::string& typeNameOf(const std::vector<vorn::TRec>& types, int id) {
    static const std::string none;
    for (const vorn::TRec& t : types)
        if (t.FTi_Id == id) return t.FTs_Name;
    return types.empty() ? none : types.front().FTs_Name;
}

} // namespace

AddOutcome addToList(vorn::Core& core, SaleList& list, const std::string& code, int quantity, int memberType,
                     const std::vector<vorn::TRec>& types) {
    AddOutcome out;
    std::unordered_set<int> held;
    for (const SaleRow& r : list.rows())
        if (r.first().FSs_Code == code)
            for (const vorn::SRec& u : r.units())
                held.insert(u.FSi_Id);
    const long long wanted = static_cast<long long>(held.size()) + quantity;
    if (quantity < 1 || wanted > 100'000'000) {
        out.status = AddStatus::TooFew;
        return out;
    }
    // The list holds at most M units of the code, so among the M + Q lowest ids
    // in stock at least Q are free whenever the stock suffices.
    const int n = static_cast<int>(wanted);
    std::vector<vorn::SRec> units(static_cast<size_t>(n));
    const int got = core.select_srec(units.data(), stockTakeCondition(code, n).c_str());
    if (got <= 0 && core.get_srec_count(codeCondition(code).c_str()) < 1) {
        out.status = AddStatus::NoSuchCode;
        return out;
    }
    // The free units: those no row holds yet. After a row of the code was removed
    // they need not follow the listed ones.
    units.resize(static_cast<size_t>(std::max(got, 0)));
    units.erase(std::remove_if(units.begin(), units.end(),
                               [&held](const vorn::SRec& u) { return held.count(u.FSi_Id) != 0; }),
                units.end());
    if (static_cast<int>(units.size()) < quantity) {
        // Fewer than asked came back, so they are the whole stock.
        out.status = AddStatus::TooFew;
        out.left = static_cast<int>(units.size());
        return out;
    }
    units.resize(static_cast<size_t>(quantity));
    for (vorn::SRec& u : units)
        u.FSd_ReaP = addedPrice(u, memberType);
    for (std::vector<vorn::SRec>& group : splitByPrice(std::move(units))) {
        QString typeName = fromGbk(typeNameOf(types, group.front().FSi_Type));
        list.addRow(SaleRow(std::move(group), std::move(typeName)));
        ++out.rows;
    }
    out.status = AddStatus::Added;
    return out;
}

std::vector<std::vector<vorn::SRec>> splitByPrice(std::vector<vorn::SRec> units) {
    const auto levels = [](const vorn::SRec& u) {
        return std::make_tuple(u.FSd_RetP, u.FSd_MemP, u.FSd_GolP, u.FSd_WhoP, u.FSd_SpeP);
    };
    std::vector<std::vector<vorn::SRec>> groups;
    for (vorn::SRec& u : units) {
        // A code has one or two prices in stock at a time, so a scan of the
        // groups made so far is all the lookup this needs.
        auto g = std::find_if(groups.begin(), groups.end(), [&](const std::vector<vorn::SRec>& x) {
            return levels(x.front()) == levels(u);
        });
        if (g == groups.end()) {
            groups.emplace_back();
            g = groups.end() - 1;
        }
        g->push_back(std::move(u));
    }
    return groups;
}

int creditedPoints(int before, int points) {
    const int64_t sum = static_cast<int64_t>(before) + points;
    return static_cast<int>(std::clamp<int64_t>(sum, 0, kMaxPoints));
}

namespace {

// The member's record as stored, and whether the store takes its update: asked
// inside the sale's transaction before the journal credits the points, so that
// a sale refused for its points says so (the journal's own failure does not
// tell which of its writes failed).
bool memberWritable(vorn::Core& core, const vorn::VIPRec& member) {
    const std::string same = "FVi_Id=" + std::to_string(member.FVi_Id);
    vorn::VIPRec stored;
    if (core.get_viprec_count(same.c_str()) != 1 || core.select_viprec(&stored, same.c_str()) != 1)
        return false;
    return core.update_viprec(&stored, 1) == 1;
}

} // namespace

SaleWrite writeSale(vorn::Core& core, SaleList& list, int64_t t, const SaleParty& party, int64_t dueTenths,
                    std::vector<ReceiptLine>& lines) {
    SaleWrite out;
    if (list.empty()) return out;
    vorn::CheckoutRequest request;
    // Units entered at the counter (not in the book: no id yet) are stored and
    // sold by the same checkout.
    std::vector<vorn::SRec> entered;
    for (const SaleRow& r : list.rows())
        for (const vorn::SRec& u : r.units()) {
            std::vector<vorn::SRec>& to = u.FSi_Id == 0 ? entered : request.units;
            to.push_back(u);
            to.back().FSi_Flag = 1;
            to.back().FSt_SalT = t;
        }
    request.cashier = party.cashier;
    request.payments = party.payments;
    request.approver = list.approver();
    const vorn::VIPRec* member = party.member;
    if (member != nullptr) {
        out.credit.earned = pointsFor(dueTenths);
        request.member_id = member->FVi_Id;
        request.member_code = member->FVs_Code;
        request.points = out.credit.earned;
        request.points_cap = kMaxPoints;
    }

    // The sale belongs to the cashier's shift, opened at the first sale with
    // the usual float; a shift the store cannot open does not stop the sale.
    request.shift = std::max<int64_t>(vorn::Shifts(core).open_shift(party.cashier, t), 0);

    // The journal's checkout joins this transaction; leaving without commit
    // rolls all of it back.
    vorn::Transaction write(core);
    if (!write.active()) {
        out.sold = kSoldFailed;
        return out;
    }
    if (member != nullptr && !memberWritable(core, *member)) {
        out.sold = kSoldPointsFailed;
        return out;
    }
    const vorn::CheckoutResult res = vorn::Journal(core).checkout_short(request, entered);
    out.number = res.number;
    switch (res.status) {
    case vorn::CheckoutStatus::Done:
        break;
    case vorn::CheckoutStatus::Missing:
        out.sold = kSoldMissing;
        out.goneIds = res.gone_ids;
        out.goneCodes = res.gone_codes;
        return out;
    case vorn::CheckoutStatus::Invalid:
    case vorn::CheckoutStatus::Failed:
        out.sold = kSoldFailed;
        out.rc = res.rc;
        return out;
    }
    if (member != nullptr && !res.member_found) {
        out.sold = kSoldPointsFailed;
        return out;
    }
    if (int rc = write.commit(); rc != 0) {
        out.sold = kSoldFailed;
        out.rc = rc;
        return out;
    }
    out.sold = static_cast<int>(request.units.size() + entered.size());
    out.saleId = res.sale_id;
    out.change = res.change;
    if (member != nullptr) {
        out.credit.stored = true;
        out.credit.credited = res.points_credited;
        out.credit.balance = res.balance;
    }
    lines = list.receiptLines();
    list.clear();
    list.recount();
    return out;
}

int replaceGone(vorn::Core& core, SaleList& list, const SaleWrite& write, int memberType,
                const std::vector<vorn::TRec>& types) {
    list.removeUnits(write.goneIds);
    std::map<std::string, int> wanted;
    for (const std::string& code : write.goneCodes)
        ++wanted[code];
    int back = 0;
    for (const auto& [code, n] : wanted) {
        AddOutcome o = addToList(core, list, code, n, memberType, types);
        int added = n;
        if (o.status == AddStatus::TooFew && o.left > 0) {
            added = o.left;
            o = addToList(core, list, code, o.left, memberType, types);
        }
        if (o.status == AddStatus::Added) back += added;
    }
    list.recount();
    return back;
}

} // namespace vorn::ui
