#include "kit/page/recordlist.h"

#include <QHeaderView>
#include <QPainter>
#include <QTableView>

namespace vorn::ui {

void setUpRecordList(QTableView* table) {
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setShowGrid(false);
    table->setWordWrap(false);
    table->setSortingEnabled(false);

    QHeaderView* rowsHeader = table->verticalHeader();
    rowsHeader->hide();
    rowsHeader->setSectionResizeMode(QHeaderView::Fixed);
    rowsHeader->setDefaultSectionSize(table->fontMetrics().height() + 8);

    QHeaderView* header = table->horizontalHeader();
    header->setSectionsMovable(false);
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
}

void ColumnLineDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyledItemDelegate::paint(p, option, index);
    p->save();
    p->setPen(option.palette.color(QPalette::Mid));
    p->drawLine(option.rect.topRight(), option.rect.bottomRight());
    p->restore();
}

} // namespace vorn::ui
