// The blinking reminders' buttons and timer 3, the date watch.
#include <QPointer>

#include "frame/mainframe.h"
#include "frame/ribbon.h"
#include "frame/ribbontable.h"
#include "kit/page/busy.h"
#include "kit/dialog/storefailure.h"
#include "kit/text/clock.h"
#include "kit/remind/reminder.h"
#include "kit/dialog/storefailure.h"

namespace vorn::ui {

void CMainFrame::buildReminders() {
    for (const auto& make : registry_.reminders()) {
        auto* r = new BlinkingReminder(make(), this);
        r->load(state_.core);
        connect(r, &BlinkingReminder::iconChanged, this, [this](int id, const QString& icon) {
            if (ribbon_) ribbon_->setIcon(id, Ribbon::icon(icon.toLatin1().constData()));
        });
        reminders_.push_back(r);
    }
}

BlinkingReminder* CMainFrame::reminder(int buttonCommand) {
    for (BlinkingReminder* r : reminders_)
        if (r->buttonCommand() == buttonCommand) return r;
    return nullptr;
}

BlinkingReminder* CMainFrame::reminderForToggle(int id) const {
    for (BlinkingReminder* r : reminders_)
        if (r->toggleCommand() == id) return r;
    return nullptr;
}

bool CMainFrame::hostsCommand(int id) const {
    return view_ && viewEntry_ && viewEntry_->tab == commandTab(id);
}

void CMainFrame::runReminderCheck(int buttonCommand) {
    for (BlinkingReminder* r : reminders_) {
        if (buttonCommand != 0 && r->buttonCommand() != buttonCommand) continue;
        // While a busy job holds the store the check waits for it, rather than
        // queueing on the store's lock and freezing the busy window.
        QPointer<BlinkingReminder> guard(r);
        whenIdle(r, [this, guard] {
            if (guard) guard->check(state_.core, hostsCommand(guard->buttonCommand()));
        });
    }
}

void CMainFrame::toggleReminder(BlinkingReminder& r) {
    const bool on = !r.enabled();
    // A choice the store did not take is not made: after a restart the old
    // one would come back unannounced.
    if (!r.source().storeEnabled(state_.core, on)) {
        reportFailure(withStoreCause(
            QStringLiteral("未知异常导致\"%1\"失败，放弃该次\"设置\"操作").arg(r.source().toggledText(on))));
        return;
    }
    r.setEnabled(on);
    showStatus(r.source().toggledText(r.enabled()));
    runReminderCheck(r.buttonCommand());
}

void CMainFrame::startDateWatch() {
    dateTimer_.start();
}

void CMainFrame::stopDateWatch() {
    dateTimer_.stop();
}

void CMainFrame::dateWatchTick() {
    whenIdle(this, [this] {
        for (BlinkingReminder* r : reminders_)
            if (r->source().dateTick(now())) runReminderCheck(r->buttonCommand());
    });
}

} // namespace vorn::ui
