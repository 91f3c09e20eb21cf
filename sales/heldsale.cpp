#include "heldsale.h"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <unordered_set>

#include "kit/text/gbk.h"
#include "pricing.h"
#include "salecounter.h"

namespace vorn::ui {

vorn::HeldSale heldSaleOf(const SaleList& list, const vorn::VIPRec* member, const std::string& cashier,
                          int64_t time) {
    vorn::HeldSale s;
    s.time = time;
    s.cashier = cashier;
    if (member != nullptr) {
        s.member_id = member->FVi_Id;
        s.member_code = member->FVs_Code;
        s.member_name = member->FVs_Name;
    }
    for (int r = 0; r < list.rowCount(); ++r)
        for (const vorn::SRec& u : list.rows()[static_cast<size_t>(r)].units()) {
            s.lines.push_back({u.FSi_Id, u.FSs_Code, r, toTenths(u.FSd_ReaP)});
            s.due += s.lines.back().price;
        }
    s.units = static_cast<int>(s.lines.size());
    // The discount's approval goes and comes back with the prices it allowed.
    s.approver = list.approver();
    return s;
}

namespace {

const std::string& typeNameOf(const std::vector<vorn::TRec>& types, int id) {
    static const std::string none;
    for (const vorn::TRec& t : types)
        if (t.FTi_Id == id) return t.FTs_Name;
    return types.empty() ? none : types.front().FTs_Name;
}

bool selectUnits(vorn::Core& core, const std::string& cond, std::vector<vorn::SRec>& out) {
    const int n = core.get_srec_count(cond.c_str());
    if (n < 0) return false;
    out.assign(static_cast<size_t>(n), vorn::SRec());
    const int got = n == 0 ? 0 : core.select_srec(out.data(), cond.c_str());
    if (got < 0) return false;
    out.resize(static_cast<size_t>(got));
    return true;
}

} // namespace

std::string enteredRemark() { return "\xca\xd5\xd2\xf8\xcc\xa8\xb2\xb9\xc2\xbc"; } // 收银台补录

bool enteredUnit(vorn::Core& core, const std::string& code, int64_t time, vorn::SRec& out) {
    vorn::SRec latest;
    if (core.select_srec(&latest, (codeCondition(code) + " ORDER BY FSi_Id DESC LIMIT 1").c_str()) != 1)
        return false;
    out = latest;
    out.FSi_Id = 0;
    out.FSi_Flag = 0;
    out.FSt_SalT = 0;
    out.FSt_StoT = time;
    out.FSd_ReaP = out.FSd_RetP;
    out.FSs_Remark = enteredRemark();
    return true;
}

RecallOutcome recallInto(vorn::Core& core, const vorn::HeldSale& sale, SaleList& list,
                         const std::vector<vorn::TRec>& types, bool sellShort) {
    RecallOutcome out;
    // The parked units as the store has them now.
    std::string ids;
    std::unordered_set<int> own;
    std::map<std::string, int> perCode;
    for (const vorn::HeldUnit& u : sale.lines) {
        if (u.unit < 1) continue; // entered at the counter: never in the book
        ids += (ids.empty() ? "" : ",") + std::to_string(u.unit);
        own.insert(u.unit);
        ++perCode[u.code];
    }
    std::vector<vorn::SRec> stored;
    if (!ids.empty() && !selectUnits(core, "FSi_Id IN (" + ids + ")", stored)) {
        out.failed = true;
        return out;
    }
    std::unordered_map<int, const vorn::SRec*> byId;
    for (const vorn::SRec& u : stored)
        byId[u.FSi_Id] = &u;
    // Units listed already (the counter recalls into an empty list, but a
    // unit must never be in two rows).
    std::unordered_set<int> taken;
    for (const SaleRow& r : list.rows())
        for (const vorn::SRec& u : r.units())
            taken.insert(u.FSi_Id);

    // Stand-ins, read per code on first need: the lowest ids in stock, enough
    // to pass over the sale's own units and those listed.
    std::map<std::string, std::vector<vorn::SRec>> spare;
    const auto standIn = [&](const std::string& code, bool& failed) -> const vorn::SRec* {
        auto it = spare.find(code);
        if (it == spare.end()) {
            std::vector<vorn::SRec> units;
            const int n = 2 * perCode[code] + static_cast<int>(taken.size());
            if (!selectUnits(core, stockTakeCondition(code, n), units)) {
                failed = true;
                return nullptr;
            }
            it = spare.emplace(code, std::move(units)).first;
        }
        for (const vorn::SRec& u : it->second)
            if (!own.count(u.FSi_Id) && !taken.count(u.FSi_Id)) return &u;
        return nullptr;
    };

    std::map<int, std::vector<vorn::SRec>> rows; // by parked row, in order
    for (const vorn::HeldUnit& h : sale.lines) {
        auto found = byId.find(h.unit);
        const vorn::SRec* unit = nullptr;
        if (found != byId.end() && found->second->FSi_Flag == 0 && found->second->FSs_Code == h.code &&
            !taken.count(h.unit)) {
            unit = found->second;
        } else {
            bool failed = false;
            unit = standIn(h.code, failed);
            if (failed) {
                out.failed = true;
                return out;
            }
            vorn::SRec entered;
            if (unit == nullptr && sellShort && enteredUnit(core, h.code, sale.time, entered)) {
                entered.FSd_ReaP = tenthsValue(h.price);
                rows[h.row].push_back(std::move(entered));
                ++out.replaced;
                continue;
            }
            if (unit == nullptr) {
                out.dropped << fromGbk(h.code);
                continue;
            }
            ++out.replaced;
        }
        taken.insert(unit->FSi_Id);
        vorn::SRec copy = *unit;
        copy.FSd_ReaP = tenthsValue(h.price);
        rows[h.row].push_back(std::move(copy));
    }
    for (auto& [row, units] : rows) {
        QString typeName = fromGbk(typeNameOf(types, units.front().FSi_Type));
        out.units += static_cast<int>(units.size());
        list.addRow(SaleRow(std::move(units), std::move(typeName)));
    }
    list.recount();
    if (out.units > 0) list.setApprover(sale.approver);
    return out;
}

QString droppedText(const QStringList& dropped) {
    QStringList parts;
    QStringList seen;
    for (const QString& code : dropped) {
        if (seen.contains(code)) continue;
        seen << code;
        parts << QStringLiteral("\"%1\"%2件").arg(code).arg(dropped.count(code));
    }
    return parts.join(QStringLiteral("、"));
}

} // namespace vorn::ui
