#include "birthdaywindow.h"

#include <algorithm>

namespace vorn::ui {

BirthdayWindow computeBirthdayWindow(int64_t t, int limit) {
    BirthdayWindow w;
    w.start = QDateTime::fromSecsSinceEpoch(t);
    w.end = w.start.addDays(std::max(0, limit));
    w.limit = limit;
    return w;
}

bool birthdayDateChanged(const BirthdayWindow& window, int64_t t) {
    return !window.start.isValid() || QDateTime::fromSecsSinceEpoch(t).date() != window.start.date();
}

} // namespace vorn::ui
