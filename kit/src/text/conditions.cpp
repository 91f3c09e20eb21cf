#include "kit/text/conditions.h"

#include "kit/text/gbk.h"
#include "vorn/sqltext.h"

namespace vorn::ui {

bool appendTextClause(std::string& out, const char* column, const QString& text) {
    std::string bytes;
    if (!toGbk(text, bytes)) return false;
    out += column;
    out += "='";
    out += vorn::sql_escape(bytes);
    out += "' AND ";
    return true;
}

void appendChoiceClause(std::string& out, const char* column, const QString& chosen,
                        std::span<const ChoiceValue> choices) {
    if (chosen.isEmpty()) return;
    int value = -1;
    for (const ChoiceValue& c : choices)
        if (c.text == chosen) {
            value = c.value;
            break;
        }
    out += column;
    out += "=" + std::to_string(value) + " AND ";
}

QString choiceText(std::span<const ChoiceValue> choices, int value) {
    for (const ChoiceValue& c : choices)
        if (c.value == value) return c.text;
    return QStringLiteral("Err");
}

QStringList choiceNames(std::span<const ChoiceValue> choices) {
    QStringList names;
    for (const ChoiceValue& c : choices)
        names << c.text;
    return names;
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

void finishCondition(std::string& cond) {
    if (cond.size() > 5) cond.resize(cond.size() - 5);
}

std::string sortClauseOf(std::span<const RecordColumn> columns, int column, bool ascending) {
    if (column < 0) {
        column = 0;
        ascending = true;
    }
    if (static_cast<size_t>(column) >= columns.size() || columns[static_cast<size_t>(column)].sortKey == nullptr)
        return {};
    std::string clause = " ORDER BY ";
    clause += columns[static_cast<size_t>(column)].sortKey;
    clause += ascending ? " ASC" : " DESC";
    return clause;
}

std::string queryText(const std::string& condition, const std::string& sortClause) {
    return (condition.empty() ? std::string("1 ") : condition) + sortClause;
}

} // namespace vorn::ui
