#include "memberquery.h"

#include "membercells.h"
#include "kit/text/gbk.h"
#include "vorn/sqltext.h"

namespace vorn::ui {

bool buildMemberCondition(const MemberSearch& in, std::string& out) {
    out.clear();
    std::string cond;
    if (!in.code.isEmpty() && !appendTextClause(cond, "FVs_Code", in.code)) return false;
    appendChoiceClause(cond, "FVi_Type", in.type, vipTypes());
    if (!in.name.isEmpty() && !appendTextClause(cond, "FVs_Name", in.name)) return false;
    appendSpanClause(cond, "FVt_CreT", in.createdFrom, in.createdTo);
    finishCondition(cond);
    out = std::move(cond);
    return true;
}

std::string memberCodeCondition(const std::string& gbkCode) {
    return "FVs_Code='" + vorn::sql_escape(gbkCode) + "'";
}

} // namespace vorn::ui
