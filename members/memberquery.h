// The member search without widgets: the condition built from the ribbon's
// inputs and the duplicate-code condition of the entry dialog. The page calls
// these, and so can a benchmark or a test.
#pragma once

#include <QDate>
#include <QString>
#include <string>
#include <vector>

#include "kit/text/conditions.h"
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

// The sort clause of a header click is sortClauseOf(memberColumns(), ...), and
// the page loads the members with loadQueried (kit/text/conditions.h).

// "FVs_Code='<code>'" with the GBK code quoted: the members that already hold it.
std::string memberCodeCondition(const std::string& gbkCode);

} // namespace vorn::ui
