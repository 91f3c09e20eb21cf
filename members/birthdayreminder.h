// The birthday reminder: members whose birthday falls within the lead days make
// button 208 of the sales counter blink. The on flag and the lead are the shop
// settings 8 and 9; the window is recomputed when the lead changes and when the
// date moves on.
#pragma once

#include <functional>
#include <string>

#include "birthdaywindow.h"
#include "kit/reminder.h"

namespace vorn::ui {

class BirthdaySource : public ReminderSource {
public:
    int toggleCommand() const override;
    int buttonCommand() const override;
    bool storedEnabled(Core& core) override;
    int storedLimit(Core& core) override;
    void storeEnabled(Core& core, bool on) override;
    QString toggledText(bool on) const override;
    int count(Core& core, int limit) override;
    void openDialog(Shell& shell, BlinkingReminder& reminder) override;
    bool dateTick(int64_t now) override;
    void limitChanged(int limit) override;

    const BirthdayWindow& window() const { return window_; }

    // The member condition of a window; an empty text means no condition can be
    // built and the check counts no member. Until one is set, nothing is counted.
    using Condition = std::function<std::string(const BirthdayWindow&)>;
    void setCondition(Condition condition) { condition_ = std::move(condition); }

private:
    BirthdayWindow window_;
    Condition condition_;
};

} // namespace vorn::ui
