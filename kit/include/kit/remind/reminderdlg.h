// The dialog behind a reminder's blinking button: the limit in an edit with
// "保存", and below it the things the reminder counts. The subsystem that owns
// the reminder gives the texts, the columns, the rows for a limit and the
// limit's rule; the dialog is the same for all of them.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QBoxLayout;
class QKeyEvent;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace vorn {
class Core;
}

namespace vorn::ui {

class Shell;

class CReminderDlg;

struct ReminderColumn {
    QString caption;
    int width;
    Qt::Alignment alignment;
};

struct ReminderRow {
    QStringList cells; // one text per column
    bool bold = false; // drawn in bold (a birthday today)
};

struct ReminderView {
    QString objectName; // of the dialog
    QString title;
    QString listName;   // object name of the list
    QString before;     // the texts left and right of the limit's edit
    QString after;
    std::vector<ReminderColumn> columns;
    int limitChars = 12; // typed into the edit; a longer stored limit is still shown whole
    int editWidth = 96;
    bool gridLines = true; // else lines between the columns only
    // The rows for a limit; after a failed read the rows read so far.
    std::function<std::vector<ReminderRow>(vorn::Core&, int limit)> rows;
    // The failure sentence for a limit that is an integer but not allowed; empty
    // for one that is.
    std::function<QString(int limit)> refusal;
    // Stores an allowed limit; false when the store did not take it (a full
    // disk, a read-only file): the dialog then reports storeFailure and stays.
    std::function<bool(vorn::Core&, int limit)> store;
    QString storeFailure;
    // Controls of the reminder's own under the list (none when empty), added
    // once the list exists; they may call the dialog's reload().
    std::function<void(CReminderDlg&, QBoxLayout* below)> addControls;
};

class CReminderDlg : public QDialog {
    Q_OBJECT
public:
    // count: the reminder's count of the last check; the rows are read only when
    // it is above 0. limit: the limit in force, shown in the edit.
    CReminderDlg(Shell& shell, ReminderView view, int count, int limit, QWidget* parent = nullptr);

    // The limit in force: the one handed over, or the one saved.
    int limit() const { return limit_; }

    QLineEdit* limitEdit() const { return limitEdit_; }
    QTableWidget* list() const { return list_; }
    Shell& shell() const { return shell_; }

    // Reads the rows again for the limit in force (after something they depend
    // on changed), keeping the chosen row where it still exists.
    void reload();

public slots:
    // "保存" or Enter: stores an allowed typed limit and closes with OK; a text
    // that is no integer, or a refused limit, keeps the dialog open.
    void save();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void loadRows();
    void focusLimit();

    Shell& shell_;
    ReminderView view_;
    int limit_;

    QLineEdit* limitEdit_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QTableWidget* list_ = nullptr;
};

} // namespace vorn::ui
