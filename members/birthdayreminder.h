// The birthday reminder: members whose birthday falls within the lead days make
// button 208 of the sales counter blink. The on flag and the lead are the shop
// settings 8 and 9; the window is recomputed when the lead changes and when the
// date moves on.
#pragma once

#include <functional>
#include <string>

#include "birthdaywindow.h"
#include "kit/dialogrunner.h"
#include "kit/reminder.h"

class QDialog;

namespace vorn::ui {

class BirthdaySource : public ReminderSource {
public:
    int toggleCommand() const override;
    int buttonCommand() const override;
    bool storedEnabled(Core& core) override;
    int storedLimit(Core& core) override;
    bool storeEnabled(Core& core, bool on) override;
    QString toggledText(bool on) const override;
    int count(Core& core, int limit) override;
    // Opens CSaleBirtAlarmDlg; after a saved lead the reminder takes it (which
    // moves the window) and checks again.
    void openDialog(Shell& shell, BlinkingReminder& reminder) override;
    bool dateTick(int64_t now) override;
    void limitChanged(int limit) override;

    const BirthdayWindow& window() const { return window_; }

    // The member condition of the current window (birthdayCondition unless a test
    // replaced it); empty when none can be built, and the check then counts no member.
    std::string condition() const;
    using Condition = std::function<std::string(const BirthdayWindow&)>;
    void setCondition(Condition condition) { condition_ = std::move(condition); }

    // How the dialog is run (tests fill and close it without a modal loop); the
    // result is the dialog's, QDialog::Accepted after a save.
    void setDialogRunner(DialogRunner runner) { runDialog_ = std::move(runner); }

private:
    BirthdayWindow window_;
    Condition condition_;
    DialogRunner runDialog_;
};

} // namespace vorn::ui
