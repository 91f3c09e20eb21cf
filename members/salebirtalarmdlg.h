// The birthday reminder's dialog (会员生日提醒): the members whose birthday lies
// in the reminder window, today's in bold, and the lead in days (0 to 25).
// Opened by the reminder button of the sales counter; kit's reminder dialog
// with the birthday reminder's columns, rows and lead rule.
#pragma once

#include <string>

#include "kit/remind/reminderdlg.h"

namespace vorn::ui {

// Code, name and birthday of the members of `condition` (the window's member
// condition; empty: none listed); a lead of 0 to 25, stored as shop setting 9.
ReminderView birthdayView(const std::string& condition);

class CSaleBirtAlarmDlg : public CReminderDlg {
public:
    static constexpr int kMaxLimit = 25;

    // count: the reminder count of the last check; the list is loaded only when it
    // is above 0 and `condition` is not empty. limit: the lead in force.
    CSaleBirtAlarmDlg(Shell& shell, int count, int limit, const std::string& condition,
                      QWidget* parent = nullptr)
        : CReminderDlg(shell, birthdayView(condition), count, limit, parent) {}
};

} // namespace vorn::ui
