#include "kit/page/recordmodel.h"

namespace vorn::ui {

RecordModelBase::RecordModelBase(std::span<const RecordColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(columns) {}

int RecordModelBase::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int RecordModelBase::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant RecordModelBase::data(const QModelIndex& index, int role) const {
    const int r = index.row();
    const int c = index.column();
    // The rows may have been replaced under a view that has not yet been told.
    if (!index.isValid() || r < 0 || r >= rows_ || static_cast<size_t>(r) >= loadedRows()) return {};
    if (role == Qt::DisplayRole) return cellText(static_cast<size_t>(r), c);
    if (role == Qt::TextAlignmentRole && c >= 0 && c < columnCount()) return columns_[static_cast<size_t>(c)].alignment;
    return {};
}

QVariant RecordModelBase::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromUtf8(columns_[static_cast<size_t>(section)].caption);
    case Qt::InitialSortOrderRole:
        return static_cast<int>(Qt::AscendingOrder);
    default:
        return {};
    }
}

Qt::ItemFlags RecordModelBase::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void RecordModelBase::resetRows() {
    beginResetModel();
    rows_ = static_cast<int>(loadedRows());
    endResetModel();
}

void RecordModelBase::refreshRows() {
    if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1), {Qt::DisplayRole});
}

} // namespace vorn::ui
