// The birthday reminder's window: from now to now plus the lead in days, both
// days included. The frame keeps one for the whole run and recomputes it at
// start-up, when the date changes and when the lead is saved.
#pragma once

#include <QDateTime>
#include <cstdint>

namespace vorn::ui {

struct BirthdayWindow {
    QDateTime start; // local date and time of the computation
    QDateTime end;   // start plus the lead, in whole days
    int limit = 0;   // the lead in days, as stored
};

// The window starting at t (seconds since 1970, local-time meaning). A lead below 0
// adds no day, as counting the days up one at a time would.
BirthdayWindow computeBirthdayWindow(int64_t t, int limit);

// True when the local date of t differs from the window's start date in year,
// month or day (the check of the ten-minute date watch).
bool birthdayDateChanged(const BirthdayWindow& window, int64_t t);

} // namespace vorn::ui
