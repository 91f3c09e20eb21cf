// The figures behind the statistics charts as tables for a spreadsheet: for
// each chart its title, then one row per month, day or slice with one column
// per series. No widgets here; the page hands over the looks it draws.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "kit/sheet/sheetwriter.h"
#include "statseries.h"

namespace vorn::ui {

struct FigureTable {
    QString title;
    // The category column ("月份", "日期", or "项目" for a pie's slices), then
    // one heading per series; empty when the chart has no series.
    QStringList heading;
    // A category cell, then the series' values as money; a series without a
    // point at that category has an empty cell there.
    std::vector<std::vector<SheetCell>> rows;
};

// The table of one chart: rows in the order of the points' arguments (months,
// days after the first day, slice positions).
FigureTable figureTable(const ChartLook& look);

// Writes the tables, each as a part of its own under its title (a worksheet in
// XLSX), to `path`. False with `error` when the file could not be written
// whole; no file is left then.
bool writeFigures(const QString& path, const std::vector<FigureTable>& tables, QString* error);

} // namespace vorn::ui
