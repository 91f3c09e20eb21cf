#include "kit/page/footerstrip.h"

#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QTableView>

namespace vorn::ui {

FooterStrip::FooterStrip(QTableView* table, QWidget* parent, FooterLook look)
    : QWidget(parent), table_(table), look_(look) {
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
    // The counter sets its totals after every scan; an unchanged text costs no paint.
    if (texts_.contains(column) && texts_.value(column) == text) return;
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
    return {table_->sizeHint().width(), fontMetrics().height() + look_.extraHeight};
}

QSize FooterStrip::minimumSizeHint() const {
    return {0, sizeHint().height()};
}

QColor FooterStrip::colour(const QColor& own, QPalette::ColorRole role) const {
    return own.isValid() ? own : palette().color(role);
}

void FooterStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), colour(look_.fill, QPalette::Button));
    p.setPen(colour(look_.edge, QPalette::Mid));
    p.drawLine(0, 0, width() - 1, 0);
    if (look_.bottomEdge) p.drawLine(0, height() - 1, width() - 1, height() - 1);

    // Nothing may be drawn where the table has no columns (its frame, the
    // vertical scroll bar's column).
    const QWidget* vp = table_->viewport();
    const int left = vp->mapTo(window(), QPoint(0, 0)).x() - mapTo(window(), QPoint(0, 0)).x();
    p.setClipRect(QRect(left, 0, vp->width(), height()));

    const int lineEnd = height() - (look_.bottomEdge ? 2 : 1);
    const QHeaderView* header = table_->horizontalHeader();
    for (int c = 0; c < header->count(); ++c) {
        const QRect cell = cellRect(c);
        if (cell.isEmpty()) continue;
        p.setPen(colour(look_.columnLine, QPalette::Mid));
        p.drawLine(cell.right(), 1, cell.right(), lineEnd);
        const QString t = texts_.value(c);
        if (t.isEmpty()) continue;
        p.setPen(colour(look_.text, QPalette::ButtonText));
        const Qt::Alignment a = alignments_.value(c, Qt::AlignLeft) | Qt::AlignVCenter;
        p.drawText(cell.adjusted(look_.padLeft, 1, -look_.padRight, -look_.padBottom), static_cast<int>(a), t);
    }
}

} // namespace vorn::ui
