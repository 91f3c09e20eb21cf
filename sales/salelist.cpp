#include "salelist.h"

#include <algorithm>

#include "kit/text/gbk.h"
#include "pricing.h"

namespace vorn::ui {

SaleRow::SaleRow(std::vector<vorn::SRec> units, QString typeName)
    : units_(std::move(units)), type_(std::move(typeName)) {
    if (units_.empty()) units_.emplace_back(); // never made so; keeps first() safe
    const vorn::SRec& u = units_.front();
    code_ = fromGbk(u.FSs_Code);
    name_ = fromGbk(u.FSs_Name);
    size_ = fromGbk(u.FSs_Size);
    recount();
}

void SaleRow::recount() {
    const vorn::SRec& u = units_.front();
    retail_ = toTenths(u.FSd_RetP);
    price_ = toTenths(u.FSd_ReaP);
    discount_ = 0;
    amount_ = 0;
    // Units of one code nearly always share their prices: round each distinct
    // price once, not once per unit.
    double lastRet = u.FSd_RetP, lastRea = u.FSd_ReaP;
    int64_t ret = retail_, rea = price_;
    for (const vorn::SRec& x : units_) {
        if (x.FSd_RetP != lastRet) ret = toTenths(lastRet = x.FSd_RetP);
        if (x.FSd_ReaP != lastRea) rea = toTenths(lastRea = x.FSd_ReaP);
        amount_ += rea;
        discount_ += rea - ret;
    }
}

void SaleList::addRow(SaleRow row) {
    rows_.push_back(std::move(row));
}

void SaleList::replaceRow(int pos, SaleRow row) {
    if (pos >= 0 && pos < rowCount()) rows_[static_cast<size_t>(pos)] = std::move(row);
}

int SaleList::removeRows(std::vector<int> positions) {
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    int removed = 0;
    // From the back, so the positions still ahead stay valid.
    for (auto p = positions.rbegin(); p != positions.rend(); ++p) {
        if (*p < 0 || *p >= rowCount()) continue;
        rows_.erase(rows_.begin() + *p);
        ++removed;
    }
    // An emptied list starts the next customer's sale: nothing was allowed for it.
    if (rows_.empty()) approver_.clear();
    return removed;
}

int SaleList::removeUnits(const std::vector<int>& ids) {
    int found = 0;
    std::vector<SaleRow> kept;
    for (SaleRow& r : rows_) {
        std::vector<vorn::SRec> units;
        for (const vorn::SRec& u : r.units())
            if (u.FSi_Id != 0 && std::find(ids.begin(), ids.end(), u.FSi_Id) != ids.end())
                ++found;
            else
                units.push_back(u);
        if (units.size() == r.units().size())
            kept.push_back(std::move(r));
        else if (!units.empty())
            kept.emplace_back(std::move(units), r.typeName());
    }
    rows_ = std::move(kept);
    if (rows_.empty()) approver_.clear();
    return found;
}

void SaleList::clear() {
    std::vector<SaleRow>().swap(rows_);
    approver_.clear();
}

int SaleList::quantityOf(const std::string& code) const {
    int n = 0;
    for (const SaleRow& r : rows_)
        if (r.first().FSs_Code == code) n += r.quantity();
    return n;
}

void SaleList::recount() {
    SaleTotals t;
    for (const SaleRow& r : rows_) {
        t.quantity += r.quantity();
        t.retail += r.retailTenths();
        t.price += r.priceTenths();
        t.discount += r.discountTenths();
        t.amount += r.amountTenths();
    }
    totals_ = t;
}

void SaleList::applyMemberPrices(int memberType) {
    if (!hasMemberPrice(memberType)) return;
    for (SaleRow& r : rows_)
        r.reprice([memberType](const vorn::SRec& u) { return addedPrice(u, memberType); });
}

void SaleList::applyPreset(const std::vector<int>& positions, int index) {
    for (int p : positions)
        if (p >= 0 && p < rowCount())
            rows_[static_cast<size_t>(p)].reprice([index](const vorn::SRec& u) { return presetPrice(u, index); });
}

void SaleList::applyRate(const std::vector<int>& positions, double factor) {
    for (int p : positions)
        if (p >= 0 && p < rowCount())
            rows_[static_cast<size_t>(p)].reprice(
                [factor](const vorn::SRec& u) { return ratePrice(factor, u.FSd_RetP); });
}

std::vector<ReceiptLine> SaleList::receiptLines() const {
    std::vector<ReceiptLine> lines;
    lines.reserve(rows_.size());
    for (const SaleRow& r : rows_) {
        ReceiptLine l;
        l.name = r.name();
        l.quantity = r.quantity();
        l.price = tenthsValue(r.priceTenths());
        l.discount = tenthsValue(r.discountTenths());
        l.amount = tenthsValue(r.amountTenths());
        lines.push_back(std::move(l));
    }
    return lines;
}

} // namespace vorn::ui
