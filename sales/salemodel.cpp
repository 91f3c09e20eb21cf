#include "salemodel.h"

#include <QBrush>
#include <QColor>

#include "pricing.h"
#include "salelist.h"

namespace vorn::ui {

namespace {
const SaleColumnInfo kColumns[SaleColumnCount] = {
    {"商品编码", 128, false}, {"商品名称", 192, false}, {"类型", 96, false},
    {"规格", 96, false},      {"数量", 64, true},       {"零售价(元)", 96, true},
    {"实售价(元)", 96, true}, {"折扣(元)", 96, true},  {"总价(元)", 96, true},
};
} // namespace

const SaleColumnInfo& saleColumn(int c) {
    return kColumns[c >= 0 && c < SaleColumnCount ? c : 0];
}

SaleModel::SaleModel(const SaleList& list, QObject* parent) : QAbstractTableModel(parent), list_(list) {
    rows_ = list_.rowCount();
}

int SaleModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int SaleModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : SaleColumnCount;
}

QString SaleModel::cellText(int row, int column) const {
    if (row < 0 || row >= list_.rowCount()) return QString();
    const SaleRow& r = list_.rows()[static_cast<size_t>(row)];
    switch (column) {
    case SaleColCode:
        return r.code();
    case SaleColName:
        return r.name();
    case SaleColType:
        return r.typeName();
    case SaleColSize:
        return r.size();
    case SaleColQuantity:
        return QString::number(r.quantity());
    case SaleColRetail:
        return tenthsText(r.retailTenths());
    case SaleColPrice:
        return tenthsText(r.priceTenths());
    case SaleColDiscount:
        return tenthsText(r.discountTenths());
    case SaleColAmount:
        return tenthsText(r.amountTenths());
    default:
        return QString();
    }
}

QVariant SaleModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_) return {};
    switch (role) {
    case Qt::DisplayRole:
        return cellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return int(Qt::AlignVCenter | (saleColumn(index.column()).right ? Qt::AlignRight : Qt::AlignLeft));
    case Qt::ForegroundRole:
        // A price below retail shows in red, so a discount is seen at a glance.
        if (index.column() == SaleColDiscount || index.column() == SaleColPrice) {
            const SaleRow& r = list_.rows()[static_cast<size_t>(index.row())];
            if (r.discountTenths() < 0) return QBrush(QColor(192, 32, 32));
        }
        return {};
    default:
        return {};
    }
}

QVariant SaleModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= SaleColumnCount) return {};
    if (role == Qt::DisplayRole) return QString::fromUtf8(saleColumn(section).caption);
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
    return {};
}

Qt::ItemFlags SaleModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void SaleModel::rowAppended() {
    const int n = list_.rowCount();
    if (n <= rows_) return rowsReset();
    beginInsertRows({}, rows_, n - 1);
    rows_ = n;
    endInsertRows();
}

void SaleModel::rowsReset() {
    beginResetModel();
    rows_ = list_.rowCount();
    endResetModel();
}

void SaleModel::pricesChanged() {
    if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, SaleColumnCount - 1));
}

} // namespace vorn::ui
