#include "memberquery.h"

#include "membercells.h"
#include "kit/gbk.h"
#include "kit/listloader.h"
#include "vorn/sqltext.h"

namespace vorn::ui {

namespace {

// "<column>='<escaped text>' AND "; false when the text cannot be put into GBK.
bool appendTextClause(std::string& out, const char* column, const QString& text) {
    std::string bytes;
    if (!toGbk(text, bytes)) return false;
    out += column;
    out += "='";
    out += vorn::sql_escape(bytes);
    out += "' AND ";
    return true;
}

void appendSpanClause(std::string& out, const char* column, const QDate& from, const QDate& to) {
    if (!from.isValid() && !to.isValid()) return;
    // A half-set span cannot come from the date span dialog; read it as one day.
    const QDate start = from.isValid() ? from : to;
    const QDate end = to.isValid() ? to : from;
    const std::string a = start.toString(QStringLiteral("yyyy-MM-dd")).toStdString();
    const std::string b = end.toString(QStringLiteral("yyyy-MM-dd")).toStdString();
    out += column;
    out += ">='" + a + " 00:00:00' AND ";
    out += column;
    out += "<='" + b + " 23:59:59' AND ";
}

} // namespace

bool buildMemberCondition(const MemberSearch& in, std::string& out) {
    out.clear();
    std::string cond;
    if (!in.code.isEmpty() && !appendTextClause(cond, "FVs_Code", in.code)) return false;
    if (!in.type.isEmpty()) {
        if (in.type == vipTypeText(0))
            cond += "FVi_Type=0 AND ";
        else if (in.type == vipTypeText(1))
            cond += "FVi_Type=1 AND ";
        else
            cond += "FVi_Type=-1 AND ";
    }
    if (!in.name.isEmpty() && !appendTextClause(cond, "FVs_Name", in.name)) return false;
    appendSpanClause(cond, "FVt_CreT", in.createdFrom, in.createdTo);
    if (cond.size() > 5) cond.resize(cond.size() - 5); // the trailing " AND "
    out = std::move(cond);
    return true;
}

std::string memberSortClause(int column, bool ascending) {
    if (column < 0) {
        column = MColCode;
        ascending = true;
    }
    if (column >= MemberColumnCount || memberColumn(column).sortKey == nullptr) return {};
    std::string clause = " ORDER BY ";
    clause += memberColumn(column).sortKey;
    clause += ascending ? " ASC" : " DESC";
    return clause;
}

std::string memberQueryText(const std::string& condition, const std::string& sortClause) {
    return (condition.empty() ? std::string("1 ") : condition) + sortClause;
}

int loadMembers(vorn::Core& core, const std::string& condition, const std::string& sortClause,
                std::vector<vorn::VIPRec>& out) {
    // The old rows go first: a full list of a big shop should not be held twice.
    out.clear();
    out.shrink_to_fit();
    return loadRows(core, out, memberQueryText(condition, ""), sortClause);
}

std::string memberCodeCondition(const std::string& gbkCode) {
    return "FVs_Code='" + vorn::sql_escape(gbkCode) + "'";
}

} // namespace vorn::ui
