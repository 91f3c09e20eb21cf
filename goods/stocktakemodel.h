// The stock-take's sheet as a table: one row per code in the count's scope,
// the count typed straight into its column.
#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

#include "kit/text/tenths.h"
#include "vorn/records.h"
#include "vorn/stocktake.h"

namespace vorn::ui {

enum StockTakeColumn {
    TakeCode,
    TakeName,
    TakeType,
    TakeBook,
    TakeCounted,
    TakeDifference,
    TakeCost,
    TakeColumns
};

class StockTakeModel : public QAbstractTableModel {
    Q_OBJECT
public:
    StockTakeModel(const std::vector<vorn::TRec>& types, QObject* parent = nullptr);

    void setRows(std::vector<vorn::StockTakeRow> rows);
    const std::vector<vorn::StockTakeRow>& rows() const { return rows_; }
    // The row of the code, -1 when the sheet has none.
    int rowOf(const std::string& code) const;
    // Replaces the counted number of a row (nullopt: uncounted) and its
    // difference at cost, and repaints it.
    void setCount(int row, std::optional<int> counted, int64_t cost);
    // Whether counts may be typed (not for a confirmed stock-take).
    void setEditable(bool on) { editable_ = on; }

    // A count typed into the sheet: row, the new count (nullopt: cleared).
    std::function<void(int, std::optional<int>)> onTyped;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The text a cell shows (also what the export writes for text columns).
    QString typeName(int type) const;

private:
    const std::vector<vorn::TRec>& types_;
    std::vector<vorn::StockTakeRow> rows_;
    std::unordered_map<std::string, int> index_;
    bool editable_ = true;
};

} // namespace vorn::ui
