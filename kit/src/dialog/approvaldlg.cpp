#include "kit/dialog/approvaldlg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "kit/dialog/passwordcheck.h"

namespace vorn::ui {

CApprovalDlg::CApprovalDlg(AppState& state, const QString& reason, QWidget* parent)
    : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("approvalDlg"));
    setWindowTitle(QStringLiteral("授权"));
    setModal(true);

    auto* caption = new QLabel(QStringLiteral("\"%1\"需要管理员或店主授权，请输入授权人的用户名和密码").arg(reason), this);
    caption->setObjectName(QStringLiteral("approvalCaption"));
    caption->setWordWrap(true);
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("approverName"));
    password_ = new QLineEdit(this);
    password_->setObjectName(QStringLiteral("approverPassword"));
    password_->setEchoMode(QLineEdit::Password);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("approvalMessage"));
    message_->setWordWrap(true);
    message_->setStyleSheet(QStringLiteral("color: #c0392b;"));

    ok_ = new QPushButton(QStringLiteral("授权"), this);
    ok_->setObjectName(QStringLiteral("okButton"));
    ok_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    connect(ok_, &QPushButton::clicked, this, &CApprovalDlg::onOk);
    connect(cancel, &QPushButton::clicked, this, &CApprovalDlg::onCancel);
    // Enter in the name goes on to the password; in the password it approves.
    connect(name_, &QLineEdit::returnPressed, password_, qOverload<>(&QWidget::setFocus));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("用户名:"), name_);
    form->addRow(QStringLiteral("密  码:"), password_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(16, 14, 16, 12);
    outer->addWidget(caption);
    outer->addLayout(form);
    outer->addWidget(message_);
    outer->addLayout(buttons);
    setMinimumWidth(400);
    name_->setFocus();
}

QString CApprovalDlg::message() const {
    return message_->text();
}

void CApprovalDlg::refuse(const QString& text) {
    message_->setText(text);
    password_->clear();
    password_->setFocus();
}

void CApprovalDlg::onOk() {
    const QString name = name_->text();
    if (name.isEmpty()) {
        message_->setText(QStringLiteral("请输入授权人的用户名"));
        name_->setFocus();
        return;
    }
    const PasswordCheck check = checkPassword(state_, name, password_->text(), QStringLiteral("授权"));
    switch (check.verdict) {
    case PasswordVerdict::Waiting:
        refuse(waitMessage(name, check.waitSeconds));
        return;
    case PasswordVerdict::Refused:
        refuse(QStringLiteral("用户名或密码不正确，未获授权"));
        return;
    case PasswordVerdict::Accepted:
        break;
    }
    // The password was right, so the name's count starts again whatever its
    // role: only the approval is refused.
    if (!mayApprove(check.user.FUi_Auth)) {
        refuse(QStringLiteral("用户\"%1\"不是管理员或店主，无权授权").arg(name));
        return;
    }
    approver_ = name;
    message_->clear();
    accept();
}

void CApprovalDlg::onCancel() {
    approver_.clear();
    reject();
}

} // namespace vorn::ui
