// Members in from a CSV file: the fields the column mapping offers and the
// command that runs the import (kit/sheet/csvimport.h) with the member checker.
#pragma once

#include <vector>

#include "kit/sheet/csvimport.h"

namespace vorn::ui {

// The fields the column mapping offers, in the order of MemberImportField.
std::vector<ImportField> memberImportFields();

// The whole import, started from the page's command. Every dialog runs through
// the host's dialog runner; cancelling any of them writes nothing.
void importMembers(const ImportHost& host);

} // namespace vorn::ui
