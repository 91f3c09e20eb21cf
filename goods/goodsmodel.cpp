#include "goodsmodel.h"

#include "goodscells.h"
#include "kit/appstate.h"

namespace vorn::ui {

GoodsModel::GoodsModel(const AppState& state, QObject* parent) : QAbstractTableModel(parent), state_(state) {}

int GoodsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int GoodsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : GoodsColumnCount;
}

QVariant GoodsModel::data(const QModelIndex& index, int role) const {
    const int r = index.row();
    const int c = index.column();
    // The rows may have been replaced under a view that has not yet been told.
    if (!index.isValid() || r < 0 || r >= rows_ || static_cast<size_t>(r) >= state_.goods.size()) return {};
    if (role == Qt::DisplayRole)
        return goodsCellText(state_.goods[static_cast<size_t>(r)], c, state_.types, state_.suppliers);
    if (role == Qt::TextAlignmentRole && c >= 0 && c < GoodsColumnCount) return goodsColumn(c).alignment;
    return {};
}

QVariant GoodsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= GoodsColumnCount) return {};
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromUtf8(goodsColumn(section).caption);
    case Qt::InitialSortOrderRole:
        return static_cast<int>(Qt::AscendingOrder);
    default:
        return {};
    }
}

Qt::ItemFlags GoodsModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void GoodsModel::resetRows() {
    beginResetModel();
    rows_ = static_cast<int>(state_.goods.size());
    endResetModel();
}

void GoodsModel::refreshRows() {
    if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, GoodsColumnCount - 1), {Qt::DisplayRole});
}

} // namespace vorn::ui
