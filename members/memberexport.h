// The members the list shows, out to a spreadsheet file (CSV or XLSX).
#pragma once

#include <QStringList>
#include <functional>
#include <span>

#include "vorn/records.h"

namespace vorn::ui {

class Shell;

// Asks for a file and writes the members the page lists now, in its order
// (kit/sheet/sheetexport.h).
void exportMembers(Shell& shell, std::span<const vorn::VIPRec> shown);

// The headings of an exported member file: the member list's own captions in
// its order (the member import maps these same texts).
QStringList memberSheetHeadings();

// Writes the members with the heading to `path` (XLSX or CSV by its suffix).
// `progress` hears 0 to 100. False with `error` when the file could not be
// written whole; no file is left then. Touches no widget.
bool writeMemberSheet(const QString& path, std::span<const vorn::VIPRec> members,
                      const std::function<void(int)>& progress, QString* error);

} // namespace vorn::ui
