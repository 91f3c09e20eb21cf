#include "stockalarm.h"

#include "kit/page/shell.h"
#include "res/commandids.h"
#include "salealarmdlg.h"
#include "vorn/alarmlimits.h"
#include "vorn/core.h"

namespace vorn::ui {

StockAlarmSource::StockAlarmSource()
    : StoredReminderSource(StoredReminder::ofSettings(
          cmd::RunAlarm, cmd::Alarm, &Core::get_run_alarm, &Core::get_alarm_limit, &Core::set_run_alarm,
          {QStringLiteral("启用商品库存报警"), QStringLiteral("关闭商品库存报警"),
           QStringLiteral("修改商品库存报警下限")})) {}

int StockAlarmSource::count(Core& core, int limit) {
    return vorn::AlarmLimits(core).count_low(limit);
}

std::unique_ptr<CReminderDlg> StockAlarmSource::makeDialog(Shell& shell, const BlinkingReminder& reminder) {
    return std::make_unique<CSaleAlarmDlg>(shell, reminder.count(), reminder.limit(), shell.window());
}

} // namespace vorn::ui
