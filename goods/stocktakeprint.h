// The stock-take sheet on paper: a PDF of A4 pages with the count's heading,
// one line per code and the sums, for the shop's files or a printer.
#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "vorn/stocktake.h"

namespace vorn::ui {

// The sheet as HTML (heading, table, sums), what the PDF is made of.
QString stockTakeHtml(const QString& heading, const std::vector<vorn::StockTakeRow>& rows,
                      const std::function<QString(int type)>& typeName);
// Writes it to `path` as a PDF; false when the file could not be written.
bool writeStockTakePdf(const QString& path, const QString& heading,
                       const std::vector<vorn::StockTakeRow>& rows,
                       const std::function<QString(int type)>& typeName);

} // namespace vorn::ui
