#include "kit/text/tenths.h"

namespace vorn::ui {

QString tenthsText(int64_t tenths) {
    // The magnitude through unsigned arithmetic: the most negative value has no
    // positive counterpart in int64_t.
    const uint64_t mag = tenths < 0 ? 0 - static_cast<uint64_t>(tenths) : static_cast<uint64_t>(tenths);
    QString s = QString::number(mag / 10) + QLatin1Char('.') + QLatin1Char(static_cast<char>('0' + mag % 10));
    if (tenths < 0) s.prepend(QLatin1Char('-'));
    return s;
}

} // namespace vorn::ui
