#include "stockalarm.h"

#include "kit/page/shell.h"
#include "res/commandids.h"
#include "salealarmdlg.h"
#include "vorn/alarmlimits.h"
#include "vorn/core.h"

namespace vorn::ui {

namespace {

StoredReminder stockAlarmSettings() {
    StoredReminder s;
    s.toggle = cmd::RunAlarm;
    s.button = cmd::Alarm;
    s.enabled = [](Core& core) { return core.get_run_alarm(); };
    s.limit = [](Core& core) { return core.get_alarm_limit(); };
    s.setEnabled = [](Core& core, bool on) { return core.set_run_alarm(on); };
    s.switchedOn = QStringLiteral("启用商品库存报警");
    s.switchedOff = QStringLiteral("关闭商品库存报警");
    s.limitSaved = QStringLiteral("修改商品库存报警下限");
    return s;
}

} // namespace

StockAlarmSource::StockAlarmSource() : StoredReminderSource(stockAlarmSettings()) {}

int StockAlarmSource::count(Core& core, int limit) {
    return vorn::AlarmLimits(core).count_low(limit);
}

std::unique_ptr<CReminderDlg> StockAlarmSource::makeDialog(Shell& shell, const BlinkingReminder& reminder) {
    return std::make_unique<CSaleAlarmDlg>(shell, reminder.count(), reminder.limit(), shell.window());
}

} // namespace vorn::ui
