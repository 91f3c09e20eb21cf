#include "birthdayreminder.h"

#include "kit/text/clock.h"
#include "kit/page/shell.h"
#include "res/commandids.h"
#include "salebirtalarmdlg.h"
#include "vorn/core.h"

namespace vorn::ui {

BirthdaySource::BirthdaySource()
    : StoredReminderSource(StoredReminder::ofSettings(
          cmd::RunBirthday, cmd::Birthday, &Core::get_run_birt_alarm, &Core::get_birt_alarm_limit,
          &Core::set_run_birt_alarm,
          {QStringLiteral("启用会员生日提醒"), QStringLiteral("关闭会员生日提醒"),
           QStringLiteral("修改会员生日提醒期限")})) {}

std::string BirthdaySource::condition() const {
    return condition_ ? condition_(window_) : birthdayCondition(window_);
}

int BirthdaySource::count(Core& core, int limit) {
    // The window already holds the lead it was computed with.
    (void)limit;
    const std::string cond = condition();
    return cond.empty() ? 0 : core.get_viprec_count(cond.c_str());
}

std::unique_ptr<CReminderDlg> BirthdaySource::makeDialog(Shell& shell, const BlinkingReminder& reminder) {
    return std::make_unique<CSaleBirtAlarmDlg>(shell, reminder.count(), reminder.limit(), condition(), shell.window());
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
