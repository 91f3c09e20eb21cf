#include "footerstrip.h"

#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QTableView>

namespace vorn::ui {

FooterStrip::FooterStrip(QTableView* table, QWidget* parent) : QWidget(parent), table_(table) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    QHeaderView* header = table->horizontalHeader();
    auto redraw = [this] { update(); };
    connect(header, &QHeaderView::sectionResized, this, redraw);
    connect(header, &QHeaderView::sectionMoved, this, redraw);
    connect(header, &QHeaderView::sectionCountChanged, this, redraw);
    connect(header, &QHeaderView::geometriesChanged, this, redraw);
    connect(table->horizontalScrollBar(), &QScrollBar::valueChanged, this, redraw);
    connect(table->horizontalScrollBar(), &QScrollBar::rangeChanged, this, redraw);
}

void FooterStrip::setText(int column, const QString& text) {
    texts_[column] = text;
    update();
}

QString FooterStrip::text(int column) const {
    return texts_.value(column);
}

void FooterStrip::setAlignment(int column, Qt::Alignment alignment) {
    alignments_[column] = alignment;
    update();
}

QRect FooterStrip::cellRect(int column) const {
    const QHeaderView* header = table_->horizontalHeader();
    if (column < 0 || column >= header->count() || header->isSectionHidden(column)) return {};
    // The header's own viewport is where its sections are laid out; map it here.
    const QWidget* origin = header->viewport();
    const QPoint offset = origin->mapTo(window(), QPoint(0, 0)) - mapTo(window(), QPoint(0, 0));
    return QRect(offset.x() + header->sectionViewportPosition(column), 0, header->sectionSize(column),
                 height());
}

QSize FooterStrip::sizeHint() const {
    const int h = fontMetrics().height() + 10;
    return {table_->sizeHint().width(), h};
}

QSize FooterStrip::minimumSizeHint() const {
    return {0, sizeHint().height()};
}

void FooterStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Button));
    p.setPen(pal.color(QPalette::Mid));
    p.drawLine(0, 0, width() - 1, 0);

    // Nothing may be drawn where the table has no columns (its frame, the
    // vertical scroll bar's column).
    const QWidget* vp = table_->viewport();
    const int left = vp->mapTo(window(), QPoint(0, 0)).x() - mapTo(window(), QPoint(0, 0)).x();
    p.setClipRect(QRect(left, 0, vp->width(), height()));

    const QHeaderView* header = table_->horizontalHeader();
    for (int c = 0; c < header->count(); ++c) {
        const QRect cell = cellRect(c);
        if (cell.isEmpty()) continue;
        p.setPen(pal.color(QPalette::Mid));
        p.drawLine(cell.right(), 1, cell.right(), height() - 1);
        const QString t = texts_.value(c);
        if (t.isEmpty()) continue;
        p.setPen(pal.color(QPalette::ButtonText));
        const Qt::Alignment a = alignments_.value(c, Qt::AlignLeft) | Qt::AlignVCenter;
        p.drawText(cell.adjusted(4, 1, -5, 0), static_cast<int>(a), t);
    }
}

} // namespace vorn::ui
