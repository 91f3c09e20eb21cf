// The stock alarm dialog (库存报警): the codes whose stock is below the limit, and
// the limit itself. Opened by the alarm button of the sales counter.
#pragma once

#include <QDialog>

class QKeyEvent;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace vorn::ui {

class Shell;

class CSaleAlarmDlg : public QDialog {
    Q_OBJECT
public:
    // count: the alarm count of the last check; the list is loaded only when it is
    // above 0. limit: the limit in force, shown in the edit.
    CSaleAlarmDlg(Shell& shell, int count, int limit, QWidget* parent = nullptr);

    // The limit in force: the one handed over, or the one saved.
    int limit() const { return limit_; }

    QLineEdit* limitEdit() const { return limitEdit_; }
    QTableWidget* list() const { return list_; }

public slots:
    // "保存" or Enter: stores the typed limit and closes with OK; a text that is
    // no integer keeps the dialog open.
    void save();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void loadRows();
    void focusLimit();

    Shell& shell_;
    int limit_;

    QLineEdit* limitEdit_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QTableWidget* list_ = nullptr;
};

} // namespace vorn::ui
