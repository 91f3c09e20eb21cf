#include "stockalarm.h"

#include "kit/frameservices.h"
#include "kit/shell.h"
#include "res/commandids.h"
#include "salealarmdlg.h"
#include "vorn/core.h"

namespace vorn::ui {

int StockAlarmSource::toggleCommand() const {
    return cmd::RunAlarm;
}
int StockAlarmSource::buttonCommand() const {
    return cmd::Alarm;
}

bool StockAlarmSource::storedEnabled(Core& core) {
    return core.get_run_alarm();
}
int StockAlarmSource::storedLimit(Core& core) {
    return core.get_alarm_limit();
}
bool StockAlarmSource::storeEnabled(Core& core, bool on) {
    return core.set_run_alarm(on);
}

QString StockAlarmSource::toggledText(bool on) const {
    return on ? QStringLiteral("启用商品库存报警") : QStringLiteral("关闭商品库存报警");
}

int StockAlarmSource::count(Core& core, int limit) {
    return core.get_srec_alarm_count(limit);
}

void StockAlarmSource::openDialog(Shell& shell, BlinkingReminder& reminder) {
    CSaleAlarmDlg dlg(shell, reminder.count(), reminder.limit(), shell.window());
    const int result = runDialog_ ? runDialog_(dlg) : dlg.exec();
    // Closed without saving: nothing changed, nothing to say.
    if (result != QDialog::Accepted) return;
    reminder.setLimit(dlg.limit());
    shell.showStatus(QStringLiteral("修改商品库存报警下限"));
    if (FrameServices* frame = frameServices(shell)) frame->runReminderCheck(cmd::Alarm);
}

} // namespace vorn::ui
