// The birthday reminder: members whose birthday falls within the lead days make
// button 208 of the sales counter blink. The on flag and the lead are the shop
// settings 8 and 9; the window is recomputed when the lead changes and when the
// date moves on.
#pragma once

#include <functional>
#include <string>

#include "birthdaywindow.h"
#include "kit/remind/storedreminder.h"


namespace vorn::ui {

class BirthdaySource : public StoredReminderSource {
public:
    BirthdaySource();
    int count(Core& core, int limit) override;
    bool dateTick(int64_t now) override;
    void limitChanged(int limit) override;

    const BirthdayWindow& window() const { return window_; }

    // The member condition of the current window (birthdayCondition unless a test
    // replaced it); empty when none can be built, and the check then counts no member.
    std::string condition() const;
    using Condition = std::function<std::string(const BirthdayWindow&)>;
    void setCondition(Condition condition) { condition_ = std::move(condition); }

protected:
    // CSaleBirtAlarmDlg; a saved lead moves the window (limitChanged).
    std::unique_ptr<CReminderDlg> makeDialog(Shell& shell, const BlinkingReminder& reminder) override;

private:
    BirthdayWindow window_;
    Condition condition_;
};

} // namespace vorn::ui
