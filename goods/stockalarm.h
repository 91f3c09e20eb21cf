// The stock alarm: codes that have units in stock, but fewer than the limit,
// make button 201 of the sales counter blink. The on flag and the limit are the
// shop settings 6 and 7.
#pragma once

#include "kit/reminder.h"

namespace vorn::ui {

class StockAlarmSource : public ReminderSource {
public:
    int toggleCommand() const override;
    int buttonCommand() const override;
    bool storedEnabled(Core& core) override;
    int storedLimit(Core& core) override;
    void storeEnabled(Core& core, bool on) override;
    QString toggledText(bool on) const override;
    int count(Core& core, int limit) override;
    void openDialog(Shell& shell, BlinkingReminder& reminder) override;
};

} // namespace vorn::ui
