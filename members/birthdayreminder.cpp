#include "birthdayreminder.h"

#include "kit/clock.h"
#include "kit/frameservices.h"
#include "kit/shell.h"
#include "res/commandids.h"
#include "salebirtalarmdlg.h"
#include "vorn/core.h"

namespace vorn::ui {

int BirthdaySource::toggleCommand() const {
    return cmd::RunBirthday;
}
int BirthdaySource::buttonCommand() const {
    return cmd::Birthday;
}

bool BirthdaySource::storedEnabled(Core& core) {
    return core.get_run_birt_alarm();
}
int BirthdaySource::storedLimit(Core& core) {
    return core.get_birt_alarm_limit();
}
bool BirthdaySource::storeEnabled(Core& core, bool on) {
    return core.set_run_birt_alarm(on);
}

QString BirthdaySource::toggledText(bool on) const {
    return on ? QStringLiteral("启用会员生日提醒") : QStringLiteral("关闭会员生日提醒");
}

std::string BirthdaySource::condition() const {
    return condition_ ? condition_(window_) : birthdayCondition(window_);
}

int BirthdaySource::count(Core& core, int limit) {
    // The window already holds the lead it was computed with.
    (void)limit;
    const std::string cond = condition();
    return cond.empty() ? 0 : core.get_viprec_count(cond.c_str());
}

void BirthdaySource::openDialog(Shell& shell, BlinkingReminder& reminder) {
    CSaleBirtAlarmDlg dlg(shell, reminder.count(), reminder.limit(), condition(), shell.window());
    const int result = runDialog_ ? runDialog_(dlg) : dlg.exec();
    // Closed without saving: nothing changed, nothing to say.
    if (result != QDialog::Accepted) return;
    reminder.setLimit(dlg.limit()); // recomputes the window from now
    shell.showStatus(QStringLiteral("修改会员生日提醒期限"));
    if (FrameServices* frame = frameServices(shell)) frame->runReminderCheck(cmd::Birthday);
}

bool BirthdaySource::dateTick(int64_t t) {
    if (!birthdayDateChanged(window_, t)) return false;
    window_ = computeBirthdayWindow(t, window_.limit);
    return true;
}

void BirthdaySource::limitChanged(int limit) {
    window_ = computeBirthdayWindow(now(), limit);
}

} // namespace vorn::ui
