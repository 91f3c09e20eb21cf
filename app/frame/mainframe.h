// The main window: the ribbon, one page at a time, the three-pane status bar
// and the program-wide timers. It opens the store before showing anything and
// closes it when it closes.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <map>

#include "frame/loginhost.h"
#include "frame/webaddresses.h"
#include "frame/webwindow.h"
#include "kit/page/appstate.h"
#include "kit/page/frameservices.h"
#include "kit/page/pageregistry.h"
#include "kit/page/shell.h"

class QLabel;
class QUrl;
class QVBoxLayout;

namespace vorn::ui {

class BlinkingReminder;
class CPage;
class Ribbon;

class CMainFrame : public QMainWindow, public Shell, public FrameServices, public LoginHost {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Opens the store, loads the lists and settings, builds the status bar and the
    // ribbon and shows the login page. False when the store cannot be opened (a line
    // on stderr names the file and the SQLite code); the program then ends.
    bool create();
    // Before create(): opens the store for reading only, as for a data directory
    // that takes no new file; the status bar then says so for the whole run.
    void setReadOnlyStore(bool on) { readOnlyStore_ = on; }
    bool readOnlyStore() const { return readOnlyStore_; }

    // --- pages ---------------------------------------------------------------
    // Name of the page shown: the tab's name, or tabs::Login before a login.
    QString currentPage() const { return page_; }
    CPage* view() const { return view_; }
    Ribbon* ribbon() const { return ribbon_; }
    // Tab selection by name (res/tabs.h): switches the page (the same page class
    // keeps its view, web tabs only navigate), then sets the page, title and status
    // message. A tab no page fills, or no tab of that name, changes nothing.
    void selectTab(const QString& name);

    // --- commands --------------------------------------------------------------
    // Carries out a ribbon command: the frame's own, or the active page's.
    void onCommand(int id);
    // The one place that decides a command's state.
    bool isEnabled(int id) const;
    bool isChecked(int id) const;

    // --- status bar -------------------------------------------------------------
    QString paneText(int pane) const;
    int paneWidth(int pane) const;

    // --- web and help ------------------------------------------------------------
    void openExternal(const QString& address);
    void openHelp();
    const WebAddresses& webAddresses() const { return web_; }
    // The program's own browser window, once something was shown in it.
    CWebWindow* webWindow() const { return webWindow_; }

    // --- login -------------------------------------------------------------------
    int failedLogins() const { return failedLogins_; }
    // Opens the switch dialog (command 124).
    void switchUser();

    // Shell
    AppState& state() override;
    QWidget* window() override { return this; }
    void showStatus(const QString& text) override;
    QString statusText() const override { return status_; }
    void reportFailure(const QString& text) override;
    void updateCommands() override;
    QString ribbonText(int id) const override;
    void setRibbonText(int id, const QString& text) override;
    int ribbonIndex(int id) const override;
    void setRibbonIndex(int id, int index) override;
    void setRibbonCaption(int id, const QString& caption) override;
    void setRibbonItems(int id, const QStringList& items) override;
    // Runs the subsystems' catalog watches (PageRegistry::addCatalogWatch).
    void refillCatalogControls();

    // FrameServices
    void startDateWatch() override;
    void stopDateWatch() override;
    bool dateWatchRunning() const override { return dateTimer_.isActive(); }
    BlinkingReminder* reminder(int buttonCommand) override;
    void runReminderCheck(int buttonCommand = 0) override;
    void setGlobalCommand(int id, std::function<bool()> enabled, std::function<void()> run) override;

    // LoginHost
    int login(const QString& name, const QString& password) override;
    void openSalesCounter() override;
    void endProgram() override;

    // Timer 3's work: each reminder whose day moved on is checked again.
    void dateWatchTick();
    // The pages and reminders every window of the program has.
    const PageRegistry& registry() const { return registry_; }

signals:
    // The window closed: the layout is saved and the store closed.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct GlobalCommand {
        std::function<bool()> enabled;
        std::function<void()> run;
    };

    bool startData();
    // Sales made before the journal existed go into it, once, before anybody works.
    void recoverHistory();
    void buildStatusBar();
    void buildRibbon();
    void restoreLayout();
    void saveLayout();
    void showLogonPage();
    bool switchPage(const QMetaObject* meta, const std::function<CPage*(Shell&, QWidget*)>& make);
    void setPage(const QString& page);
    // The shown page and the subsystems' leave checks agree to `why`.
    bool mayLeave(Leaving why);
    // A click on the ribbon's tab of that index.
    void tabClicked(int index);
    void destroyView(CPage* old);
    // Whether the active view is the page that hosts this command's button.
    bool hostsCommand(int id) const;
    BlinkingReminder* reminderForToggle(int id) const;
    void buildReminders();
    void toggleReminder(BlinkingReminder& reminder);
    void enableTabsForRole(int auth);
    void enableNoTab();
    void layoutPanes();
    // Sets a pane's text, widening the pane (never below its planned width) so
    // the text stays whole.
    void setPaneText(int pane, const QString& text);
    int paneReserve() const;
    // Shows the address in the program's own browser window; false where there is none.
    bool showInOwnBrowser(const QUrl& url, const QString& title);

    Ribbon* ribbon_ = nullptr;
    QWidget* pageHolder_ = nullptr;
    QVBoxLayout* pageLayout_ = nullptr;
    CPage* view_ = nullptr;
    const PageEntry* viewEntry_ = nullptr; // registry entry of the view; null for the login page
    QString page_;
    PageRegistry registry_;
    std::vector<BlinkingReminder*> reminders_; // children of the frame

    QLabel* panes_[3] = {nullptr, nullptr, nullptr};
    QLabel* readOnlyPane_ = nullptr; // only while the store is read-only
    bool readOnlyStore_ = false;
    QPointer<CWebWindow> webWindow_;
    QString status_;
    // A failure of the start that the login page's status line repeats.
    QString startNote_;

    // Timer 3 watches the date while the sales counter exists; the reminders blink
    // with timers of their own.
    QTimer dateTimer_;
    QTimer refreshTimer_;

    WebAddresses web_;
    QString supportUrl_;
    int failedLogins_ = 0;
    std::map<int, GlobalCommand> globals_;
    bool created_ = false;
    // The window's own state: a second window (a test's) starts afresh. Pages go in
    // the destructor's body, before any member, since they use it on their way out.
    AppState state_;
    bool closed_ = false;
};

} // namespace vorn::ui
