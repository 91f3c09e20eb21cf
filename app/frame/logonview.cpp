#include "frame/logonview.h"

#include <QLabel>
#include <QVBoxLayout>

#include "frame/logoninputdlg.h"

namespace vorn::ui {

QStringList CLogonView::introLines() {
    return {
        QStringLiteral("欢迎使用Qelto进销存软件，下面是对软件的简单介绍：\n"),
        QStringLiteral("\t1."
                       "登录软件后，软件分为“销售前台”、“商品管理”、“店铺设置”、“会员管理”和“销售统计”等五个"
                       "主要功能页面；"),
        QStringLiteral("\t2.用户进入“销售前台”页面，输入或扫描商品编码，添入购物列表，完成结算总金额；"),
        QStringLiteral("\t3.用户进入“商品管理”页面，进行相关商品的录入、编辑、删除等管理操作；"),
        QStringLiteral("\t4."
                       "用户进入“店铺设置”页面，设置店铺名称、联系电话、地址和小票打印信息等，管理软件用户权"
                       "限，备份和恢复数据；"),
        QStringLiteral("\t5.用户进入“会员管理”页面，进行相关会员的添加、编辑、删除等管理操作；"),
        QStringLiteral("\t6."
                       "用户进入“销售统计”页面，选择统计年份或者设置自定义统计条件，软件将根据用户选择自动生"
                       "成统计图表。\n"),
        QString(),
    };
}

CLogonView::CLogonView(Shell& shell, LoginHost& host, QWidget* parent) : CPage(shell, parent) {
    setObjectName(QStringLiteral("logonView"));
    setAttribute(Qt::WA_StyledBackground);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setSpacing(4);
    int n = 0;
    for (const QString& line : introLines()) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("introLine%1").arg(++n));
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        // A label draws no tab stops; the lines keep their tab, shown as an indent.
        QString shown = line;
        shown.replace(QLatin1Char('\t'), QStringLiteral("        "));
        label->setText(shown);
        label->setProperty("introText", line);
        layout->addWidget(label);
    }
    layout->addStretch(1);
    panel_ = new CLogonInputDlg(host, this);
    centrePanel();
}

void CLogonView::resizeEvent(QResizeEvent* event) {
    CPage::resizeEvent(event);
    centrePanel();
}

void CLogonView::centrePanel() {
    panel_->move((width() - panel_->width()) / 2, (height() - panel_->height()) / 2);
    panel_->raise();
}

} // namespace vorn::ui
