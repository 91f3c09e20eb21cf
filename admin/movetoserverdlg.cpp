#include "movetoserverdlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogparts.h"
#include "servermove.h"

namespace vorn::ui {

CMoveToServerDlg::CMoveToServerDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("moveToServerDlg"));
    setWindowTitle(QStringLiteral("迁移到服务器"));

    auto* intro = new QLabel(QStringLiteral(
        "把本机店铺文件中的全部数据复制到PostgreSQL服务器上的一个空数据库。迁移成功后，重新启动程序即使用"
        "服务器上的数据，多台收银台可以同时使用同一份库存。"));
    intro->setObjectName(QStringLiteral("intro"));
    intro->setWordWrap(true);

    serverEdit_ = new QLineEdit;
    serverEdit_->setObjectName(QStringLiteral("server"));
    serverEdit_->setPlaceholderText(QStringLiteral("host=192.168.1.10 dbname=vornmart user=shop"));
    serverEdit_->setMinimumWidth(340);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->addWidget(fieldLabel(QStringLiteral("服务器:")), 0, 0);
    grid->addWidget(serverEdit_, 0, 1);
    grid->setColumnStretch(1, 1);

    auto* how = hint(QStringLiteral("填写libpq的连接字符串，或PostgreSQL服务文件(pg_service.conf)中的服务名。"
                                    "密码不在这里填写：请把密码写入PostgreSQL的密码文件(~/.pgpass)。"),
                     "how");

    problem_ = new QLabel;
    problem_->setObjectName(QStringLiteral("problem"));
    problem_->setWordWrap(true);
    problem_->setStyleSheet(QStringLiteral("color: #c00000;"));

    auto* okButton = makeButton(QStringLiteral("确定"), "ok");
    auto* cancelButton = makeButton(QStringLiteral("取消"), "cancel");
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &CMoveToServerDlg::confirm);
    connect(cancelButton, &QPushButton::clicked, this, &CMoveToServerDlg::reject);
    QHBoxLayout* bottom = buttonRow({okButton, cancelButton});

    auto* outer = new QVBoxLayout(this);
    outer->setSpacing(12);
    outer->addWidget(intro);
    outer->addLayout(grid);
    outer->addWidget(how);
    outer->addWidget(problem_);
    outer->addLayout(bottom);
    setMinimumWidth(480);
}

void CMoveToServerDlg::confirm() {
    const QString text = server::connectionText(serverEdit_->text());
    QString problem;
    if (text.isEmpty())
        problem = QStringLiteral("请填写服务器的连接字符串或服务名");
    else if (server::holdsPassword(text))
        problem =
            QStringLiteral("连接字符串中不能写入数据库密码，请把密码写入PostgreSQL的密码文件(~/.pgpass)");
    if (!problem.isEmpty()) {
        problem_->setText(problem);
        serverEdit_->setFocus();
        serverEdit_->selectAll();
        return;
    }
    conninfo_ = text;
    accept();
}

} // namespace vorn::ui
