// The user accounts dialog "用户管理": the people who may log in. Additions,
// removals and new passwords are collected while it is open and written in one
// transaction by "保存". The built-in administrator (the first entry) and the
// user logged in now cannot be removed; a password, the administrator's too,
// is changed with "修改密码".
#pragma once

#include <QDialog>

#include "userchanges.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace vorn::ui {

class Shell;

class CUserInputDlg : public QDialog {
    Q_OBJECT
public:
    explicit CUserInputDlg(Shell& shell, QWidget* parent = nullptr);

    // After "保存": the number of changes written, 0 for none, -1 when the write
    // failed. -1 as well when cancelled.
    int changeResult() const { return changeResult_; }
    const UserChanges& changes() const { return changes_; }

    QListWidget* list() const { return list_; }
    QLineEdit* nameEdit() const { return nameEdit_; }
    QLineEdit* passwordEdit() const { return passwordEdit_; }
    QComboBox* authCombo() const { return authCombo_; }
    QPushButton* passwordButton() const { return passwordButton_; }

public slots:
    void addUser();         // "<-"
    void removeSelected();  // "->"
    void changePassword();  // "修改密码": the selected user gets the password of the form
    void save();            // "保存" or Enter
    void reject() override; // "取消" or Escape

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool readForm(vorn::URec& user);
    void fillForm(const vorn::URec& user);
    void focusName();
    // The stored record of id, from the list read when the dialog opened, else
    // from the store; false when there is none.
    bool storedUser(int id, vorn::URec& out);

    Shell& shell_;
    UserChanges changes_;
    int changeResult_ = -1;

    QListWidget* list_ = nullptr;
    QLineEdit* nameEdit_ = nullptr;
    QLineEdit* passwordEdit_ = nullptr;
    QComboBox* authCombo_ = nullptr;
    QPushButton* passwordButton_ = nullptr;
};

} // namespace vorn::ui
