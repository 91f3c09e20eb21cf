#include "memberquery.h"

#include "membercells.h"
#include "kit/text/conditions.h"
#include "kit/text/gbk.h"
#include "vorn/sqltext.h"

namespace vorn::ui {

bool buildMemberCondition(const MemberSearch& in, std::string& out) {
    out.clear();
    std::string cond;
    if (!in.code.isEmpty() && !appendTextClause(cond, "FVs_Code", in.code)) return false;
    const ChoiceValue types[] = {{vipTypeText(0), 0}, {vipTypeText(1), 1}};
    appendChoiceClause(cond, "FVi_Type", in.type, types);
    if (!in.name.isEmpty() && !appendTextClause(cond, "FVs_Name", in.name)) return false;
    appendSpanClause(cond, "FVt_CreT", in.createdFrom, in.createdTo);
    finishCondition(cond);
    out = std::move(cond);
    return true;
}

std::string memberSortClause(int column, bool ascending) {
    return sortClauseOf(memberColumns(), column, ascending);
}

std::string memberQueryText(const std::string& condition, const std::string& sortClause) {
    return queryText(condition, sortClause);
}

int loadMembers(vorn::Core& core, const std::string& condition, const std::string& sortClause,
                std::vector<vorn::VIPRec>& out) {
    return loadQueried(core, condition, sortClause, out);
}

std::string memberCodeCondition(const std::string& gbkCode) {
    return "FVs_Code='" + vorn::sql_escape(gbkCode) + "'";
}

} // namespace vorn::ui
