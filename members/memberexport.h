// The members the list shows, out to a spreadsheet file (CSV or XLSX).
#pragma once

namespace vorn::ui {

class CVIPView;

// Asks for a file and writes the rows the page lists now, in its order.
void exportMembers(CVIPView& view);

} // namespace vorn::ui
