#include "goodsrows.h"

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

} // namespace vorn::ui
