#include "salefooter.h"

#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QTableView>

namespace vorn::ui {

SaleFooter::SaleFooter(QTableView* table, QWidget* parent) : QWidget(parent), table_(table) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    QHeaderView* header = table->horizontalHeader();
    auto redraw = [this] { update(); };
    connect(header, &QHeaderView::sectionResized, this, redraw);
    connect(header, &QHeaderView::geometriesChanged, this, redraw);
    connect(table->horizontalScrollBar(), &QScrollBar::valueChanged, this, redraw);
    connect(table->horizontalScrollBar(), &QScrollBar::rangeChanged, this, redraw);
}

void SaleFooter::setText(int column, const QString& text) {
    if (texts_.value(column) == text) return;
    texts_[column] = text;
    update();
}

QString SaleFooter::text(int column) const {
    return texts_.value(column);
}

void SaleFooter::setAlignment(int column, Qt::Alignment alignment) {
    alignments_[column] = alignment;
    update();
}

QRect SaleFooter::cellRect(int column) const {
    const QHeaderView* header = table_->horizontalHeader();
    if (column < 0 || column >= header->count() || header->isSectionHidden(column)) return {};
    const QPoint offset = header->viewport()->mapTo(window(), QPoint(0, 0)) - mapTo(window(), QPoint(0, 0));
    return QRect(offset.x() + header->sectionViewportPosition(column), 0, header->sectionSize(column), height());
}

QSize SaleFooter::sizeHint() const {
    return {table_->sizeHint().width(), fontMetrics().height() + 14};
}

QSize SaleFooter::minimumSizeHint() const {
    return {0, sizeHint().height()};
}

void SaleFooter::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(0xe6, 0xee, 0xf8));
    p.setPen(QColor(0x8d, 0xb2, 0xe3));
    p.drawLine(0, 0, width() - 1, 0);
    p.drawLine(0, height() - 1, width() - 1, height() - 1);

    // Nothing is drawn outside the columns (the table's frame, its scroll bar's column).
    const QWidget* vp = table_->viewport();
    const int left = vp->mapTo(window(), QPoint(0, 0)).x() - mapTo(window(), QPoint(0, 0)).x();
    p.setClipRect(QRect(left, 0, vp->width(), height()));

    const QHeaderView* header = table_->horizontalHeader();
    for (int c = 0; c < header->count(); ++c) {
        const QRect cell = cellRect(c);
        if (cell.isEmpty()) continue;
        p.setPen(QColor(0xb4, 0xc9, 0xe4));
        p.drawLine(cell.right(), 1, cell.right(), height() - 2);
        const QString t = texts_.value(c);
        if (t.isEmpty()) continue;
        p.setPen(QColor(0x1e, 0x39, 0x5b));
        const Qt::Alignment a = alignments_.value(c, Qt::AlignLeft) | Qt::AlignVCenter;
        p.drawText(cell.adjusted(6, 1, -7, -1), static_cast<int>(a), t);
    }
}

} // namespace vorn::ui
