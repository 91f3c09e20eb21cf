// The goods the list shows, out to a spreadsheet file (CSV or XLSX).
#pragma once

namespace vorn::ui {

class CStoreView;

// Asks for a file and writes the rows the page lists now, in its order.
void exportGoods(CStoreView& view);

} // namespace vorn::ui
