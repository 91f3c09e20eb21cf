// The birthday reminder's window: from now to now plus the lead in days, both
// days included, the year of birth ignored. The frame keeps one for the whole
// run and recomputes it at start-up, when the date changes and when the lead is
// saved. No widgets here: the window, its member condition and the "birthday
// today" test are computed and tested on their own.
#pragma once

#include <QDateTime>
#include <cstdint>
#include <string>

namespace vorn::ui {

struct BirthdayWindow {
    QDateTime start; // local date and time of the computation; invalid until computed
    QDateTime end;   // start plus the lead, in whole days
    int limit = 0;   // the lead in days, as stored
};

// The window starting at t (seconds since 1970, local-time meaning). A lead below 0
// adds no day, as counting the days up one at a time would.
BirthdayWindow computeBirthdayWindow(int64_t t, int limit);

// True when the local date of t differs from the window's start date in year,
// month or day (the check of the ten-minute date watch).
bool birthdayDateChanged(const BirthdayWindow& window, int64_t t);

// How many month ends the window crosses: 0 within one month, 1 across one
// (December to January included), more only for leads beyond 28 days.
int birthdayMonthEnds(const BirthdayWindow& window);

// The condition on table VIP that holds for members whose birthday (month and day
// of FVt_BirT) lies in the window. Empty when none can be built: an invalid
// window, or one crossing more than one month end; the check then counts nobody.
std::string birthdayCondition(const BirthdayWindow& window);

// Whether a birthday (0: none) falls on the local month and day of `today`.
bool isBirthdayToday(int64_t birthday, int64_t today);

} // namespace vorn::ui
