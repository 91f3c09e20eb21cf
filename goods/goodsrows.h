// Work on the loaded goods rows that the goods page, its editing panel and the
// delete command share: totals for the footer, an edit applied to the rows it
// concerns, and rows taken out after a delete, all without a reload.
#pragma once

#include <vector>

#include "vorn/records.h"

namespace vorn::ui {

// Sums of purchase, retail and real price, added as doubles in row order.
struct GoodsTotals {
    double ori = 0.0;
    double ret = 0.0;
    double rea = 0.0;
};
GoodsTotals sumGoods(const std::vector<vorn::SRec>& rows);

// What an edit writes into a unit: code, name, type, size, the six prices,
// supplier and remark. Id, stock time, real price, sale time and state stay.
void applyGoodsTemplate(vorn::SRec& unit, const vorn::SRec& tmpl);

// Brings the loaded rows in line with units just written: each edited unit
// replaces the loaded row with its id. `where` holds the row each unit was taken
// from, tried first; a reload in between (a new sort) may have moved it, and
// then the row is found by id. Returns the number of rows changed.
int applyEditedUnits(std::vector<vorn::SRec>& rows, const std::vector<int>& where,
                     const std::vector<vorn::SRec>& edited);

// Takes out the rows at the given indices (any order, duplicates and indices out
// of range ignored), keeping the others in their order. Returns how many went.
int removeGoodsRows(std::vector<vorn::SRec>& rows, const std::vector<int>& indices);

} // namespace vorn::ui
