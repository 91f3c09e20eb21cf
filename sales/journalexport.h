// The sales the journal lists, out to a spreadsheet file (CSV or XLSX).
#pragma once

#include <QStringList>
#include <functional>
#include <span>

#include "vorn/journal.h"

namespace vorn::ui {

class Shell;

// Asks for a file and writes the sales the page lists now, in its order
// (kit/sheet/sheetexport.h).
void exportJournal(Shell& shell, std::span<const vorn::SaleRecord> shown);

// The headings of an exported journal file, in column order.
QStringList journalSheetHeadings();

// Writes the sales under the headings to `path` (XLSX or CSV by its suffix):
// texts as the list words them, amounts as money numbers. `progress` hears 0
// to 100. False with `error` when the file could not be written whole (none is
// left then). Touches no widget.
bool writeJournalSheet(const QString& path, std::span<const vorn::SaleRecord> sales,
                       const std::function<void(int)>& progress, QString* error);

} // namespace vorn::ui
