// The name and password inputs shared by the login panel and the switch dialog:
// "用户名:" with an editable drop-down of every user name, "密码:" with a
// password edit, both limited to 28 characters, nothing filled in beforehand.
#pragma once

#include <QString>

class QComboBox;
class QGridLayout;
class QLineEdit;
class QWidget;

namespace vorn::ui {

struct AppState;

class LoginFields {
public:
    // Adds the two rows to `grid` (children of `owner`) and loads the user names
    // from the store of `state` into its users list.
    LoginFields(QWidget* owner, QGridLayout* grid, AppState& state);

    QString name() const;
    QString password() const;
    void focusName();

    QComboBox* nameBox() const { return name_; }
    QLineEdit* passwordEdit() const { return password_; }

    static constexpr int kMaxLength = 28;

private:
    QComboBox* name_;
    QLineEdit* password_;
};

} // namespace vorn::ui
