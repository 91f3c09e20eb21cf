// The look and behaviour every page's list of loaded records shares: read-only
// rows selected whole, no grid, one fixed row height (a list of a million rows
// stays cheap only that way), and header clicks that sort through the store
// (the page reloads with its ORDER BY) rather than in the view.
#pragma once

#include <QStyledItemDelegate>

class QTableView;

namespace vorn::ui {

void setUpRecordList(QTableView* table);

// Solid vertical lines between the columns and none between the rows, as the
// house lists draw them.
class ColumnLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace vorn::ui
