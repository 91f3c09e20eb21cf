// What the code edit of the stock-take reads: a scanned code counts one piece,
// "12*6901234567890" (or "12×…", with spaces around the star) counts twelve.
#pragma once

#include <QString>

namespace vorn::ui {

struct StockScan {
    QString code;
    int quantity = 0; // 0 when the text is no count (empty code, a bad quantity)
};

// `quantity` is what counts when the text carries none.
StockScan readStockScan(const QString& text, int quantity = 1);

// Largest quantity one entry may count, so a scanned code that lands in the
// quantity by mistake is refused instead of counted as millions.
constexpr int kMaxScanQuantity = 99999;

} // namespace vorn::ui
