// Command routing and the one decision of which commands are enabled or checked.
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "frame/desktopopener.h"
#include "frame/helpguide.h"
#include "frame/internetview.h"
#include "frame/mainframe.h"
#include "frame/ribbon.h"
#include "frame/ribbontable.h"
#include "kit/page/page.h"
#include "kit/remind/reminder.h"
#include "res/commandids.h"
#include "res/strings.h"

namespace vorn::ui {

void CMainFrame::onCommand(int id) {
    // A control may still show enabled for a moment after the state moved on.
    if (!isEnabled(id)) return;
    switch (id) {
    case cmd::SwitchUser:
        switchUser();
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
        } else if (BlinkingReminder* r = reminderForToggle(id)) {
            toggleReminder(*r);
        } else if (BlinkingReminder* r = reminder(id)) {
            r->source().openDialog(*this, *r);
        } else if (view_ && viewEntry_ && viewEntry_->serves(id)) {
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
    if (!view_ || commandTab(id) != page_) return false;
    // The frame serves these itself; the page has no say. A reminder's button
    // opens its dialog only while the reminder is on.
    if (id == cmd::SwitchUser || reminderForToggle(id)) return true;
    for (const BlinkingReminder* r : reminders_)
        if (r->buttonCommand() == id) return r->enabled();
    return viewEntry_ && viewEntry_->serves(id) && view_->isCommandEnabled(id);
}

bool CMainFrame::isChecked(int id) const {
    if (const BlinkingReminder* r = reminderForToggle(id)) return r->enabled();
    return view_ && commandTab(id) == page_ && viewEntry_ && viewEntry_->serves(id) &&
           view_->isCommandChecked(id);
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

void CMainFrame::openExternal(const QString& address) {
    // An empty address is no page at all; the shell would refuse it too.
    const QUrl url = address.trimmed().isEmpty() ? QUrl() : QUrl::fromUserInput(address);
    // What the desktop cannot open, the program's own browser shows.
    if (url.isValid() && (openOnDesktop(url) || showInOwnBrowser(url, address))) {
        showStatus(QStringLiteral("打开\"%1\"成功").arg(address));
    } else {
        reportFailure(QStringLiteral("打开\"%1\"失败").arg(address));
    }
}

void CMainFrame::openHelp() {
    const QString name = QStringLiteral("vorn_helper.chm");
    const QFileInfo file(QDir::current().absoluteFilePath(name));
    if (!file.isFile()) {
        reportFailure(QStringLiteral("未找到帮助文件\"%1\"").arg(name));
        return;
    }
    // Few Linux desktops can show a compiled help file; where none can, the same
    // guide opens from its HTML pages beside the program, in the desktop's
    // browser or, without one, in the program's own.
    const QString html = helpGuidePage();
    const QUrl url = canOpenCompiledHelp() || html.isEmpty() ? QUrl::fromLocalFile(file.absoluteFilePath())
                                                             : QUrl::fromLocalFile(html);
    if (openOnDesktop(url) ||
        (!html.isEmpty() && showInOwnBrowser(QUrl::fromLocalFile(html), QStringLiteral("使用帮助")))) {
        showStatus(QStringLiteral("打开帮助文件"));
    } else {
        reportFailure(QStringLiteral("未找到帮助文件\"%1\"").arg(name));
    }
}

bool CMainFrame::showInOwnBrowser(const QUrl& url, const QString& title) {
    if (!CInternetView::hasBrowser()) return false;
    if (!webWindow_) {
        webWindow_ = new CWebWindow(*this, this);
        webWindow_->setAttribute(Qt::WA_DeleteOnClose);
    }
    return webWindow_->showPage(url.toString(), QStringLiteral("%1 - %2").arg(appTitle(), title));
}

} // namespace vorn::ui
