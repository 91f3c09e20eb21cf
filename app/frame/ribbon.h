// The ribbon: a row of tab buttons over one panel per tab, each panel a row of
// groups of controls, all built from ribbonTable(). Every control carries its
// command id; using a control emits command(id). Which controls are enabled or
// checked is decided by the owner (setCommandState), never by the ribbon itself.
#pragma once

#include <QIcon>
#include <QWidget>
#include <map>
#include <vector>

class QAbstractButton;
class QAction;
class QButtonGroup;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QStackedWidget;
class QToolButton;
class QVBoxLayout;

namespace vorn::ui {

struct RibbonControl;
struct RibbonGroup;

class Ribbon : public QWidget {
    Q_OBJECT
public:
    explicit Ribbon(QWidget* parent = nullptr);

    int tabCount() const;
    int currentTab() const;
    // Shows the tab's panel without emitting tabSelected.
    void setCurrentTab(int index);
    // A hidden tab (one no page fills) is never enabled.
    bool isTabEnabled(int index) const;
    void setTabEnabled(int index, bool enabled);
    bool isTabVisible(int index) const;
    void setTabVisible(int index, bool visible);
    QString tabText(int index) const;
    // Index of the tab with that name, -1 for none.
    int tabIndex(const QString& name) const;

    // Every command id that has a control or a menu entry, in table order.
    const std::vector<int>& commandIds() const { return ids_; }
    bool hasCommand(int id) const { return items_.count(id) != 0; }
    bool isCommandEnabled(int id) const;
    bool isCommandChecked(int id) const;
    void setCommandState(int id, bool enabled, bool checked);

    // Edit text or drop-down's current text.
    QString text(int id) const;
    void setText(int id, const QString& text);
    // Drop-down's current index, -1 for none or for a control that is no drop-down.
    int index(int id) const;
    void setIndex(int id, int index);
    void setItems(int id, const QStringList& items);
    QStringList items(int id) const;
    QString caption(int id) const;
    void setCaption(int id, const QString& caption);
    void setIcon(int id, const QIcon& icon);
    // The icon a button shows now (null for controls without one).
    QIcon commandIcon(int id) const;

    // The widget standing for the command (button, edit, drop-down, ...), or null.
    QWidget* widget(int id) const;
    // Uses the control as the user would; does nothing while it is disabled.
    void trigger(int id);
    // Selects a tab as a click on it would; does nothing for a disabled tab.
    void clickTab(int index);
    void clickTab(const QString& name) { clickTab(tabIndex(name)); }

    // The icon of a resource name under :/icons/.
    static QIcon icon(const char* name);

signals:
    void command(int id);
    void tabSelected(int index);

private:
    struct Item {
        int kind = 0;
        QAbstractButton* button = nullptr;
        QLineEdit* edit = nullptr;
        QComboBox* combo = nullptr;
        QLabel* label = nullptr; // label of an edit or drop-down, or the plain text
        QAction* action = nullptr;
        QWidget* widget = nullptr;
    };

    QWidget* buildPanel(int tab);
    QWidget* buildGroup(const RibbonGroup& group);
    QWidget* buildLarge(const RibbonControl& c);
    QWidget* buildSmall(const RibbonControl& c);
    void add(int id, Item item);

    QWidget* tabRow_ = nullptr;
    QButtonGroup* tabs_ = nullptr;
    std::vector<QToolButton*> tabButtons_;
    QStackedWidget* panels_ = nullptr;
    std::map<int, Item> items_;
    std::vector<int> ids_;
};

} // namespace vorn::ui
