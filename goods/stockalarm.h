// The stock alarm: codes that have units in stock, but fewer than the limit,
// make button 201 of the sales counter blink. The on flag and the limit are the
// shop settings 6 and 7.
#pragma once

#include "kit/remind/storedreminder.h"

namespace vorn::ui {

class StockAlarmSource : public StoredReminderSource {
public:
    StockAlarmSource();
    int count(Core& core, int limit) override;

protected:
    // CSaleAlarmDlg.
    std::unique_ptr<CReminderDlg> makeDialog(Shell& shell, const BlinkingReminder& reminder) override;
};

} // namespace vorn::ui
