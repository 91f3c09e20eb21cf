// The goods search without widgets: the condition built from the ribbon's
// inputs. The page calls it, and so can a benchmark or a test.
#pragma once

#include <QDate>
#include <QString>
#include <string>
#include <vector>

#include "kit/text/conditions.h"
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

// The sort clause of a header click is sortClauseOf(goodsColumns(), ...), and
// the page loads the units with loadQueried (kit/text/conditions.h).

} // namespace vorn::ui
