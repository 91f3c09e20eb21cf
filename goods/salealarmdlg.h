// The stock alarm's dialog (库存报警): the codes whose stock is below the limit,
// and the limit itself. Opened by the alarm button of the sales counter; kit's
// reminder dialog with the stock alarm's columns, rows and limit.
#pragma once

#include "kit/remind/reminderdlg.h"

namespace vorn::ui {

// Code, name and count in stock of the codes below the limit; any integer is a
// limit, stored as shop setting 7.
ReminderView stockAlarmView();

class CSaleAlarmDlg : public CReminderDlg {
public:
    // count: the alarm count of the last check; the list is loaded only when it is
    // above 0. limit: the limit in force, shown in the edit.
    CSaleAlarmDlg(Shell& shell, int count, int limit, QWidget* parent = nullptr)
        : CReminderDlg(shell, stockAlarmView(), count, limit, parent) {}
};

} // namespace vorn::ui
