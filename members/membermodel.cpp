#include "membermodel.h"

#include "membercells.h"
#include "kit/appstate.h"

namespace vorn::ui {

MemberModel::MemberModel(const AppState& state, QObject* parent) : QAbstractTableModel(parent), state_(state) {}

int MemberModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int MemberModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : MemberColumnCount;
}

QVariant MemberModel::data(const QModelIndex& index, int role) const {
    const int r = index.row();
    const int c = index.column();
    // The rows may have been replaced under a view that has not yet been told.
    if (!index.isValid() || r < 0 || r >= rows_ || static_cast<size_t>(r) >= state_.members.size()) return {};
    if (role == Qt::DisplayRole) return memberCellText(state_.members[static_cast<size_t>(r)], c);
    if (role == Qt::TextAlignmentRole && c >= 0 && c < MemberColumnCount) return memberColumn(c).alignment;
    return {};
}

QVariant MemberModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= MemberColumnCount) return {};
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromUtf8(memberColumn(section).caption);
    case Qt::InitialSortOrderRole:
        return static_cast<int>(Qt::AscendingOrder);
    default:
        return {};
    }
}

Qt::ItemFlags MemberModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void MemberModel::resetRows() {
    beginResetModel();
    rows_ = static_cast<int>(state_.members.size());
    endResetModel();
}

void MemberModel::refreshRows() {
    if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, MemberColumnCount - 1), {Qt::DisplayRole});
}

} // namespace vorn::ui
