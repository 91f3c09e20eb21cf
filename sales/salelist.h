// The shopping list, without widgets: one row per addition, each backed by the
// in-stock units it will sell (its unit group). Nothing here touches the store
// until checkout; the units are copies, their FSd_ReaP the price to be charged.
#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "receiptdata.h"
#include "vorn/records.h"

namespace vorn::ui {

class SaleRow {
public:
    // Takes the unit group (one code, at least one unit, ascending FSi_Id) and the
    // name of its goods type.
    SaleRow(std::vector<vorn::SRec> units, QString typeName);

    const std::vector<vorn::SRec>& units() const { return units_; }
    const vorn::SRec& first() const { return units_.front(); }
    int quantity() const { return static_cast<int>(units_.size()); }

    // The shown texts, decoded once.
    const QString& code() const { return code_; }
    const QString& name() const { return name_; }
    const QString& typeName() const { return type_; }
    const QString& size() const { return size_; }

    // Money of the row in tenths. The unit prices are the first unit's; the
    // discount and the amount add up every unit of the group, so the row charges
    // exactly what checkout records for its units. The counter puts units of
    // different prices into rows of their own (splitByPrice), so on its rows the
    // amount is N x the unit price.
    int64_t retailTenths() const { return retail_; }
    int64_t priceTenths() const { return price_; }
    int64_t discountTenths() const { return discount_; }
    int64_t amountTenths() const { return amount_; }

    // Gives every unit of the group a new sale price: price(unit).
    template <class F> void reprice(F price) {
        for (vorn::SRec& u : units_)
            u.FSd_ReaP = price(static_cast<const vorn::SRec&>(u));
        recount();
    }

private:
    void recount();

    std::vector<vorn::SRec> units_;
    QString code_, name_, type_, size_;
    int64_t retail_ = 0, price_ = 0, discount_ = 0, amount_ = 0;
};

// The footers: unit quantity, and the sums of the four money columns in tenths
// (the two unit-price columns add the rows' unit prices, not price x N).
struct SaleTotals {
    int quantity = 0;
    int64_t retail = 0;
    int64_t price = 0;
    int64_t discount = 0;
    int64_t amount = 0; // the amount due
};

class SaleList {
public:
    const std::vector<SaleRow>& rows() const { return rows_; }
    int rowCount() const { return static_cast<int>(rows_.size()); }
    bool empty() const { return rows_.empty(); }

    void addRow(SaleRow row);
    // Puts row in place of the row at pos (a quantity changed from the keyboard).
    void replaceRow(int pos, SaleRow row);
    // Removes the rows at these positions (any order, duplicates and positions
    // past the end ignored); returns how many went.
    int removeRows(std::vector<int> positions);
    // Takes these units out of their rows (a row left without units goes);
    // returns how many were found.
    int removeUnits(const std::vector<int>& ids);
    void clear();

    // Units of the code (GBK bytes, compared exactly) the list holds already.
    int quantityOf(const std::string& code) const;

    // Recomputes the footers and the amount due from the rows.
    void recount();
    const SaleTotals& totals() const { return totals_; }

    // Member discount: every unit of every row gets the member's price; a type
    // with no price of its own leaves the prices alone.
    void applyMemberPrices(int memberType);
    // Goods discount on the rows at these positions: preset level index, or
    // factor x each unit's own retail price rounded to one decimal.
    void applyPreset(const std::vector<int>& positions, int index);
    void applyRate(const std::vector<int>& positions, double factor);

    // One receipt line per row, in the order the rows were added.
    std::vector<ReceiptLine> receiptLines() const;

    // Who allowed a discount beyond the cashier's own (FUs_Name, GBK); emptied with the list.
    const std::string& approver() const { return approver_; }
    void setApprover(std::string name) { approver_ = std::move(name); }

private:
    std::vector<SaleRow> rows_;
    std::string approver_;
    SaleTotals totals_;
};

} // namespace vorn::ui
