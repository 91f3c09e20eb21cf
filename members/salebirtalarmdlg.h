// The birthday reminder dialog (会员生日提醒): the members whose birthday lies in
// the reminder window, today's in bold, and the lead in days (0 to 25). Opened
// by the reminder button of the sales counter.
#pragma once

#include <QDialog>
#include <string>

class QKeyEvent;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace vorn::ui {

class Shell;

class CSaleBirtAlarmDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxLimit = 25;

    // count: the reminder count of the last check; the list is loaded only when it
    // is above 0 and `condition` (the window's member condition) is not empty.
    // limit: the lead in force, shown in the edit.
    CSaleBirtAlarmDlg(Shell& shell, int count, int limit, const std::string& condition,
                      QWidget* parent = nullptr);

    // The lead in force: the one handed over, or the one saved.
    int limit() const { return limit_; }

    QLineEdit* limitEdit() const { return limitEdit_; }
    QTableWidget* list() const { return list_; }

public slots:
    // "保存" or Enter: stores a lead of 0 to 25 and closes with OK; anything else
    // is refused and the dialog stays open.
    void save();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void loadRows(const std::string& condition);
    void focusLimit();

    Shell& shell_;
    int limit_;

    QLineEdit* limitEdit_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QTableWidget* list_ = nullptr;
};

} // namespace vorn::ui
