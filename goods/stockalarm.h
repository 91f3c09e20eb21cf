// The stock alarm: codes with fewer units in stock than their limit, sold-out
// codes too, make button 201 of the sales counter blink. The on flag and the
// shop's limit are the shop settings 6 and 7; a code's own limit, where the shop
// gave one, wins (vorn/alarmlimits.h).
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
