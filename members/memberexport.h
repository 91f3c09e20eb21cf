// The members the list shows, out to a spreadsheet file (CSV or XLSX).
#pragma once

#include <span>

#include "kit/sheet/recordsheet.h"
#include "vorn/records.h"

namespace vorn::ui {

// Asks for a file and writes the members the page lists now, in its order.
void exportMembers(Shell& shell, std::span<const vorn::VIPRec> shown);

// The member file: the member list's own captions in its order as headings
// (the member import maps these same texts), one member a row.
RecordSheet<vorn::VIPRec> memberSheet();

} // namespace vorn::ui
