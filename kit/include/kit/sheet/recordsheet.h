// A list's records as a spreadsheet: its headings and each record's cells,
// written by the one sheet writer (kit/sheet/sheetwriter.h) and exported by the
// one export flow (kit/sheet/sheetexport.h). A kind of record gives only its
// RecordSheet.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <span>
#include <type_traits>
#include <utility>
#include <vector>

#include "kit/sheet/sheetexport.h"
#include "kit/sheet/sheetwriter.h"

namespace vorn::ui {

template <class Rec> struct RecordSheet {
    QString noun; // the worksheet's name, and what the file name and status call the records ("商品")
    QStringList headings;
    // Appends one record's cells in heading order. Runs on the busy window's
    // worker: it touches no widget (it may keep caches across the rows).
    std::function<void(const Rec&, std::vector<SheetCell>&)> cells;
};

// Writes the records under the headings to `path` (XLSX or CSV by its suffix);
// `progress` hears 0 to 100. False with `error` when the file could not be
// written whole; no file is left then.
template <class Rec>
bool writeRecordSheet(const QString& path, const RecordSheet<Rec>& sheet,
                      std::type_identity_t<std::span<const Rec>> records,
                      const std::function<void(int)>& progress, QString* error) {
    return writeSheet(
        path, sheet.noun, sheet.headings, records.size(),
        [&](size_t i, std::vector<SheetCell>& cells) { sheet.cells(records[i], cells); }, progress, error);
}

// Asks for a file (the save dialog titled `title`) and writes the records. The
// write reads them in place: the busy window holds the user's input meanwhile,
// so nothing changes them, and a long list is not copied.
template <class Rec>
void exportRecordSheet(Shell& shell, const QString& title, RecordSheet<Rec> sheet,
                       std::type_identity_t<std::span<const Rec>> records) {
    const QString noun = sheet.noun;
    runSheetExport({shell, title, noun, records.size(),
                    [sheet = std::move(sheet), records](const QString& path, const std::function<void(int)>& percent,
                                                        QString* error) {
                        return writeRecordSheet(path, sheet, records, percent, error);
                    }});
}

} // namespace vorn::ui
