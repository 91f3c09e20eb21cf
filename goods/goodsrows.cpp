#include "goodsrows.h"

#include <unordered_map>

namespace vorn::ui {

GoodsTotals sumGoods(const std::vector<vorn::SRec>& rows) {
    GoodsTotals t;
    for (const vorn::SRec& r : rows) {
        t.ori += r.FSd_OriP;
        t.ret += r.FSd_RetP;
        t.rea += r.FSd_ReaP;
    }
    return t;
}

void applyGoodsTemplate(vorn::SRec& unit, const vorn::SRec& tmpl) {
    unit.FSs_Code = tmpl.FSs_Code;
    unit.FSs_Name = tmpl.FSs_Name;
    unit.FSi_Type = tmpl.FSi_Type;
    unit.FSs_Size = tmpl.FSs_Size;
    unit.FSd_OriP = tmpl.FSd_OriP;
    unit.FSd_RetP = tmpl.FSd_RetP;
    unit.FSd_MemP = tmpl.FSd_MemP;
    unit.FSd_GolP = tmpl.FSd_GolP;
    unit.FSd_WhoP = tmpl.FSd_WhoP;
    unit.FSd_SpeP = tmpl.FSd_SpeP;
    unit.FSi_Supplier = tmpl.FSi_Supplier;
    unit.FSs_Remark = tmpl.FSs_Remark;
}

int applyEditedUnits(std::vector<vorn::SRec>& rows, const std::vector<int>& where,
                     const std::vector<vorn::SRec>& edited) {
    int changed = 0;
    std::unordered_map<int, size_t> strays; // unit id -> position in edited
    for (size_t k = 0; k < edited.size(); ++k) {
        const int at = k < where.size() ? where[k] : -1;
        if (at >= 0 && static_cast<size_t>(at) < rows.size() && rows[at].FSi_Id == edited[k].FSi_Id) {
            rows[at] = edited[k];
            ++changed;
        } else {
            strays.emplace(edited[k].FSi_Id, k);
        }
    }
    if (strays.empty()) return changed;
    for (vorn::SRec& row : rows) {
        auto it = strays.find(row.FSi_Id);
        if (it == strays.end()) continue;
        row = edited[it->second];
        ++changed;
    }
    return changed;
}

int removeGoodsRows(std::vector<vorn::SRec>& rows, const std::vector<int>& indices) {
    std::vector<char> gone(rows.size(), 0);
    int count = 0;
    for (int i : indices) {
        if (i < 0 || static_cast<size_t>(i) >= rows.size() || gone[i]) continue;
        gone[i] = 1;
        ++count;
    }
    if (count == 0) return 0;
    size_t kept = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (gone[i]) continue;
        if (kept != i) rows[kept] = std::move(rows[i]);
        ++kept;
    }
    rows.resize(kept);
    return count;
}

} // namespace vorn::ui
