// Command routing and the one decision of which commands are enabled or checked.
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "frame/mainframe.h"
#include "frame/ribbon.h"
#include "frame/ribbontable.h"
#include "kit/appstate.h"
#include "kit/commandids.h"
#include "kit/page.h"

namespace vorn::ui {

void CMainFrame::onCommand(int id) {
    // A control may still show enabled for a moment after the state moved on.
    if (!isEnabled(id)) return;
    switch (id) {
    case cmd::SwitchUser:
        switchUser();
        break;
    case cmd::RunAlarm:
        toggleAlarm();
        break;
    case cmd::RunBirthday:
        toggleBirthday();
        break;
    case cmd::StatByYear:
    case cmd::StatByCustom:
        statMode_ = id - cmd::StatByYear;
        // The statistics page may want to follow the mode at once.
        if (view_) view_->onCommand(id);
        break;
    case cmd::Help:
        openHelp();
        break;
    case cmd::Support:
        openExternal(supportUrl_);
        break;
    default:
        if (id >= cmd::FirstWebButton && id <= cmd::LastWebButton) {
            openExternal(web_.forButton(id));
        } else if (auto g = globals_.find(id); g != globals_.end()) {
            if (g->second.run) g->second.run();
        } else if (view_) {
            // A command no page serves yet does nothing.
            view_->onCommand(id);
        }
    }
    updateCommands();
}

bool CMainFrame::isEnabled(int id) const {
    if (!findRibbonControl(id)) return false;
    switch (commandScope(id)) {
    case RibbonScope::Always:
        return true;
    case RibbonScope::Global: {
        auto g = globals_.find(id);
        return g != globals_.end() && g->second.enabled && g->second.enabled();
    }
    case RibbonScope::Page:
        break;
    }
    if (!view_ || commandPage(id) != page_) return false;
    // The alarm buttons open their dialogs only while their reminder runs.
    if (id == cmd::Alarm && !alarmOn_) return false;
    if (id == cmd::Birthday && !birthOn_) return false;
    // The frame serves these itself; the page has no say.
    if (id == cmd::SwitchUser || id == cmd::RunAlarm || id == cmd::RunBirthday || id == cmd::StatByYear ||
        id == cmd::StatByCustom)
        return true;
    return view_->isCommandEnabled(id);
}

bool CMainFrame::isChecked(int id) const {
    switch (id) {
    case cmd::RunAlarm:
        return alarmOn_;
    case cmd::RunBirthday:
        return birthOn_;
    case cmd::StatByYear:
    case cmd::StatByCustom:
        return statMode_ == id - cmd::StatByYear;
    default:
        return view_ && commandPage(id) == page_ && view_->isCommandChecked(id);
    }
}

void CMainFrame::updateCommands() {
    if (!ribbon_) return;
    for (int id : ribbon_->commandIds())
        ribbon_->setCommandState(id, isEnabled(id), isChecked(id));
}

void CMainFrame::setGlobalCommand(int id, std::function<bool()> enabled, std::function<void()> run) {
    globals_[id] = GlobalCommand{std::move(enabled), std::move(run)};
    updateCommands();
}

void CMainFrame::toggleAlarm() {
    alarmOn_ = !alarmOn_;
    appState().core.set_run_alarm(alarmOn_);
    showStatus(alarmOn_ ? QStringLiteral("启用商品库存报警") : QStringLiteral("关闭商品库存报警"));
    runAlarmCheck();
}

void CMainFrame::toggleBirthday() {
    birthOn_ = !birthOn_;
    appState().core.set_run_birt_alarm(birthOn_);
    showStatus(birthOn_ ? QStringLiteral("启用会员生日提醒") : QStringLiteral("关闭会员生日提醒"));
    runBirthdayCheck();
}

void CMainFrame::openExternal(const QString& address) {
    // An empty address is no page at all; the shell would refuse it too.
    const QUrl url = address.trimmed().isEmpty() ? QUrl() : QUrl::fromUserInput(address);
    if (url.isValid() && QDesktopServices::openUrl(url)) {
        showStatus(QStringLiteral("打开\"%1\"成功").arg(address));
    } else {
        reportFailure(QStringLiteral("打开\"%1\"失败").arg(address));
    }
}

void CMainFrame::openHelp() {
    const QString name = QStringLiteral("vorn_helper.chm");
    const QFileInfo file(QDir::current().absoluteFilePath(name));
    if (file.isFile() && QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath()))) {
        showStatus(QStringLiteral("打开帮助文件"));
    } else {
        reportFailure(QStringLiteral("未找到帮助文件\"%1\"").arg(name));
    }
}

} // namespace vorn::ui
