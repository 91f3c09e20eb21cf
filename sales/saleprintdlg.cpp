#include "saleprintdlg.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorn::ui {

CSalePrintDlg::CSalePrintDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("salePrintDlg"));
    setWindowTitle(QStringLiteral("销售提示"));
    setModal(true);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(28, 24, 28, 16);
    outer->setSpacing(18);
    auto* text = new QLabel(QStringLiteral("商品结算成功！"), this);
    text->setObjectName(QStringLiteral("saleDoneText"));
    QFont big = text->font();
    big.setPixelSize(18);
    big.setBold(true);
    text->setFont(big);
    text->setAlignment(Qt::AlignCenter);
    outer->addWidget(text);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* print = new QPushButton(QStringLiteral("打印小票"), this);
    print->setObjectName(QStringLiteral("printButton"));
    print->setAutoDefault(false);
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setAutoDefault(false);
    buttons->addWidget(print);
    buttons->addWidget(ok);
    outer->addLayout(buttons);

    connect(print, &QPushButton::clicked, this, &CSalePrintDlg::onPrint);
    connect(ok, &QPushButton::clicked, this, &CSalePrintDlg::onOk);
}

void CSalePrintDlg::onPrint() {
    print_ = true;
    accept();
}

void CSalePrintDlg::onOk() {
    print_ = false;
    accept();
}

void CSalePrintDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter closes; with Ctrl held it prints first.
        if (event->modifiers() & Qt::ControlModifier)
            onPrint();
        else
            onOk();
        return;
    case Qt::Key_Escape:
        return; // the cashier must choose
    default:
        QDialog::keyPressEvent(event);
    }
}

} // namespace vorn::ui
