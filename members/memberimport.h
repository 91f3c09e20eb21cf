// Members in from a CSV file: choose, map the columns, check every line, enter.
#pragma once

#include <QtGlobal>
#include <vector>

#include "kit/importdlg.h"

namespace vorn::ui {

class CVIPView;

// The largest file the import reads. A shop's member list runs to a few
// megabytes; a bigger file is a wrong choice or belongs split, and reading it
// whole would hold the program for a long time.
constexpr qint64 kMaxMemberImportBytes = 64LL * 1024 * 1024;

// The fields the column mapping offers, in the order of MemberImportField.
std::vector<ImportField> memberImportFields();

// The whole import, started from the page's command. Its dialogs run through
// the page's dialog runner, its file comes from the page's import file chooser.
void importMembers(CVIPView& view);

} // namespace vorn::ui
