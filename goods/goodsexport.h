// The goods the list shows, out to a spreadsheet file (CSV or XLSX).
#pragma once

#include <span>
#include <vector>

#include "kit/sheet/recordsheet.h"
#include "vorn/records.h"

namespace vorn::ui {

// Asks for a file and writes the units the page lists now, in its order.
void exportGoods(Shell& shell, std::span<const vorn::SRec> shown);

// The goods file: every stored field a shop needs to bring its goods back (the
// import maps these same headings), the type and supplier named as the list
// names them.
RecordSheet<vorn::SRec> goodsSheet(const std::vector<vorn::TRec>& types,
                                   const std::vector<vorn::SPRec>& suppliers);

} // namespace vorn::ui
