#include "frame/loginfields.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "frame/login.h"
#include "kit/page/appstate.h"
#include "kit/text/gbklimit.h"

namespace vorn::ui {

LoginFields::LoginFields(QWidget* owner, QGridLayout* grid, AppState& state) {
    auto* nameLabel = new QLabel(QStringLiteral("用户名:"), owner);
    name_ = new QComboBox(owner);
    name_->setObjectName(QStringLiteral("nameCombo"));
    name_->setEditable(true);
    // Typing a name must never add it to the list of accounts.
    name_->setInsertPolicy(QComboBox::NoInsert);
    // Names are compared exactly: the default completer would swap "ADMIN" for a
    // listed "admin" as the user presses Enter.
    name_->setCompleter(nullptr);
    name_->lineEdit()->setMaxLength(kMaxLength);
    limitGbk(name_, kMaxLength); // the column counts GBK bytes: 14 Chinese characters
    nameLabel->setBuddy(name_);

    auto* passwordLabel = new QLabel(QStringLiteral("密码:"), owner);
    password_ = new QLineEdit(owner);
    password_->setObjectName(QStringLiteral("passwordEdit"));
    password_->setEchoMode(QLineEdit::Password);
    password_->setMaxLength(kMaxLength);
    limitGbk(password_, kMaxLength);
    passwordLabel->setBuddy(password_);

    grid->addWidget(nameLabel, 0, 0, Qt::AlignRight);
    grid->addWidget(name_, 0, 1);
    grid->addWidget(passwordLabel, 1, 0, Qt::AlignRight);
    grid->addWidget(password_, 1, 1);

    loadAllUsers(state.core, state.users);
    name_->addItems(userNames(state.users));
    name_->setCurrentIndex(-1);
    name_->clearEditText();
}

QString LoginFields::name() const {
    return name_->currentText();
}
QString LoginFields::password() const {
    return password_->text();
}

void LoginFields::focusName() {
    name_->setFocus(Qt::OtherFocusReason);
    name_->lineEdit()->selectAll();
}

} // namespace vorn::ui
