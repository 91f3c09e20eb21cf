#include "paymentdlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "kit/shell.h"
#include "pricing.h"

namespace vorn::ui {

CPaymentDlg::CPaymentDlg(Shell& shell, int64_t dueTenths, QWidget* parent)
    : QDialog(parent), shell_(shell), due_(dueTenths) {
    setObjectName(QStringLiteral("paymentDlg"));
    setWindowTitle(QStringLiteral("付款"));
    setModal(true);

    QFont big = font();
    big.setPixelSize(18);
    big.setBold(true);

    auto* dueCaption = new QLabel(QStringLiteral("应收金额:"), this);
    auto* dueValue = new QLabel(tenthsText(due_), this);
    dueValue->setObjectName(QStringLiteral("dueValue"));
    dueValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    dueValue->setFont(big);
    dueValue->setStyleSheet(QStringLiteral("color: rgb(16,78,139);"));

    auto* paidCaption = new QLabel(QStringLiteral("实付金额:"), this);
    edit_ = new QLineEdit(QStringLiteral("0"), this);
    edit_->setObjectName(QStringLiteral("paidEdit"));
    edit_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edit_->setFont(big);
    edit_->setMinimumWidth(180);
    // Money is paid in 角: digits and at most one decimal, nothing else can be typed.
    edit_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,9}(\\.[0-9]?)?")), edit_));

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(10);
    grid->addWidget(dueCaption, 0, 0);
    grid->addWidget(dueValue, 0, 1);
    grid->addWidget(paidCaption, 1, 0);
    grid->addWidget(edit_, 1, 1);

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    for (QPushButton* b : {ok, cancel})
        b->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &CPaymentDlg::onOk);
    connect(cancel, &QPushButton::clicked, this, &CPaymentDlg::onCancel);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(24, 20, 24, 16);
    outer->setSpacing(16);
    outer->addLayout(grid);
    outer->addLayout(buttons);

    edit_->setFocus();
    edit_->selectAll();
}

void CPaymentDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    edit_->setFocus(Qt::OtherFocusReason);
    edit_->selectAll();
}

void CPaymentDlg::onOk() {
    // A text that is no amount leaves the amount paid as it was.
    int64_t typed = 0;
    if (parseAmount(edit_->text().trimmed(), typed)) paid_ = typed;
    if (paid_ < due_) {
        shell_.reportFailure(QStringLiteral("实付金额少于购买商品的总金额"));
        edit_->setFocus(Qt::OtherFocusReason);
        edit_->selectAll();
        return;
    }
    result_ = 1;
    accept();
}

void CPaymentDlg::onCancel() {
    result_ = -1;
    reject();
}

void CPaymentDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        onOk();
        return;
    case Qt::Key_Escape:
        onCancel();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

} // namespace vorn::ui
