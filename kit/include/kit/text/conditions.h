// The pieces a page's search condition and ordering are made of: clauses of
// typed text and of date spans, the ORDER BY of a list column, the text the
// store is given, and the load of a page's rows from them.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <span>
#include <string>
#include <vector>

#include "kit/page/listloader.h"
#include "kit/page/recordmodel.h"

namespace vorn::ui {

// Appends "<column>='<escaped text>' AND "; false when the text cannot be put
// into GBK (no stored record could match it).
bool appendTextClause(std::string& out, const char* column, const QString& text);
// Appends the whole days of the span (nothing when neither date is set; a
// half-set span is one day).
void appendSpanClause(std::string& out, const char* column, const QDate& from, const QDate& to);
// A drop-down's choice: appends "<column>=<value> AND " with the value the
// chosen text stands for in `choices` (in the order given), -1 for a text none
// stands for, so that it finds nothing; nothing for an empty text (any).
struct ChoiceValue {
    QString text;
    int value;
};
void appendChoiceClause(std::string& out, const char* column, const QString& chosen,
                        std::span<const ChoiceValue> choices);
// The text that stands for `value` in `choices` (the first that does), "Err"
// when none does: one table names a coded field in the list and in the search.
QString choiceText(std::span<const ChoiceValue> choices, int value);
// The texts in their order, as a drop-down offers them.
QStringList choiceNames(std::span<const ChoiceValue> choices);
// Takes the trailing " AND " off the appended clauses.
void finishCondition(std::string& cond);

// " ORDER BY <key> ASC" or " DESC" for a list column; a negative column means no
// column is sorted, which orders by the first column ascending. Empty for a
// column without a sort key or past the last.
std::string sortClauseOf(std::span<const RecordColumn> columns, int column, bool ascending);

// The text handed to the store: the condition, or "1 " for an empty one so that
// everything is listed, followed by the sort clause.
std::string queryText(const std::string& condition, const std::string& sortClause);

// Counts the records of the condition and selects them in the order of the sort
// clause into out (replacing its contents). The number loaded; -1 when the store
// failed, with out left empty. The count goes without the sort clause: the
// number is the same and ordering only to count costs time.
template <class Rec>
int loadQueried(vorn::Core& core, const std::string& condition, const std::string& sortClause,
                std::vector<Rec>& out) {
    // The old rows go first: a full list of a big shop should not be held twice.
    out.clear();
    out.shrink_to_fit();
    return loadRows(core, out, queryText(condition, ""), sortClause);
}

} // namespace vorn::ui
