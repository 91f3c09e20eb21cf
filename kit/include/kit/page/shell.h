// What a page, panel or dialog may ask of the main window. CMainFrame implements
// it; tests may implement it with a small fake.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace vorn::ui {

struct AppState;

class Shell {
public:
    virtual ~Shell() = default;

    virtual AppState& state() = 0;
    virtual QWidget* window() = 0;

    // Pane 0 of the status bar: two blanks and the text.
    virtual void showStatus(const QString& text) = 0;
    virtual QString statusText() const = 0;
    // A failure: the status message and then the error box with the same text.
    virtual void reportFailure(const QString& text) = 0;
    // Re-evaluates which commands are enabled or checked (after a selection
    // change, a panel shown or hidden, and so on).
    virtual void updateCommands() = 0;

    // Ribbon controls by command id. The ribbon keeps these values across page
    // switches (the search inputs live on the main window, not on a page).
    virtual QString ribbonText(int id) const = 0;       // edit text, or combo's current text
    virtual void setRibbonText(int id, const QString& text) = 0;
    virtual int ribbonIndex(int id) const = 0;          // combo's current index, -1 for none
    virtual void setRibbonIndex(int id, int index) = 0;
    virtual void setRibbonCaption(int id, const QString& caption) = 0; // button caption
    // A drop-down list's choices; none chosen afterwards.
    virtual void setRibbonItems(int id, const QStringList& items) = 0;
};

} // namespace vorn::ui
