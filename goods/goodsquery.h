// The goods search without widgets: the condition built from the ribbon's inputs,
// the ordering clause of a header click, and the count-then-select load of the
// matching units. The page calls these, and so can a benchmark or a test.
#pragma once

#include <QDate>
#include <QString>
#include <string>
#include <vector>

#include "vorn/core.h"
#include "vorn/records.h"

namespace vorn::ui {

// The search inputs as the user left them. Texts as typed (empty = no clause);
// a span counts when either of its dates is valid.
struct GoodsSearch {
    QString code;
    QString name;
    QString type; // text of the type combo box
    QString size;
    QString state; // text of the state combo box
    QDate stockFrom, stockTo;
    QDate saleFrom, saleTo;
};

// The WHERE text of the inputs: clauses in the fixed order code, name, type,
// size, state, stock time, sale time, joined by " AND ". User text is quoted
// with vorn::sql_escape. False (and out empty) when a text holds a character
// that GBK cannot represent; no stored unit could match it.
bool buildGoodsCondition(const GoodsSearch& in, const std::vector<vorn::TRec>& types, std::string& out);

// " ORDER BY <key> ASC" or " DESC" for a list column 0 to 10; a negative column
// means no column is sorted, which orders by the code ascending. Empty for a
// column that cannot be sorted (remark and beyond).
std::string goodsSortClause(int column, bool ascending);

// The text handed to the store: the condition, or "1 " for an empty one so that
// everything is listed, followed by the sort clause.
std::string goodsQueryText(const std::string& condition, const std::string& sortClause);

// Counts the units of the condition and selects them in the order of the sort
// clause into out (replacing its contents). Returns the number of units loaded;
// 0 for none; -1 when the store failed, with out left empty. The count goes
// without the sort clause: the number is the same, and ordering a whole shop
// only to count it would double the time of a sorted listing. Touches no widget,
// so it may run on the busy window's worker.
int loadGoods(vorn::Core& core, const std::string& condition, const std::string& sortClause,
              std::vector<vorn::SRec>& out);

} // namespace vorn::ui
