// The ribbon as data: the tabs by name, their groups and controls in order, each
// control with its command id (its caption is the string of that id). The ribbon
// widget is built from this table and the command enabling reads it too. Which
// page fills a tab and carries out its commands is the page's registration
// (kit/page/pageregistry.h); the table only lays the controls out.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace vorn::ui {

enum class RibbonKind {
    Large,      // 32 px icon above the caption
    LargePopup, // large button opening a menu of commands
    Small,      // 16 px icon beside the caption
    SmallText,  // caption only
    Check,
    Radio,
    Edit,   // label (the caption) and a line edit
    Combo,  // label (the caption) and a drop-down list
    Label,  // plain text (hint lines)
    Spacer, // the blank string 104
    Break,  // starts a new column of small controls (layout only)
};

// When a command can be used.
enum class RibbonScope {
    Page,   // only while its tab's page is the active view (plus the page's own condition)
    Always, // on any page
    Global, // on any page, while a condition registered with the frame holds
};

struct RibbonControl {
    RibbonKind kind;
    int id = 0;                 // command id; 0 for a Break
    int width = 0;              // pixels of the input or button; 0 for its natural width
    const char* icon = nullptr; // resource name under :/icons/ (no extension)
    std::vector<int> menu;      // commands of a pop-up button
    QStringList items;          // fixed entries of a drop-down list
    RibbonScope scope = RibbonScope::Page;
};

struct RibbonGroup {
    std::vector<RibbonControl> controls;
};

struct RibbonTab {
    QString name;       // caption of the tab and name of its page (res/tabs.h)
    bool alwaysEnabled; // commands of the tab work on any page (web and about tabs)
    bool everyRole;     // salespeople use it too; otherwise administrators and shop owners only
    std::vector<RibbonGroup> groups;
};

const std::vector<RibbonTab>& ribbonTable();
// The tab of that name, or nullptr.
const RibbonTab* ribbonTab(const QString& name);

// Where a command sits: tab index and control, or nullptr / -1 when the table has
// no such command (menu items report their pop-up button's tab).
const RibbonControl* findRibbonControl(int id, int* tabIndex = nullptr);

// Name of the tab whose page must be active for the command; empty when it works
// on any page (always or by a global condition) and for an unknown id.
QString commandTab(int id);
RibbonScope commandScope(int id);

} // namespace vorn::ui
