#include "shoppicture.h"

#include <QPainter>
#include <QPainterPath>

namespace vorn::ui {

namespace {
// Drawn on a 260 by 190 canvas and scaled to the widget.
constexpr qreal kW = 260;
constexpr qreal kH = 190;

const QColor kInk(30, 57, 91);
const QColor kBlue(61, 127, 208);
const QColor kDeep(47, 104, 178);
const QColor kPale(234, 241, 250);
const QColor kLine(127, 165, 216);
} // namespace

ShopPicture::ShopPicture(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("shopPicture"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(sizeHint());
}

void ShopPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = std::min(width() / kW, height() / kH);
    p.translate((width() - kW * s) / 2, height() - kH * s);
    p.scale(s, s);

    // Ground shadow.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 57, 91, 28));
    p.drawEllipse(QRectF(14, 168, 232, 18));

    // Walls.
    QLinearGradient wall(0, 60, 0, 176);
    wall.setColorAt(0, QColor(255, 255, 255));
    wall.setColorAt(1, kPale);
    p.setBrush(wall);
    p.setPen(QPen(kLine, 1.5));
    p.drawRoundedRect(QRectF(30, 62, 200, 112), 3, 3);

    // Sign board with the shop's word on it.
    QLinearGradient sign(0, 16, 0, 44);
    sign.setColorAt(0, QColor(106, 159, 224));
    sign.setColorAt(1, kDeep);
    p.setBrush(sign);
    p.setPen(QPen(kInk, 1));
    p.drawRoundedRect(QRectF(70, 14, 120, 30), 5, 5);
    QFont f = font();
    f.setPixelSize(17);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(70, 14, 120, 30), Qt::AlignCenter, QStringLiteral("小 店"));

    // Awning: stripes with a scalloped edge.
    const qreal top = 46;
    const qreal bottom = 66;
    const int stripes = 10;
    const qreal sw = 220.0 / stripes;
    for (int i = 0; i < stripes; ++i) {
        const qreal x = 20 + i * sw;
        QPainterPath stripe;
        stripe.moveTo(x + 3, top);
        stripe.lineTo(x + sw + 3, top);
        stripe.lineTo(x + sw, bottom);
        stripe.arcTo(QRectF(x, bottom - sw / 2, sw, sw), 0, -180);
        stripe.closeSubpath();
        p.setPen(QPen(kDeep, 1));
        p.setBrush(i % 2 == 0 ? kBlue : QColor(255, 255, 255));
        p.drawPath(stripe);
    }

    // Shop window with goods on two shelves.
    const QRectF window(44, 92, 104, 64);
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(QColor(214, 231, 250));
    p.drawRect(window);
    p.setPen(QPen(kLine, 1.5));
    p.drawLine(QPointF(window.left(), 124), QPointF(window.right(), 124));
    p.drawLine(QPointF(window.left(), 152), QPointF(window.right(), 152));
    const QColor goods[] = {QColor(240, 160, 60), QColor(96, 178, 110), QColor(214, 84, 84),
                            QColor(61, 127, 208), QColor(250, 205, 80)};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 6; ++i) {
        p.setBrush(goods[i % 5]);
        p.drawRoundedRect(QRectF(52 + i * 15, 104 - (i % 2) * 4, 10, 20 + (i % 2) * 4), 2, 2);
    }
    for (int i = 0; i < 5; ++i) {
        p.setBrush(goods[(i + 2) % 5]);
        p.drawEllipse(QRectF(54 + i * 18, 136, 13, 13));
    }
    // Door with its window and handle.
    const QRectF door(164, 88, 48, 86);
    QLinearGradient doorFill(door.topLeft(), door.bottomRight());
    doorFill.setColorAt(0, QColor(106, 159, 224));
    doorFill.setColorAt(1, kDeep);
    p.setBrush(doorFill);
    p.setPen(QPen(kInk, 1.5));
    p.drawRect(door);
    p.setBrush(QColor(214, 231, 250));
    p.setPen(QPen(kInk, 1));
    p.drawRect(QRectF(door.left() + 8, door.top() + 8, door.width() - 16, 30));
    p.setBrush(QColor(250, 205, 80));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(door.right() - 12, door.top() + 48, 6, 6));

    // A plant beside the door.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(96, 178, 110));
    p.drawEllipse(QRectF(214, 138, 18, 18));
    p.drawEllipse(QRectF(222, 128, 18, 20));
    p.drawEllipse(QRectF(228, 142, 16, 16));
    p.setBrush(QColor(200, 120, 70));
    QPainterPath pot;
    pot.moveTo(216, 156);
    pot.lineTo(242, 156);
    pot.lineTo(238, 174);
    pot.lineTo(220, 174);
    pot.closeSubpath();
    p.drawPath(pot);
}

} // namespace vorn::ui
