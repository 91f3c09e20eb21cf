// The goods the list shows, out to a spreadsheet file (CSV or XLSX).
#pragma once

#include <QStringList>
#include <functional>
#include <span>
#include <vector>

#include "vorn/records.h"

namespace vorn::ui {

class Shell;

// Asks for a file and writes the units the page lists now, in its order
// (kit/sheet/sheetexport.h).
void exportGoods(Shell& shell, std::span<const vorn::SRec> shown);

// The headings of an exported goods file in column order: every stored field
// a shop needs to bring its goods back (the import maps these same texts).
QStringList goodsSheetHeadings();

// Writes the units with the heading to `path` (XLSX or CSV by its suffix), the
// type and supplier named as the list names them. `progress` hears 0 to 100.
// False with `error` when the file could not be written whole; no file is left
// then. Touches no widget.
bool writeGoodsSheet(const QString& path, std::span<const vorn::SRec> units,
                     const std::vector<vorn::TRec>& types, const std::vector<vorn::SPRec>& suppliers,
                     const std::function<void(int)>& progress, QString* error);

} // namespace vorn::ui
