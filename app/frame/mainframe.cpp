#include "frame/mainframe.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QSettings>
#include <QStatusBar>
#include <QVBoxLayout>
#include <cstdio>

#include "frame/internetview.h"
#include "frame/logonview.h"
#include "frame/look.h"
#include "frame/pages.h"
#include "frame/passphraseprompt.h"
#include "frame/ribbon.h"
#include "kit/text/serversetting.h"
#include "kit/page/busy.h"
#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "kit/dialog/storefailure.h"
#include "kit/dialog/msgbox.h"
#include "kit/remind/reminder.h"
#include "res/commandids.h"
#include "res/strings.h"
#include "res/tabs.h"
#include "vorn/journal.h"
#include "vorn/shifts.h"

namespace vorn::ui {

namespace {
// The planned widths of panes 1 and 2, and what the status bar itself takes
// besides them: pane 0 gets the rest (352 pixels less than the window while
// panes 1 and 2 keep their planned widths).
constexpr int kUserPaneWidth = 200;
constexpr int kRolePaneWidth = 120;
constexpr int kBarReserve = 32;
constexpr int kPlannedWidth[3] = {0, kUserPaneWidth, kRolePaneWidth};

// The store opened for reading only: Core opens it so when asked through its
// hook; the frame's Core then shares the connection.
class ReadOnlyCore : public vorn::Core {
protected:
    bool read_only() const override { return true; }
};
} // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("mainFrame"));
    registerAllPages(registry_);
    dateTimer_.setInterval(600000);
    refreshTimer_.setInterval(200);
    connect(&dateTimer_, &QTimer::timeout, this, &CMainFrame::dateWatchTick);
    // Cheap safety net for state changes nobody announced (a selection in a page's list).
    connect(&refreshTimer_, &QTimer::timeout, this, &CMainFrame::updateCommands);
}

CMainFrame::~CMainFrame() {
    for (BlinkingReminder* r : reminders_) r->stopBlinking();
    dateTimer_.stop();
    refreshTimer_.stop();
    // Pages may still call back into the frame while they go (the sales counter
    // stops the date watch), so they go while the frame is whole.
    if (pageHolder_) {
        const auto pages = pageHolder_->findChildren<CPage*>(QString(), Qt::FindDirectChildrenOnly);
        view_ = nullptr;
        qDeleteAll(pages);
    }
    auto& core = state_.core;
    if (created_ && !closed_ && core.is_open()) core.close();
}

bool CMainFrame::create() {
    if (!startData()) return false;
    created_ = true;
    ensureResources();
    setWindowIcon(Ribbon::icon("app"));

    buildStatusBar();
    buildRibbon();

    pageHolder_ = new QWidget(this);
    pageHolder_->setObjectName(QStringLiteral("pageHolder"));
    pageLayout_ = new QVBoxLayout(pageHolder_);
    pageLayout_->setContentsMargins(0, 0, 0, 0);
    pageLayout_->setSpacing(0);
    setCentralWidget(pageHolder_);

    restoreLayout();
    showLogonPage();
    if (readOnlyStore_) {
        showStatus(QStringLiteral("数据目录\"%1\"不能写入：数据以只读方式打开，只能查看，不能修改")
                       .arg(QDir::toNativeSeparators(QDir::currentPath())));
    }
    if (!startNote_.isEmpty()) showStatus(startNote_);
    refreshTimer_.start();
    return true;
}

void CMainFrame::recoverHistory() {
    // A store that may not be written keeps what it holds; the next start that
    // may write does the work.
    if (readOnlyStore_) return;
    vorn::Journal journal(state_.core);
    if (!journal.history_pending()) return;
    int made = -1;
    runBusyWithProgress(nullptr, [&](BusyProgress& progress) {
        made = journal.recover_history([&progress](int64_t done, int64_t total) {
            progress.set(total > 0 ? static_cast<int>(done * 100 / total) : 100);
        });
    });
    if (made >= 0) return;
    // What was written stays; the rest waits for the next start, and the program goes on.
    startNote_ = withStoreCause(QStringLiteral(
        "未知异常导致以前的销售写入销售记录失败，下次启动时将再次写入，放弃该次\"整理销售记录\"操作"));
    errorBox(nullptr, startNote_);
}

bool CMainFrame::startData() {
    auto& state = state_;
    auto& core = state.core;
    const QString file = QDir::current().absoluteFilePath(QStringLiteral("__vorn__"));
    // A [Database] section puts the store on a server; every Core the program
    // opens from here on goes there.
    QString settingError;
    const QString server = readServerSetting(QDir::current().filePath(QStringLiteral("vorn.ini")), &settingError);
    if (!settingError.isEmpty()) {
        std::fprintf(stderr, "Vornmart: %s\n", settingError.toLocal8Bit().constData());
        errorBox(nullptr, settingError);
        return false;
    }
    vorn::Core::set_default_server(server.toStdString());
    core.set_server(server.toStdString());
    if (!server.isEmpty()) readOnlyStore_ = false; // the folder's rights are no matter of the server's
    const auto openStore = [&] {
        if (!readOnlyStore_) return core.open();
        ReadOnlyCore reader;
        reader.set_passphrase(core.passphrase());
        const int opened = reader.open();
        core = reader;
        return opened;
    };
    int rc = openStore();
    // A store under the owner's shop key: the key is asked for here, before the login page.
    if (rc == 0) rc = unlockStore(core, openStore);
    if (rc == 0) {
        // A store made elsewhere may lack the indexes the program relies on, and
        // building them on a big one takes a while: say so instead of showing
        // nothing. (A read-only store goes without them.)
        constexpr int kQuickIndexUnits = 50000;
        if (core.indexes_missing() && core.get_srec_count(nullptr) > kQuickIndexUnits) {
            runBusy(nullptr, [&] { rc = core.ensure_indexes(); },
                    QStringLiteral("正在为商品数据建立索引，首次打开较大的数据库需要一些时间"));
        } else {
            rc = core.ensure_indexes();
        }
    }
    if (rc != 0) {
        // A failed open may still hold a connection that must be released.
        if (core.is_open()) core.close();
        if (!server.isEmpty()) {
            // Named with the server and libpq's reason, so the owner knows
            // whether the server is down, the name wrong or the access refused.
            QString why = fromGbk(core.open_message());
            if (why.isEmpty()) why = QStringLiteral("无法连接数据库服务器（错误代码%1）").arg(rc);
            std::fprintf(stderr, "Vornmart: %s\n", why.toLocal8Bit().constData());
            errorBox(nullptr, why + QStringLiteral("，程序将退出"));
            return false;
        }
        std::fprintf(stderr, "Vornmart: cannot open the store \"%s\" (SQLite code %d)\n",
                     QDir::toNativeSeparators(file).toLocal8Bit().constData(), rc);
        return false;
    }
    state.loadTypesAndSuppliers();
    recoverHistory();
    // Shifts a program left open when it ended without a hand-over are closed
    // before anyone sells, noted 未交班; a failure leaves them for the next start.
    if (!readOnlyStore_) vorn::Shifts(core).close_abandoned(now());
    buildReminders();

    web_ = WebAddresses::read(QDir::current().filePath(QStringLiteral("vorn.ini")));
    supportUrl_ = supportAddress();
    return true;
}

void CMainFrame::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    bar->setSizeGripEnabled(false);
    const QString texts[3] = {QStringLiteral(" "), userPaneLabel(), rolePaneLabel()};
    auto makePane = [bar](const QString& text, const QString& name) {
        auto* pane = new QLabel(text, bar);
        pane->setObjectName(name);
        pane->setTextFormat(Qt::PlainText);
        QPalette palette = pane->palette();
        palette.setColor(QPalette::WindowText, QColor(30, 57, 91));
        palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(30, 57, 91));
        pane->setPalette(palette);
        return pane;
    };
    for (int i = 0; i < 3; ++i)
        panes_[i] = makePane(texts[i], QStringLiteral("statusPane%1").arg(i));
    // Pane 0 may be narrower than its text: the text is kept whole, only clipped.
    panes_[0]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bar->addWidget(panes_[0], 1);
    // A store that cannot be written says so for the whole run, whatever the
    // latest status sentence is.
    if (readOnlyStore_) {
        readOnlyPane_ = makePane(QStringLiteral("数据只读"), QStringLiteral("statusReadOnly"));
        readOnlyPane_->setToolTip(QStringLiteral("数据目录不能写入，数据以只读方式打开，只能查看，不能修改"));
        readOnlyPane_->setFixedWidth(readOnlyPane_->sizeHint().width() + 8);
        bar->addPermanentWidget(readOnlyPane_);
    }
    bar->addPermanentWidget(panes_[1]);
    bar->addPermanentWidget(panes_[2]);
    setPaneText(1, texts[1]);
    setPaneText(2, texts[2]);
}

void CMainFrame::setPaneText(int pane, const QString& text) {
    QLabel* label = panes_[pane];
    label->setText(text);
    if (pane == 0) return;
    // The planned widths hold the labels alone; a user's name or the longest
    // role name needs more, and is never cut.
    const int needed = label->fontMetrics().horizontalAdvance(text) + 2 * label->margin() +
                       2 * label->frameWidth() + label->fontMetrics().averageCharWidth();
    label->setFixedWidth(std::max(kPlannedWidth[pane], needed));
    layoutPanes();
}

int CMainFrame::paneReserve() const {
    int reserve = kBarReserve;
    for (int i = 1; i < 3; ++i)
        reserve += panes_[i] ? panes_[i]->minimumWidth() : kPlannedWidth[i];
    if (readOnlyPane_) reserve += readOnlyPane_->minimumWidth();
    return reserve;
}

void CMainFrame::layoutPanes() {
    if (!panes_[0]) return;
    const int w = width() - paneReserve();
    panes_[0]->setMaximumWidth(std::max(0, w));
}

int CMainFrame::paneWidth(int pane) const {
    if (pane < 0 || pane > 2 || !panes_[pane]) return 0;
    // Pane 0 is planned as the client width less the reserve, which may be below zero.
    return pane == 0 ? width() - paneReserve() : panes_[pane]->width();
}

QString CMainFrame::paneText(int pane) const {
    return pane >= 0 && pane <= 2 && panes_[pane] ? panes_[pane]->text() : QString();
}

void CMainFrame::buildRibbon() {
    ribbon_ = new Ribbon(this);
    setMenuWidget(ribbon_);
    connect(ribbon_, &Ribbon::command, this, &CMainFrame::onCommand);
    connect(ribbon_, &Ribbon::tabSelected, this, &CMainFrame::tabClicked);
    // A tab no page registered for is not offered at all.
    for (int i = 0; i < ribbon_->tabCount(); ++i)
        ribbon_->setTabVisible(i, registry_.forTab(ribbon_->tabText(i)) != nullptr);
    state_.watchCatalog([this] { refillCatalogControls(); });
    refillCatalogControls();
    // Nothing but the login page can be used before a login.
    enableNoTab();
}

void CMainFrame::restoreLayout() {
    QSettings settings;
    settings.beginGroup(QStringLiteral("CommandBars"));
    const QByteArray geometry = settings.value(QStringLiteral("geometry")).toByteArray();
    if (!geometry.isEmpty()) restoreGeometry(geometry);
    const QByteArray windowState = settings.value(QStringLiteral("state")).toByteArray();
    if (!windowState.isEmpty()) restoreState(windowState);
    settings.endGroup();
}

void CMainFrame::saveLayout() {
    QSettings settings;
    settings.beginGroup(QStringLiteral("CommandBars"));
    settings.setValue(QStringLiteral("geometry"), saveGeometry());
    settings.setValue(QStringLiteral("state"), saveState());
    settings.setValue(QStringLiteral("ribbonTab"), ribbon_ ? ribbon_->currentTab() : 0);
    settings.endGroup();
}

void CMainFrame::showLogonPage() {
    viewEntry_ = nullptr;
    switchPage(&CLogonView::staticMetaObject,
               [this](Shell&, QWidget* p) -> CPage* { return new CLogonView(*this, *this, p); });
    setPage(tabs::Login);
}

bool CMainFrame::switchPage(const QMetaObject* meta, const std::function<CPage*(Shell&, QWidget*)>& make) {
    if (view_ && view_->metaObject() == meta) return true;
    CPage* old = view_;
    CPage* fresh = make ? make(*this, pageHolder_) : nullptr;
    if (!fresh) return false;
    pageLayout_->addWidget(fresh);
    view_ = fresh;
    fresh->show();
    fresh->initialUpdate();
    destroyView(old);
    return true;
}

void CMainFrame::destroyView(CPage* old) {
    if (!old) return;
    pageLayout_->removeWidget(old);
    old->hide();
    // The old page may be the one whose button got us here (the login panel), so it
    // goes once control has left it.
    old->deleteLater();
}

void CMainFrame::setPage(const QString& page) {
    page_ = page;
    setWindowTitle(QStringLiteral("%1 - %2").arg(appTitle(), page));
    showStatus(QStringLiteral("打开\"%1\"页面").arg(page));
    updateCommands();
}

void CMainFrame::tabClicked(int index) {
    selectTab(ribbon_->tabText(index));
}

void CMainFrame::selectTab(const QString& name) {
    const int index = ribbon_->tabIndex(name);
    const PageEntry* entry = registry_.forTab(name);
    if (index < 0 || !entry) return;
    // The page being left may keep the user where they are (a sale half-rung).
    if (view_ && view_->metaObject() != entry->meta && !view_->mayLeave(Leaving::Tab)) {
        ribbon_->setCurrentTab(ribbon_->tabIndex(page_));
        return;
    }
    // Set before the switch: the new page's initial update may ask what is active.
    const PageEntry* previous = viewEntry_;
    viewEntry_ = entry;
    if (!switchPage(entry->meta, entry->make)) {
        viewEntry_ = previous;
        return;
    }
    // The web tabs share one view, which only navigates.
    if (auto* web = qobject_cast<CInternetView*>(view_))
        web->navigate(web_.forWebTab(tabs::Web.indexOf(name)));
    ribbon_->setCurrentTab(index);
    setPage(name);
}

void CMainFrame::enableNoTab() {
    for (int i = 0; i < ribbon_->tabCount(); ++i)
        ribbon_->setTabEnabled(i, false);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (closed_) {
        event->accept();
        return;
    }
    if (created_ && !mayLeave(Leaving::Close)) {
        event->ignore();
        return;
    }
    closed_ = true;
    if (created_) saveLayout();
    for (BlinkingReminder* r : reminders_) r->stopBlinking();
    refreshTimer_.stop();
    CPage* old = view_;
    view_ = nullptr;
    viewEntry_ = nullptr;
    page_.clear();
    if (created_) {
        // The store closes once the page is really gone, since a page may still
        // reach it on its way out; the page itself goes once control has left it.
        if (old)
            connect(old, &QObject::destroyed, this, [this] { state_.core.close(); });
        else
            state_.core.close();
    }
    destroyView(old);
    dateTimer_.stop();
    event->accept();
    emit closed();
}

bool CMainFrame::mayLeave(Leaving why) {
    if (view_ && !view_->mayLeave(why)) return false;
    for (const auto& check : registry_.leaveChecks())
        if (!check(*this, this, why)) return false;
    return true;
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    layoutPanes();
}

void CMainFrame::endProgram() {
    close();
}

void CMainFrame::openSalesCounter() {
    selectTab(tabs::Counter);
}

// --- Shell -------------------------------------------------------------------

AppState& CMainFrame::state() {
    return state_;
}

void CMainFrame::showStatus(const QString& text) {
    status_ = text;
    if (panes_[0]) {
        panes_[0]->setText(QStringLiteral("  ") + text);
        panes_[0]->setToolTip(text);
    }
}

void CMainFrame::reportFailure(const QString& text) {
    showStatus(text);
    errorBox(this, text);
}

QString CMainFrame::ribbonText(int id) const {
    return ribbon_ ? ribbon_->text(id) : QString();
}
void CMainFrame::setRibbonText(int id, const QString& text) {
    if (ribbon_) ribbon_->setText(id, text);
}
int CMainFrame::ribbonIndex(int id) const {
    return ribbon_ ? ribbon_->index(id) : -1;
}
void CMainFrame::setRibbonIndex(int id, int index) {
    if (ribbon_) ribbon_->setIndex(id, index);
}
void CMainFrame::setRibbonCaption(int id, const QString& caption) {
    if (ribbon_) ribbon_->setCaption(id, caption);
}

void CMainFrame::setRibbonItems(int id, const QStringList& items) {
    if (ribbon_) ribbon_->setItems(id, items);
}

void CMainFrame::refillCatalogControls() {
    if (!ribbon_) return;
    for (const auto& watch : registry_.catalogWatches())
        watch(*this);
}

} // namespace vorn::ui
