#include "frame/changeuserdlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "frame/loginhost.h"

namespace vorn::ui {

CChangeUserDlg::CChangeUserDlg(LoginHost& host, QWidget* parent) : QDialog(parent), host_(host) {
    setObjectName(QStringLiteral("changeUserDlg"));
    setWindowTitle(QStringLiteral("用户切换"));
    setModal(true);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(24, 20, 24, 16);
    outer->setSpacing(14);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(12);
    fields_ = std::make_unique<LoginFields>(this, grid, host_.state());
    grid->setColumnStretch(1, 1);
    outer->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* ok = new QPushButton(QStringLiteral("切换用户"), this);
    ok->setObjectName(QStringLiteral("switchButton"));
    ok->setDefault(true); // Enter switches
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    outer->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &CChangeUserDlg::onSwitch);
    connect(cancel, &QPushButton::clicked, this, &CChangeUserDlg::onCancel);

    setFixedSize(340, 170);
    fields_->focusName();
}

CChangeUserDlg::~CChangeUserDlg() = default;

void CChangeUserDlg::onSwitch() {
    const int result = host_.login(fields_->name(), fields_->password());
    if (result == 1) {
        host_.showStatus(QStringLiteral("当前登录用户\"切换\"成功"));
        accept();
    } else if (result < 0) {
        done(Ended);
        host_.endProgram();
    } else {
        fields_->focusName();
    }
}

void CChangeUserDlg::onCancel() {
    // The failed attempts stay counted: closing the dialog and opening it
    // again must not buy a guesser more tries.
    host_.showStatus(QStringLiteral("放弃用户\"切换\"操作"));
    done(Rejected);
}

void CChangeUserDlg::reject() {
    onCancel();
}

} // namespace vorn::ui
