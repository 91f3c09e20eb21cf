// Work on the loaded goods rows that the goods page, its editing panel and the
// delete command share: totals for the footer, an edit applied to the rows it
// concerns, and rows taken out after a delete, all without a reload.
#pragma once

#include <vector>

#include "kit/page/recordrows.h"
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

// The panel's and the delete's row work, kit's generic under the old names.
inline int applyEditedUnits(std::vector<vorn::SRec>& rows, const std::vector<int>& where, const std::vector<vorn::SRec>& edited) {
    return applyEdited(rows, where, edited);
}
inline int removeGoodsRows(std::vector<vorn::SRec>& rows, const std::vector<int>& indices) { return removeRows(rows, indices); }

} // namespace vorn::ui
