// The stock alarm: codes that have units in stock, but fewer than the limit,
// make button 201 of the sales counter blink. The on flag and the limit are the
// shop settings 6 and 7.
#pragma once

#include <functional>

#include "kit/dialogrunner.h"
#include "kit/reminder.h"

class QDialog;

namespace vorn::ui {

class StockAlarmSource : public ReminderSource {
public:
    int toggleCommand() const override;
    int buttonCommand() const override;
    bool storedEnabled(Core& core) override;
    int storedLimit(Core& core) override;
    bool storeEnabled(Core& core, bool on) override;
    QString toggledText(bool on) const override;
    int count(Core& core, int limit) override;
    // Opens CSaleAlarmDlg; after a saved limit the alarm takes it and checks again.
    void openDialog(Shell& shell, BlinkingReminder& reminder) override;

    // How the dialog is run (tests fill and close it without a modal loop); the
    // result is the dialog's, QDialog::Accepted after a save.
    void setDialogRunner(DialogRunner runner) { runDialog_ = std::move(runner); }

private:
    DialogRunner runDialog_;
};

} // namespace vorn::ui
