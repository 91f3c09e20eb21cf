#include "salecounter.h"

#include <algorithm>
#include <tuple>
#include <unordered_set>

#include "kit/gbk.h"
#include "pricing.h"
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

int parseQuantity(const QString& text) {
    int i = 0;
    const int n = static_cast<int>(text.size());
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t'))) ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) negative = text[i++] == QLatin1Char('-');
    long long v = 0;
    for (; i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        v = v * 10 + (text[i].unicode() - '0');
        if (v > 1'000'000'000) break; // far past the three digits the edit holds
    }
    return static_cast<int>(negative ? -v : v);
}

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
        auto g = std::find_if(groups.begin(), groups.end(),
                              [&](const std::vector<vorn::SRec>& x) { return levels(x.front()) == levels(u); });
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

PointsCredit creditPoints(vorn::Core& core, const vorn::VIPRec& member, int64_t dueTenths) {
    PointsCredit out;
    out.earned = pointsFor(dueTenths);
    // The stored record, so that the credit adds to the points the member has now.
    vorn::VIPRec stored = member;
    const std::string same = "FVi_Id=" + std::to_string(member.FVi_Id);
    const bool found = core.get_viprec_count(same.c_str()) == 1 && core.select_viprec(&stored, same.c_str()) == 1;
    const int before = stored.FVi_Grade;
    stored.FVi_Grade = creditedPoints(before, out.earned);
    // What the balance gained, and never more than the sale earned (a negative
    // balance, left by the old wrap-around, is lifted to 0 besides).
    const int64_t gained = static_cast<int64_t>(stored.FVi_Grade) - before;
    out.credited = static_cast<int>(std::clamp<int64_t>(gained, 0, std::max(out.earned, 0)));
    out.balance = stored.FVi_Grade;
    out.stored = found && core.update_viprec(&stored, 1) == 1;
    return out;
}

namespace {

// The units' part of the sale, inside the caller's transaction: kSoldMissing
// when a listed unit is gone from stock, kSoldFailed when the store refused.
int markSold(vorn::Core& core, const SaleList& list, int64_t t) {
    std::vector<vorn::SRec> sold;
    std::string ids;
    for (const SaleRow& r : list.rows())
        for (const vorn::SRec& u : r.units()) {
            sold.push_back(u);
            sold.back().FSi_Flag = 1;
            sold.back().FSt_SalT = t;
            if (!ids.empty()) ids += ',';
            ids += std::to_string(u.FSi_Id);
        }
    // An update of a unit that has gone (or was sold meanwhile from another
    // window on the same file) would succeed without selling anything, or sell
    // it twice: every listed unit must still be in stock.
    const int n = static_cast<int>(sold.size());
    const std::string inStock = "FSi_Flag=0 AND FSi_Id IN (" + ids + ")";
    const int present = core.get_srec_count(inStock.c_str());
    if (present < 0) return kSoldFailed;
    if (present != n) return kSoldMissing;
    const int written = core.update_srec(sold.data(), n);
    return written < 1 ? kSoldFailed : written;
}

} // namespace

SaleWrite writeSale(vorn::Core& core, SaleList& list, int64_t t, const vorn::VIPRec* member, int64_t dueTenths,
                    std::vector<ReceiptLine>& lines) {
    SaleWrite out;
    if (list.empty()) return out;
    // The units' batch and the member's update join this transaction; leaving
    // without commit rolls both back.
    vorn::Transaction write(core);
    if (!write.active()) {
        out.sold = kSoldFailed;
        return out;
    }
    const int written = markSold(core, list, t);
    if (written < 1) {
        out.sold = written;
        return out;
    }
    if (member != nullptr) {
        out.credit = creditPoints(core, *member, dueTenths);
        if (!out.credit.stored) {
            out.sold = kSoldPointsFailed;
            return out;
        }
    }
    if (write.commit() != 0) {
        out.sold = kSoldFailed;
        out.credit.stored = false;
        return out;
    }
    out.sold = written;
    lines = list.receiptLines();
    list.clear();
    list.recount();
    return out;
}

} // namespace vorn::ui
