// Where the pages of the subsystems plug into the main window. Each subsystem
// exports one registration call that adds its pages (and its reminders) here;
// the frame reads the registry to build the views of its ribbon tabs and to
// route commands. A page's entry is the one place that says which tab it fills
// (by the tab's name, res/tabs.h) and which ribbon commands it carries out; the
// ribbon table only lays the controls out. A tab no page registered for stays
// hidden. Adding a page touches its own folder and one line in the program's
// list of registrations.
#pragma once

#include <QMetaObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "kit/page/page.h"

class QWidget;

namespace vorn::ui {

class Shell;
class ReminderSource;

struct PageEntry {
    QString tab;                        // the ribbon tab's name, e.g. tabs::Goods
    const QMetaObject* meta = nullptr;  // the page's class: a tab whose view already is of
                                        // this class keeps it (the web tabs only navigate)
    std::function<CPage*(Shell&, QWidget*)> make;
    std::vector<int> commands;          // ribbon commands the page carries out

    bool serves(int id) const;
};

class PageRegistry {
public:
    // A later entry for the same tab replaces the earlier one.
    void addPage(PageEntry entry);
    // Convenience for the usual case: page class P constructed as P(shell, parent).
    template <class P> void addPage(const QString& tab, std::vector<int> commands) {
        addPage(PageEntry{tab, &P::staticMetaObject,
                          [](Shell& s, QWidget* parent) -> CPage* { return new P(s, parent); },
                          std::move(commands)});
    }

    // A blinking reminder of the sales counter (stock alarm, birthdays): the frame
    // hosts its two ribbon buttons and asks the source for everything else.
    // Called once per main window, so each window has fresh reminder state.
    void addReminder(std::function<std::unique_ptr<ReminderSource>()> factory);

    // Asked before another user logs in and before the program closes, whichever
    // page is shown, once the page itself agreed (CPage::mayLeave): a subsystem's
    // unfinished business that outlives its page (a cashier's open shift). False
    // keeps the user and the program as they are.
    using LeaveCheck = std::function<bool(Shell&, QWidget* parent, Leaving why)>;
    void addLeaveCheck(LeaveCheck check) { leaveChecks_.push_back(std::move(check)); }
    const std::vector<LeaveCheck>& leaveChecks() const { return leaveChecks_; }

    // Run with the main window once its ribbon exists and after every reload of
    // the goods types and suppliers (AppState::watchCatalog): a subsystem
    // refills the ribbon controls that offer them.
    using CatalogWatch = std::function<void(Shell&)>;
    void addCatalogWatch(CatalogWatch watch) { catalogWatches_.push_back(std::move(watch)); }
    const std::vector<CatalogWatch>& catalogWatches() const { return catalogWatches_; }

    const PageEntry* forTab(const QString& tab) const;
    const std::vector<PageEntry>& pages() const { return pages_; }
    const std::vector<std::function<std::unique_ptr<ReminderSource>()>>& reminders() const {
        return reminders_;
    }

private:
    std::vector<PageEntry> pages_;
    std::vector<std::function<std::unique_ptr<ReminderSource>()>> reminders_;
    std::vector<LeaveCheck> leaveChecks_;
    std::vector<CatalogWatch> catalogWatches_;
};

} // namespace vorn::ui
