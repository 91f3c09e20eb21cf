#include "birthdaywindow.h"

#include <QDate>
#include <algorithm>
#include <cstdio>

namespace vorn::ui {

namespace {

// One test of a birthday's month or day; the cast turns "05" into 5.
constexpr const char* kMonthOrDay = "CAST(STRFTIME('%s',FVt_BirT) AS INTEGER)";

std::string part(const char* format, const char* field) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, field);
    return buf;
}

// month=M AND day>=D1 AND day<=D2
std::string monthDays(int month, int firstDay, int lastDay) {
    const std::string m = part(kMonthOrDay, "%m");
    const std::string d = part(kMonthOrDay, "%d");
    char buf[256];
    std::snprintf(buf, sizeof buf, "%s=%d AND %s>=%d AND %s<=%d", m.c_str(), month, d.c_str(), firstDay,
                  d.c_str(), lastDay);
    return buf;
}

} // namespace

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

int birthdayMonthEnds(const BirthdayWindow& window) {
    const QDate a = window.start.date();
    const QDate b = window.end.date();
    return (b.year() * 12 + b.month()) - (a.year() * 12 + a.month());
}

std::string birthdayCondition(const BirthdayWindow& window) {
    if (!window.start.isValid() || !window.end.isValid()) return {};
    const QDate a = window.start.date();
    const QDate b = window.end.date();
    // Counted through the years, so a lead of a whole year (same month, a year
    // on) is not mistaken for a window within one month.
    switch (birthdayMonthEnds(window)) {
    case 0:
        return monthDays(a.month(), a.day(), b.day());
    case 1:
        // The start month's last day in the start's year: 29 for a leap February.
        return "(" + monthDays(a.month(), a.day(), a.daysInMonth()) + ") OR (" +
               monthDays(b.month(), 1, b.day()) + ")";
    default:
        return {};
    }
}

bool isBirthdayToday(int64_t birthday, int64_t today) {
    if (birthday == 0) return false;
    const QDate b = QDateTime::fromSecsSinceEpoch(birthday).date();
    const QDate t = QDateTime::fromSecsSinceEpoch(today).date();
    return b.month() == t.month() && b.day() == t.day();
}

} // namespace vorn::ui
