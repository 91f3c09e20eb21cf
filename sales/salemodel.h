// The shopping list's model: nine read-only columns over the rows of a SaleList,
// in the order they were added.
#pragma once

#include <QAbstractTableModel>

namespace vorn::ui {

class SaleList;

enum SaleColumn {
    SaleColCode,
    SaleColName,
    SaleColType,
    SaleColSize,
    SaleColQuantity,
    SaleColRetail,
    SaleColPrice,
    SaleColDiscount,
    SaleColAmount,
    SaleColumnCount
};

struct SaleColumnInfo {
    const char* caption; // UTF-8
    int width;           // pixels
    bool right;          // numbers, right-aligned (their footers too)
};
const SaleColumnInfo& saleColumn(int c);

class SaleModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit SaleModel(const SaleList& list, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The text of a cell, as the list shows it.
    QString cellText(int row, int column) const;

    // A row was appended to the list.
    void rowAppended();
    // Rows went, or the list was emptied.
    void rowsReset();
    // Prices changed in place.
    void pricesChanged();

private:
    const SaleList& list_;
    int rows_ = 0;
};

} // namespace vorn::ui
