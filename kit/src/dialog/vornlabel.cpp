#include "kit/dialog/vornlabel.h"

#include <QPainter>

namespace vorn::ui {

CVornLabel::CVornLabel(QWidget* parent) : QLabel(parent) { init(); }

CVornLabel::CVornLabel(const QString& text, QWidget* parent) : QLabel(text, parent) { init(); }

void CVornLabel::init() {
    // Unfilled, the label shows what lies behind it, so Qt must not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setAutoFillBackground(false);
}

void CVornLabel::setDrawBorder(bool on) {
    drawBorder_ = on;
    update();
}

void CVornLabel::setFillBackground(bool on) {
    fillBackground_ = on;
    update();
}

void CVornLabel::setBorderColor(const QColor& color) {
    borderColor_ = color;
    update();
}

void CVornLabel::setTextColor(const QColor& color) {
    textColor_ = color;
    update();
}

void CVornLabel::setBackgroundColor(const QColor& color) {
    backgroundColor_ = color;
    update();
}

void CVornLabel::setExtraFormat(Qt::Alignment flags) {
    extraFormat_ = flags;
    update();
}

QSize CVornLabel::minimumSizeHint() const {
    // Long text is cut with an ellipsis, so a layout may squeeze the label.
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(QStringLiteral("…")) + 2, metrics.height() + 2);
}

void CVornLabel::paintEvent(QPaintEvent* event) {
    (void)event;
    QPainter painter(this);
    const QRect area = rect();
    if (fillBackground_) painter.fillRect(area, backgroundColor_);
    if (drawBorder_) {
        painter.setPen(QPen(borderColor_, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(area.adjusted(0, 0, -1, -1));
    }
    painter.setPen(textColor_);
    painter.setFont(font());
    const QString shown = painter.fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
    painter.drawText(area, Qt::AlignVCenter | Qt::TextSingleLine | extraFormat_, shown);
}

} // namespace vorn::ui
