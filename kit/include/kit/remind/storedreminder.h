// A blinking reminder whose on flag and limit are two shop settings and whose
// button opens kit's reminder dialog (the stock alarm, the birthday reminder).
// The subsystem gives the commands, the settings, the sentences and the
// dialog's view; the steps are the same for every such reminder.
#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "kit/dialog/dialogrunner.h"
#include "kit/remind/reminder.h"
#include "vorn/core.h"

namespace vorn::ui {

class CReminderDlg;

struct StoredReminder {
    int toggle = 0; // the check box
    int button = 0; // the blinking button
    std::function<bool(Core&)> enabled;
    std::function<int(Core&)> limit;
    std::function<bool(Core&, bool on)> setEnabled;
    QString switchedOn, switchedOff; // status after the check box
    QString limitSaved;              // status after the dialog saved a limit

    // The usual case: the on flag and the limit are shop settings that Core
    // reads and writes (get_run_alarm, get_alarm_limit, set_run_alarm, ...).
    struct Texts {
        QString switchedOn, switchedOff, limitSaved;
    };
    static StoredReminder ofSettings(int toggle, int button, bool (Core::*getOn)(), int (Core::*getLimit)(),
                                     bool (Core::*setOn)(bool), Texts texts) {
        return {toggle,
                button,
                [getOn](Core& core) { return (core.*getOn)(); },
                [getLimit](Core& core) { return (core.*getLimit)(); },
                [setOn](Core& core, bool on) { return (core.*setOn)(on); },
                std::move(texts.switchedOn),
                std::move(texts.switchedOff),
                std::move(texts.limitSaved)};
    }
};

class StoredReminderSource : public ReminderSource {
public:
    explicit StoredReminderSource(StoredReminder settings);

    int toggleCommand() const override { return settings_.toggle; }
    int buttonCommand() const override { return settings_.button; }
    bool storedEnabled(Core& core) override { return settings_.enabled(core); }
    int storedLimit(Core& core) override { return settings_.limit(core); }
    bool storeEnabled(Core& core, bool on) override { return settings_.setEnabled(core, on); }
    QString toggledText(bool on) const override { return on ? settings_.switchedOn : settings_.switchedOff; }
    // Runs the dialog; after a saved limit the reminder takes it, the status bar
    // says so and the reminder checks again. Closed without saving: nothing
    // changed, nothing to say.
    void openDialog(Shell& shell, BlinkingReminder& reminder) override;

    // How the dialog is run (tests fill and close it without a modal loop); the
    // result is the dialog's, QDialog::Accepted after a save.
    void setDialogRunner(DialogRunner runner) { runDialog_ = std::move(runner); }

protected:
    // The dialog for the reminder's last count and its limit.
    virtual std::unique_ptr<CReminderDlg> makeDialog(Shell& shell, const BlinkingReminder& reminder) = 0;

private:
    StoredReminder settings_;
    DialogRunner runDialog_;
};

} // namespace vorn::ui
