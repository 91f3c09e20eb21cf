// The member search without widgets: the condition built from the ribbon's
// inputs, the ordering clause of a header click, the count-then-select load of
// the matching members and the duplicate-code condition of the entry dialog.
// The page calls these, and so can a benchmark or a test.
#pragma once

#include <QDate>
#include <QString>
#include <string>
#include <vector>

#include "vorn/core.h"
#include "vorn/records.h"

namespace vorn::ui {

// The search inputs as the user left them. Texts as typed (empty = no clause);
// the creation-time span counts when either of its dates is valid.
struct MemberSearch {
    QString code;
    QString name;
    QString type; // text of the type combo box
    QDate createdFrom, createdTo;
};

// The WHERE text of the inputs: clauses in the fixed order code, type, name,
// creation time, joined by " AND ". User text is quoted with vorn::sql_escape.
// False (and out empty) when a text holds a character GBK cannot represent; no
// stored member could match it.
bool buildMemberCondition(const MemberSearch& in, std::string& out);

// " ORDER BY <key> ASC" or " DESC" for a list column; a negative column means
// no column is sorted, which orders by the code ascending. Empty for the remark
// and any column past it, which cannot be sorted.
std::string memberSortClause(int column, bool ascending);

// The text handed to the store: the condition, or "1 " for an empty one so that
// everything is listed, followed by the sort clause.
std::string memberQueryText(const std::string& condition, const std::string& sortClause);

// Counts the members of the condition and selects them in the order of the sort
// clause into out (replacing its contents). Returns the number loaded; 0 for
// none; -1 when the store failed, with out left empty. The count goes without
// the sort clause: the number is the same and ordering only to count costs time.
// Touches no widget, so it may run on the busy window's worker.
int loadMembers(vorn::Core& core, const std::string& condition, const std::string& sortClause,
                std::vector<vorn::VIPRec>& out);

// "FVs_Code='<code>'" with the GBK code quoted: the members that already hold it.
std::string memberCodeCondition(const std::string& gbkCode);

} // namespace vorn::ui
