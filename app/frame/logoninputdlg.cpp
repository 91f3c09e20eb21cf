#include "frame/logoninputdlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "frame/loginhost.h"

namespace vorn::ui {

CLogonInputDlg::CLogonInputDlg(LoginHost& host, QWidget* parent) : QFrame(parent), host_(host) {
    setObjectName(QStringLiteral("logonPanel"));
    setAttribute(Qt::WA_StyledBackground);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 16);
    outer->setSpacing(14);

    auto* header = new QLabel(QStringLiteral("用户登录"), this);
    header->setObjectName(QStringLiteral("logonHeader"));
    outer->addWidget(header);

    auto* grid = new QGridLayout;
    grid->setContentsMargins(28, 4, 36, 0);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(12);
    fields_ = std::make_unique<LoginFields>(this, grid, host_.state());
    grid->setColumnStretch(1, 1);
    outer->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(28, 6, 36, 0);
    buttons->addStretch(1);
    auto* login = new QPushButton(QStringLiteral("登录"), this);
    login->setObjectName(QStringLiteral("loginButton"));
    auto* quit = new QPushButton(QStringLiteral("退出程序"), this);
    quit->setObjectName(QStringLiteral("quitButton"));
    buttons->addWidget(login);
    buttons->addWidget(quit);
    outer->addLayout(buttons);

    connect(login, &QPushButton::clicked, this, &CLogonInputDlg::onLogin);
    connect(quit, &QPushButton::clicked, this, &CLogonInputDlg::onQuit);

    setFixedSize(360, 210);
    fields_->focusName();
}

CLogonInputDlg::~CLogonInputDlg() = default;

void CLogonInputDlg::onLogin() {
    const int result = host_.login(fields_->name(), fields_->password());
    if (result == 1) {
        host_.openSalesCounter();
    } else if (result < 0) {
        host_.endProgram();
    } else {
        // Both texts stay as typed, so a slip can be corrected.
        fields_->focusName();
    }
}

void CLogonInputDlg::onQuit() {
    host_.endProgram();
}

void CLogonInputDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        onLogin();
        return;
    case Qt::Key_Escape:
        event->accept();
        onQuit();
        return;
    default:
        QFrame::keyPressEvent(event);
    }
}

void CLogonInputDlg::showEvent(QShowEvent* event) {
    QFrame::showEvent(event);
    fields_->focusName();
}

} // namespace vorn::ui
