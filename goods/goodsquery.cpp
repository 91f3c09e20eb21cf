#include "goodsquery.h"

#include "goodscells.h"
#include "kit/text/gbk.h"
#include "vorn/sqltext.h"

namespace vorn::ui {

bool buildGoodsCondition(const GoodsSearch& in, const std::vector<vorn::TRec>& types, std::string& out) {
    out.clear();
    std::string cond;
    if (!in.code.isEmpty() && !appendTextClause(cond, "FSs_Code", in.code)) return false;
    if (!in.name.isEmpty() && !appendTextClause(cond, "FSs_Name", in.name)) return false;
    if (!in.type.isEmpty()) {
        std::string bytes;
        // A name no type has (or cannot have) searches for type -1 and finds nothing.
        const int id = toGbk(in.type, bytes) ? typeIdByName(types, bytes, -1) : -1;
        cond += "FSi_Type=" + std::to_string(id) + " AND ";
    }
    if (!in.size.isEmpty() && !appendTextClause(cond, "FSs_Size", in.size)) return false;
    appendChoiceClause(cond, "FSi_Flag", in.state, goodsStates().first(3));
    appendSpanClause(cond, "FSt_StoT", in.stockFrom, in.stockTo);
    appendSpanClause(cond, "FSt_SalT", in.saleFrom, in.saleTo);
    finishCondition(cond);
    out = std::move(cond);
    return true;
}

} // namespace vorn::ui
