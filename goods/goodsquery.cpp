#include "goodsquery.h"

#include "goodscells.h"
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
    if (!in.state.isEmpty()) {
        if (in.state == QStringLiteral("库存中"))
            cond += "FSi_Flag=0 AND ";
        else if (in.state == QStringLiteral("已销售"))
            cond += "FSi_Flag=1 AND ";
        else
            cond += "FSi_Flag=-1 AND ";
    }
    appendSpanClause(cond, "FSt_StoT", in.stockFrom, in.stockTo);
    appendSpanClause(cond, "FSt_SalT", in.saleFrom, in.saleTo);
    if (cond.size() > 5) cond.resize(cond.size() - 5); // the trailing " AND "
    out = std::move(cond);
    return true;
}

std::string goodsSortClause(int column, bool ascending) {
    if (column < 0) {
        column = ColCode;
        ascending = true;
    }
    if (column >= GoodsColumnCount || goodsColumn(column).sortKey == nullptr) return {};
    std::string clause = " ORDER BY ";
    clause += goodsColumn(column).sortKey;
    clause += ascending ? " ASC" : " DESC";
    return clause;
}

std::string goodsQueryText(const std::string& condition, const std::string& sortClause) {
    return (condition.empty() ? std::string("1 ") : condition) + sortClause;
}

int loadGoods(vorn::Core& core, const std::string& condition, const std::string& sortClause,
              std::vector<vorn::SRec>& out) {
    // The old rows go first: a full list of a big shop should not be held twice.
    out.clear();
    out.shrink_to_fit();
    return loadRows(core, out, goodsQueryText(condition, ""), sortClause);
}

} // namespace vorn::ui
