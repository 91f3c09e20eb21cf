// Parking the shopping list (挂单) and bringing a parked one back (取单),
// without widgets. A parked sale keeps, per unit, the row it was on and the
// price it was to be sold at, so a recalled list shows the same rows with the
// same discounts. Its units stayed in stock meanwhile and may have been sold
// by another sale: a recall checks every unit again, as checkout would, takes
// another unit of the code in stock for one that is gone, and drops it when the
// code has none left.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <string>
#include <vector>

#include "salelist.h"
#include "vorn/core.h"
#include "vorn/heldsales.h"

namespace vorn::ui {

// What the list holds, as it is parked: every unit in list order with its row
// and price; the member (null: none), the cashier and the time.
vorn::HeldSale heldSaleOf(const SaleList& list, const vorn::VIPRec* member, const std::string& cashier,
                          int64_t time);

struct RecallOutcome {
    bool failed = false;  // the store could not be read; the list is untouched
    int units = 0;        // units in the list now
    int replaced = 0;     // of those, units taken instead of one that is gone
    QStringList dropped;  // one code per unit gone with none of its code in stock
};

// Fills the (empty) list with the parked sale's rows, units checked against
// the store: a unit still in stock is taken as parked; one no longer in stock
// is replaced by the lowest in-stock unit of its code that no row holds and
// the sale does not hold itself, at the parked price; with none, it is dropped.
// With sellShort, a unit that has no stand-in is entered at the counter again
// (enteredUnit) instead of dropped.
RecallOutcome recallInto(vorn::Core& core, const vorn::HeldSale& sale, SaleList& list,
                         const std::vector<vorn::TRec>& types, bool sellShort = false);

// A unit the book lacks, entered at the counter: a copy of the code's most
// recent unit (its prices, name, type, supplier), FSi_Id 0 until checkout
// stores it, in stock, entered now, its remark saying where it came from.
// False when the code has no unit at all (or the store could not say).
bool enteredUnit(vorn::Core& core, const std::string& code, int64_t time, vorn::SRec& out);
// The remark of such a unit, GBK: 收银台补录.
std::string enteredRemark();

// The dropped codes for a message: each once with its count, "\"A\"2件、\"B\"1件".
QString droppedText(const QStringList& dropped);

} // namespace vorn::ui
