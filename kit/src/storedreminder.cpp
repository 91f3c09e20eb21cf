#include "kit/storedreminder.h"

#include "kit/frameservices.h"
#include "kit/reminderdlg.h"
#include "kit/shell.h"

namespace vorn::ui {

StoredReminderSource::StoredReminderSource(StoredReminder settings)
    : settings_(std::move(settings)) {}

void StoredReminderSource::openDialog(Shell& shell, BlinkingReminder& reminder) {
    const std::unique_ptr<CReminderDlg> dlg = makeDialog(shell, reminder);
    const int result = runDialog_ ? runDialog_(*dlg) : dlg->exec();
    if (result != QDialog::Accepted) return;
    reminder.setLimit(dlg->limit());
    shell.showStatus(settings_.limitSaved);
    if (FrameServices* frame = frameServices(shell)) frame->runReminderCheck(settings_.button);
}

} // namespace vorn::ui
