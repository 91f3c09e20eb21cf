// The member list's model: a window onto the loaded member rows. Cells are
// worded only when the view asks for them, so a large register costs no texts
// up front.
#pragma once

#include <QAbstractTableModel>

namespace vorn::ui {

struct AppState;

class MemberModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit MemberModel(const AppState& state, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The loaded rows were replaced or shortened: take their new number.
    void resetRows();
    // The loaded rows changed in place (an edit): redraw them.
    void refreshRows();

private:
    const AppState& state_;
    int rows_ = 0; // a new page starts empty, whatever the sales counter left behind
};

} // namespace vorn::ui
