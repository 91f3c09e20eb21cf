// "班次记录" on the journal tab: the shifts of a date span grouped by day, the
// newest day first; any shift's 交班单 or (for administrators and shop owners)
// any day's 日结 opens again, to look at or print.
#pragma once

#include <QDate>
#include <QDialog>
#include <vector>

#include "kit/dialog/dialogrunner.h"
#include "vorn/shifts.h"

class QDateEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace vorn::ui {

class Shell;

class CPastShiftsDlg : public QDialog {
    Q_OBJECT
public:
    // The span from..to, both days included.
    CPastShiftsDlg(Shell& shell, QDate from, QDate to, DialogRunner runner, QWidget* parent = nullptr);

    QDateEdit* fromEdit() const { return from_; }
    QDateEdit* toEdit() const { return to_; }
    QTreeWidget* tree() const { return tree_; }
    QPushButton* openButton() const { return open_; }
    bool loaded() const { return loaded_; }
    const std::vector<vorn::ShiftRecord>& shifts() const { return shifts_; }

public slots:
    void reload();
    // Opens the chosen row: a shift's 交班单 or a day's 日结.
    void onOpen();

private:
    Shell& shell_;
    DialogRunner runner_;
    QDateEdit* from_ = nullptr;
    QDateEdit* to_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    QPushButton* open_ = nullptr;
    bool loaded_ = false;
    std::vector<vorn::ShiftRecord> shifts_;
};

void pastShifts(Shell& shell, const DialogRunner& runner);

} // namespace vorn::ui
