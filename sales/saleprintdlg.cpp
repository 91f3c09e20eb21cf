#include "saleprintdlg.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "pricing.h"
#include "receiptdata.h"

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

    number_ = new QLabel(this);
    number_->setObjectName(QStringLiteral("saleNumberText"));
    number_->setAlignment(Qt::AlignCenter);
    number_->hide();
    outer->addWidget(number_);
    payments_ = new QLabel(this);
    payments_->setObjectName(QStringLiteral("salePaymentsText"));
    payments_->setAlignment(Qt::AlignCenter);
    QFont paidFont = payments_->font();
    paidFont.setPixelSize(15);
    payments_->setFont(paidFont);
    payments_->setStyleSheet(QStringLiteral("color: #1e395b;"));
    payments_->hide();
    outer->addWidget(payments_);

    auto* buttons = new QHBoxLayout;
    // Which button Enter presses, for a cashier at the keyboard.
    auto* hint = new QLabel(QStringLiteral("Enter: 确定    Ctrl+Enter: 打印小票"), this);
    hint->setObjectName(QStringLiteral("saleDoneKeys"));
    hint->setStyleSheet(QStringLiteral("color: #5a6b80;"));
    buttons->addWidget(hint);
    buttons->addStretch(1);
    auto* print = new QPushButton(QStringLiteral("打印小票"), this);
    print->setObjectName(QStringLiteral("printButton"));
    print->setAutoDefault(false);
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setAutoDefault(false);
    // Drawn as the default button: the one Enter presses.
    ok->setDefault(true);
    buttons->addWidget(print);
    buttons->addWidget(ok);
    outer->addLayout(buttons);

    connect(print, &QPushButton::clicked, this, &CSalePrintDlg::onPrint);
    connect(ok, &QPushButton::clicked, this, &CSalePrintDlg::onOk);
}

void CSalePrintDlg::showSale(const ReceiptData& sale) {
    number_->setText(QStringLiteral("单号: %1").arg(sale.number));
    number_->setVisible(!sale.number.isEmpty());
    QStringList parts;
    for (const ReceiptPayment& p : sale.payments)
        parts << QStringLiteral("%1 %2").arg(p.method, tenthsText(p.amount));
    if (parts.isEmpty()) parts << QStringLiteral("实付 %1").arg(tenthsText(toTenths(sale.paid)));
    parts << QStringLiteral("找零 %1").arg(tenthsText(sale.changeTenths));
    payments_->setText(parts.join(QStringLiteral("    ")));
    payments_->show();
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
