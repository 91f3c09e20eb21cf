#include "kit/remind/storedreminder.h"

#include "kit/page/frameservices.h"
#include "kit/remind/reminderdlg.h"
#include "kit/page/shell.h"

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
