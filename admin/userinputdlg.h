// The user accounts dialog "用户管理": the people who may log in. Additions,
// removals and new passwords are collected while it is open and written in one
// transaction by "保存", passwords as their hashes. The built-in administrator
// (the first entry) and the user logged in now cannot be removed; a password
// is changed with "修改密码", an administrator's only by an administrator.
// Passwords are typed hidden ("显示" shows them) and a stored one is never
// put back into the form. Below, the latest refused password checks.
#pragma once

#include <QDialog>

#include "userchanges.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;

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
    QCheckBox* showPasswordBox() const { return showPassword_; }
    // Time, name and place of each refusal, newest first.
    QTreeWidget* failureList() const { return failures_; }

    // How many refusals the list shows at most.
    static constexpr int kFailuresShown = 8;

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
    // Name and authority; the password only when it is one typed in this
    // dialog (a pending addition), else the field is emptied.
    void fillForm(const vorn::URec& user, bool withPassword);
    void loadFailures();
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
    QCheckBox* showPassword_ = nullptr;
    QTreeWidget* failures_ = nullptr;
};

} // namespace vorn::ui
