// A page of the main window: the login page, the sales counter, goods, ...
// The frame hands a command to the active page when the page serves it.
#pragma once

#include <QWidget>

namespace vorn::ui {

class Shell;

// Why the page, or the user at it, is about to go: another tab chosen, another
// user logging in, the program closing.
enum class Leaving { Tab, SwitchUser, Close };

class CPage : public QWidget {
    Q_OBJECT
public:
    explicit CPage(Shell& shell, QWidget* parent = nullptr) : QWidget(parent), shell_(shell) {}

    // Run once the page is the active view of the main window (the old page is
    // still there, on its way out).
    virtual void initialUpdate() {}

    // Carries out a ribbon command of this page; false if the page does not serve it.
    virtual bool onCommand(int id) { (void)id; return false; }
    // The page's own further condition for a command it serves (the frame has
    // already checked that this page is active). Default: enabled.
    virtual bool isCommandEnabled(int id) const { (void)id; return true; }
    // Whether a check box or radio of the page is checked.
    virtual bool isCommandChecked(int id) const { (void)id; return false; }

    // Asked before the page goes away or its user changes. A page with unfinished
    // work may ask the user what to do with it; false keeps everything as it is
    // (the user chose to stay). Default: nothing to keep.
    virtual bool mayLeave(Leaving why) { (void)why; return true; }

    // The main window the page serves; commands carried out outside the page
    // class (spreadsheet import and export) report through it too.
    Shell& shell() const { return shell_; }

private:
    Shell& shell_;
};

} // namespace vorn::ui
