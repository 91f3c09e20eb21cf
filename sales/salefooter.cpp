#include "salefooter.h"

#include "kit/dialog/housecolours.h"

namespace vorn::ui {

namespace {

FooterLook counterLook() {
    FooterLook look;
    look.fill = QColor(0xe6, 0xee, 0xf8);
    look.edge = QColor(0x8d, 0xb2, 0xe3);
    look.columnLine = QColor(0xb4, 0xc9, 0xe4);
    look.text = houseTextColour();
    look.bottomEdge = true;
    look.padLeft = 6;
    look.padRight = 7;
    look.padBottom = 1;
    look.extraHeight = 14;
    return look;
}

} // namespace

SaleFooter::SaleFooter(QTableView* table, QWidget* parent) : FooterStrip(table, parent, counterLook()) {}

} // namespace vorn::ui
