// The sales ranking as a list: its columns, the words of its cells, its
// footers, the order a header click asks for and its export. No widgets here
// beyond the model.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <span>
#include <vector>

#include "kit/page/recordmodel.h"
#include "vorn/ranking.h"
#include "vorn/records.h"

namespace vorn::ui {

enum RankingColumn {
    RankPlace,
    RankCode,
    RankName,
    RankType,
    RankSize,
    RankQuantity,
    RankSales,
    RankCost,
    RankProfit,
    RankShare,
    RankingColumnCount
};

std::span<const RecordColumn> rankingColumns();

// Tenths of a yuan as the program shows money: "-12.5".
QString rankingMoneyText(int64_t tenths);
// Hundredths of a percent as "12.34%".
QString rankingShareText(int basisPoints);

// Text of column c for the row at place (0-based) of a ranking whose sales
// sum to totalSales ("Err" past the last column).
QString rankingCellText(const vorn::RankingRow& r, size_t place, int c, int64_t totalSales,
                        const std::vector<vorn::TRec>& types);

// The order a header section sorts by; false for the place column, which
// only counts the rows as they stand.
bool rankingOrderOf(int section, vorn::RankingOrder& order);

class RankingModel : public RecordModelBase {
public:
    RankingModel(const std::vector<vorn::RankingRow>& rows, const std::vector<vorn::TRec>& types,
                 QObject* parent = nullptr);
    // The rows were replaced or re-sorted: take their number and their sum.
    void reload();
    int64_t totalSales() const { return totalSales_; }

protected:
    size_t loadedRows() const override { return rows_.size(); }
    QString cellText(size_t row, int column) const override;

private:
    const std::vector<vorn::RankingRow>& rows_;
    const std::vector<vorn::TRec>& types_;
    int64_t totalSales_ = 0;
};

// The footer text of every column: the number of codes under the code, the
// sums under the figures, the whole under the share (empty with no sales).
QStringList rankingFooters(const vorn::RankingSums& sums);

// Writes the rows as they stand (heading, rows, then the sums) to an XLSX or
// CSV file; may run as a busy-window job.
bool writeRanking(const QString& path, const std::vector<vorn::RankingRow>& rows,
                  const std::vector<vorn::TRec>& types, const std::function<void(int)>& percent, QString* error);

} // namespace vorn::ui
