#include "paymentdlg.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <algorithm>

#include "kit/text/gbk.h"
#include "kit/page/shell.h"
#include "pricing.h"

namespace vorn::ui {

namespace {

QString methodName(int method) {
    return fromGbk(vorn::pay_method_name(method));
}

int keyIndex(int method) {
    for (int i = 0; i < 5; ++i)
        if (CPaymentDlg::kMethods[i] == method) return i;
    return -1;
}

const char* const kStyle = R"(
QPushButton[payMethod="true"] { padding: 6px 4px; min-width: 78px; }
QPushButton[payMethod="true"]:checked {
    color: #ffffff;
    font-weight: bold;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #5d9be0, stop:1 #2f68b2);
    border: 1px solid #24589c;
}
QLabel#stillDueValue { color: #a0410d; }
)";

} // namespace

CPaymentDlg::CPaymentDlg(Shell& shell, int64_t dueTenths, QWidget* parent)
    : QDialog(parent), shell_(shell), due_(dueTenths) {
    setObjectName(QStringLiteral("paymentDlg"));
    setWindowTitle(QStringLiteral("付款"));
    setModal(true);
    setStyleSheet(QString::fromUtf8(kStyle));

    QFont big = font();
    big.setPixelSize(18);
    big.setBold(true);

    auto* dueCaption = new QLabel(QStringLiteral("应收金额:"), this);
    auto* dueValue = new QLabel(tenthsText(due_), this);
    dueValue->setObjectName(QStringLiteral("dueValue"));
    dueValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    dueValue->setFont(big);
    dueValue->setStyleSheet(QStringLiteral("color: rgb(16,78,139);"));

    // One button per method, its key on it. They never take the focus: the
    // amount edit keeps it, so a key chooses and typing goes on.
    auto* methods = new QHBoxLayout;
    methods->setSpacing(6);
    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    static const char* const names[] = {"payCash", "payWeChat", "payAlipay", "payCard", "payOther"};
    for (int i = 0; i < 5; ++i) {
        const int m = kMethods[i];
        auto* b = new QPushButton(methodCaption(m), this);
        b->setObjectName(QString::fromLatin1(names[i]));
        b->setProperty("payMethod", true);
        b->setCheckable(true);
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
        group->addButton(b);
        methods->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, m] { chooseMethod(m); });
        methodButtons_[i] = b;
    }
    methodButtons_[0]->setChecked(true);

    auto* partsCaption = new QLabel(QStringLiteral("已付:"), this);
    parts_ = new QLabel(this);
    parts_->setObjectName(QStringLiteral("partsValue"));
    parts_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* stillCaption = new QLabel(QStringLiteral("尚需支付:"), this);
    stillDue_ = new QLabel(this);
    stillDue_->setObjectName(QStringLiteral("stillDueValue"));
    stillDue_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    stillDue_->setFont(big);

    amountCaption_ = new QLabel(QStringLiteral("实付金额:"), this);
    edit_ = new QLineEdit(QStringLiteral("0"), this);
    edit_->setObjectName(QStringLiteral("paidEdit"));
    edit_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edit_->setFont(big);
    edit_->setMinimumWidth(180);
    // Money is paid in 角: digits and at most one decimal, nothing else can be typed.
    edit_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}(\\.[0-9]?)?")), edit_));

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(10);
    grid->addWidget(dueCaption, 0, 0);
    grid->addWidget(dueValue, 0, 1);
    grid->addWidget(partsCaption, 1, 0);
    grid->addWidget(parts_, 1, 1);
    grid->addWidget(stillCaption, 2, 0);
    grid->addWidget(stillDue_, 2, 1);
    grid->addWidget(amountCaption_, 3, 0);
    grid->addWidget(edit_, 3, 1);
    grid->setColumnStretch(1, 1);

    clearButton_ = new QPushButton(QStringLiteral("重新付款"), this);
    clearButton_->setObjectName(QStringLiteral("clearPartsButton"));
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    for (QPushButton* b : {clearButton_, ok, cancel})
        b->setAutoDefault(false);
    connect(clearButton_, &QPushButton::clicked, this, &CPaymentDlg::clearParts);
    connect(ok, &QPushButton::clicked, this, &CPaymentDlg::onOk);
    connect(cancel, &QPushButton::clicked, this, &CPaymentDlg::onCancel);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(clearButton_);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(24, 20, 24, 16);
    outer->setSpacing(16);
    outer->addLayout(methods);
    outer->addLayout(grid);
    outer->addLayout(buttons);

    showParts();
    focusAmount();
}

QString CPaymentDlg::methodCaption(int method) {
    return QStringLiteral("%1 F%2").arg(methodName(method)).arg(keyIndex(method) + 1);
}

QPushButton* CPaymentDlg::methodButton(int method) const {
    const int i = keyIndex(method);
    return i < 0 ? nullptr : methodButtons_[i];
}

int64_t CPaymentDlg::paidTenths() const {
    int64_t sum = 0;
    for (const vorn::Payment& p : payments_)
        sum += p.amount;
    return sum;
}

int64_t CPaymentDlg::stillDueTenths() const {
    return std::max<int64_t>(due_ - paidTenths(), 0);
}

void CPaymentDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    focusAmount();
}

void CPaymentDlg::focusAmount() {
    edit_->setFocus(Qt::OtherFocusReason);
    edit_->selectAll();
}

void CPaymentDlg::showParts() {
    QStringList shown;
    for (const vorn::Payment& p : payments_)
        shown << QStringLiteral("%1 %2").arg(methodName(p.method), tenthsText(p.amount));
    parts_->setText(shown.isEmpty() ? QStringLiteral("无") : shown.join(QStringLiteral("  ")));
    stillDue_->setText(tenthsText(stillDueTenths()));
    clearButton_->setEnabled(!payments_.empty());
}

void CPaymentDlg::chooseMethod(int method) {
    const int index = keyIndex(method);
    if (index < 0) return;
    method_ = method;
    methodButtons_[index]->setChecked(true);
    const bool cash = method == vorn::kPayCash;
    amountCaption_->setText(cash ? QStringLiteral("实付金额:")
                                 : QStringLiteral("%1金额:").arg(methodName(method)));
    // A scanned code or a card pays what is due to the 角; cash is counted out.
    typed_ = cash ? 0 : stillDueTenths();
    edit_->setText(cash ? QStringLiteral("0") : tenthsText(typed_));
    focusAmount();
}

void CPaymentDlg::clearParts() {
    payments_.clear();
    showParts();
    chooseMethod(vorn::kPayCash);
}

void CPaymentDlg::refuse(const QString& text) {
    shell_.reportFailure(text);
    focusAmount();
}

void CPaymentDlg::onOk() {
    // A text that is no amount leaves the amount as it was.
    int64_t typed = 0;
    if (parseAmount(edit_->text().trimmed(), typed)) typed_ = typed;
    const int64_t still = due_ - paidTenths();
    if (method_ == vorn::kPayCash) {
        if (typed_ < still) {
            refuse(payments_.empty() ? QStringLiteral("实付金额少于购买商品的总金额")
                                     : QStringLiteral("实付金额少于尚需支付的金额%1").arg(tenthsText(still)));
            return;
        }
    } else {
        if (typed_ > still) {
            refuse(QStringLiteral("%1付款%2超过尚需支付的金额%3，只有现金可以找零")
                       .arg(methodName(method_), tenthsText(typed_), tenthsText(still)));
            return;
        }
        if (typed_ == 0 && still > 0) {
            refuse(QStringLiteral("%1付款的金额必须大于零").arg(methodName(method_)));
            return;
        }
    }
    payments_.push_back(vorn::Payment{method_, typed_});
    showParts();
    if (paidTenths() < due_) {
        // Some of the sale paid: the rest is most often cash.
        chooseMethod(vorn::kPayCash);
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
    const int key = event->key();
    if (key >= Qt::Key_F1 && key <= Qt::Key_F5 && event->modifiers() == Qt::NoModifier) {
        chooseMethod(kMethods[key - Qt::Key_F1]);
        return;
    }
    switch (key) {
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
