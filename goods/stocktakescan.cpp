#include "stocktakescan.h"

namespace vorn::ui {

StockScan readStockScan(const QString& text, int quantity) {
    StockScan s;
    QString t = text.trimmed();
    int star = t.indexOf(QLatin1Char('*'));
    if (star < 0) star = t.indexOf(QChar(0x00D7)); // ×
    if (star >= 0) {
        bool ok = false;
        quantity = t.left(star).trimmed().toInt(&ok);
        if (!ok) return s;
        t = t.mid(star + 1).trimmed();
    }
    if (t.isEmpty() || quantity <= 0 || quantity > kMaxScanQuantity) return s;
    s.code = t;
    s.quantity = quantity;
    return s;
}

} // namespace vorn::ui
