// The main window: the ribbon, one page at a time, the three-pane status bar
// and the program-wide timers. It opens the store before showing anything and
// closes it when it closes.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <map>

#include "frame/loginhost.h"
#include "frame/webaddresses.h"
#include "kit/frameservices.h"
#include "kit/shell.h"

class QLabel;
class QVBoxLayout;

namespace vorn::ui {

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

    // --- pages ---------------------------------------------------------------
    int currentPage() const { return page_; }
    CPage* view() const { return view_; }
    Ribbon* ribbon() const { return ribbon_; }
    // Tab selection, 0 to 10: switches the page (the same page class keeps its view,
    // web tabs only navigate), then sets the page number, title and status message.
    void selectTab(int index);

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
    void refillTypeCombo() override;

    // FrameServices
    void startDateWatch() override;
    void stopDateWatch() override;
    bool dateWatchRunning() const override { return dateTimer_.isActive(); }
    void runAlarmCheck() override;
    bool alarmOn() const override { return alarmOn_; }
    int alarmLimit() const override { return alarmLimit_; }
    void setAlarmLimit(int limit) override { alarmLimit_ = limit; }
    int alarmCount() const override { return alarmCount_; }
    void runBirthdayCheck() override;
    bool birthdayOn() const override { return birthOn_; }
    const BirthdayWindow& birthdayWindow() const override { return birthWindow_; }
    void recomputeBirthdayWindow(int limit) override;
    int birthdayCount() const override { return birthCount_; }
    void setBirthdayCondition(BirthdayCondition condition) override {
        birthCondition_ = std::move(condition);
    }
    int statMode() const override { return statMode_; }
    void setGlobalCommand(int id, std::function<bool()> enabled, std::function<void()> run) override;

    // LoginHost
    int login(const QString& name, const QString& password) override;
    void openSalesCounter() override;
    void endProgram() override;
    void resetFailedLogins() override { failedLogins_ = 0; }

    // Blink counters of buttons 201 and 208 (0 while not blinking), and the timers
    // behind them, for whoever needs to know whether a button blinks.
    int alarmBlink() const { return alarmBlink_; }
    int birthdayBlink() const { return birthBlink_; }
    void alarmTick();
    void birthdayTick();
    void dateWatchTick();

signals:
    // The window closed: the layout is saved and the store closed.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct PageKind {
        const QMetaObject* meta;
        std::function<CPage*(CMainFrame&, QWidget*)> make;
    };
    struct GlobalCommand {
        std::function<bool()> enabled;
        std::function<void()> run;
    };

    bool startData();
    void buildStatusBar();
    void buildRibbon();
    void restoreLayout();
    void saveLayout();
    void showLogonPage();
    bool switchPage(const PageKind& kind);
    void setPage(int page);
    void destroyView(CPage* old);
    bool salesViewActive() const;
    void enableTabsForRole(int auth);
    void enableNoTab();
    void toggleAlarm();
    void toggleBirthday();
    void stopAlarmBlink();
    void stopBirthdayBlink();
    void layoutPanes();

    Ribbon* ribbon_ = nullptr;
    QWidget* pageHolder_ = nullptr;
    QVBoxLayout* pageLayout_ = nullptr;
    CPage* view_ = nullptr;
    int page_ = 0;
    std::vector<PageKind> tabKinds_;

    QLabel* panes_[3] = {nullptr, nullptr, nullptr};
    QString status_;

    // Stock alarm (timer 1) and birthday reminder (timer 2); timer 3 watches the date.
    QTimer alarmTimer_;
    QTimer birthdayTimer_;
    QTimer dateTimer_;
    QTimer refreshTimer_;
    bool alarmOn_ = false;
    int alarmLimit_ = 0;
    int alarmCount_ = 0;
    int alarmBlink_ = 0;
    bool birthOn_ = false;
    BirthdayWindow birthWindow_;
    int birthCount_ = 0;
    int birthBlink_ = 0;
    BirthdayCondition birthCondition_;

    WebAddresses web_;
    QString supportUrl_;
    int failedLogins_ = 0;
    int statMode_ = 0;
    std::map<int, GlobalCommand> globals_;
    bool created_ = false;
    bool closed_ = false;
};

} // namespace vorn::ui
