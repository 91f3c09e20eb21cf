#include "salediscountdlg.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "discountauthority.h"
#include "kit/dialog/approvaldlg.h"
#include "kit/dialog/enterkey.h"
#include "kit/page/appstate.h"
#include "kit/page/shell.h"
#include "kit/text/gbk.h"
#include "pricing.h"
#include "salelist.h"

namespace vorn::ui {

namespace {
constexpr int kRateChars = 28;
}

CSaleDiscountDlg::CSaleDiscountDlg(Shell& shell, SaleList& list, std::vector<int> rows, QWidget* parent)
    : QDialog(parent), shell_(shell), list_(list), rows_(std::move(rows)), runApproval_(execDialogRunner()) {
    setObjectName(QStringLiteral("saleDiscountDlg"));
    setWindowTitle(QStringLiteral("商品折扣"));
    setModal(true);

    preset_ = new QRadioButton(QStringLiteral("预选价格:"), this);
    preset_->setObjectName(QStringLiteral("presetRadio"));
    rate_ = new QRadioButton(QStringLiteral("自定义:"), this);
    rate_->setObjectName(QStringLiteral("rateRadio"));
    auto* group = new QButtonGroup(this);
    group->addButton(preset_, 0);
    group->addButton(rate_, 1);

    levels_ = new QComboBox(this);
    levels_->setObjectName(QStringLiteral("presetCombo"));
    for (int i = 0; i < kPresetCount; ++i)
        levels_->addItem(presetCaption(i));
    levels_->setCurrentIndex(0);
    levels_->setMinimumWidth(160);

    rateEdit_ = new QLineEdit(this);
    rateEdit_->setObjectName(QStringLiteral("rateEdit"));
    rateEdit_->setMaxLength(kRateChars);
    rateEdit_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* unit = new QLabel(QStringLiteral("(折)"), this);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(12);
    grid->addWidget(preset_, 0, 0);
    grid->addWidget(levels_, 0, 1, 1, 2);
    grid->addWidget(rate_, 1, 0);
    grid->addWidget(rateEdit_, 1, 1);
    grid->addWidget(unit, 1, 2);
    grid->setColumnStretch(1, 1);

    auto* apply = new QPushButton(QStringLiteral("打折"), this);
    apply->setObjectName(QStringLiteral("applyButton"));
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    for (QPushButton* b : {apply, cancel})
        b->setAutoDefault(false);
    connect(apply, &QPushButton::clicked, this, &CSaleDiscountDlg::onApply);
    connect(cancel, &QPushButton::clicked, this, &CSaleDiscountDlg::onCancel);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(apply);
    buttons->addWidget(cancel);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(24, 20, 24, 16);
    outer->setSpacing(16);
    outer->addLayout(grid);
    outer->addLayout(buttons);

    connect(preset_, &QRadioButton::clicked, this, [this] { setMode(0); });
    connect(rate_, &QRadioButton::clicked, this, [this] {
        setMode(1);
        rateEdit_->setFocus(Qt::OtherFocusReason);
        rateEdit_->selectAll();
    });
    setMode(0);
    levels_->setFocus();
    // Enter gives the discount from any field; Escape closes as any dialog does.
    interceptEnter(this, [this] { onApply(); });
}

int CSaleDiscountDlg::mode() const {
    return rate_->isChecked() ? 1 : 0;
}

void CSaleDiscountDlg::setMode(int mode) {
    (mode == 1 ? rate_ : preset_)->setChecked(true);
    levels_->setEnabled(mode != 1);
    rateEdit_->setEnabled(mode == 1);
}

void CSaleDiscountDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (mode() == 0) levels_->setFocus(Qt::OtherFocusReason);
}

bool CSaleDiscountDlg::allowed(bool custom, double factor) {
    // Nothing selected is nothing given: no one needs to allow it.
    if (rows_.empty()) return true;
    AppState& st = shell_.state();
    const int role = st.currentUser.FUi_Auth;
    vorn::ShopRules rules;
    if (!discountsFreely(role) && vorn::Shifts(st.core).rules(rules) != 1) rules = strictestRules();
    const DiscountVerdict verdict =
        custom ? rateVerdict(role, rules, factor) : presetVerdict(role, rules, levels_->currentIndex());
    if (verdict == DiscountVerdict::Allowed) return true;
    const QString what =
        custom ? QStringLiteral("打%1折").arg(QString::number(factor * 10.0)) : levels_->currentText();
    CApprovalDlg approval(st, what, this);
    if (runApproval_(approval) != QDialog::Accepted || approval.approver().isEmpty()) {
        shell_.showStatus(custom ? QStringLiteral("未获管理员或店主授权，未给任何商品%1(营业员最低可打%2)")
                                       .arg(what, rateName(rules.lowest_rate))
                                 : QStringLiteral("未获管理员或店主授权，未按\"%1\"出售任何商品").arg(what));
        return false;
    }
    approver_ = approval.approver();
    return true;
}

void CSaleDiscountDlg::onApply() {
    const bool custom = mode() == 1;
    double factor = 1.0;
    if (custom && !parseRate(rateEdit_->text(), factor)) {
        shell_.reportFailure(rateRangeMessage());
        rateEdit_->setFocus(Qt::OtherFocusReason);
        rateEdit_->selectAll();
        return;
    }
    if (!allowed(custom, factor)) {
        QWidget* field = custom ? static_cast<QWidget*>(rateEdit_) : levels_;
        field->setFocus(Qt::OtherFocusReason);
        if (custom) rateEdit_->selectAll();
        return;
    }
    if (custom)
        list_.applyRate(rows_, factor);
    else
        list_.applyPreset(rows_, levels_->currentIndex());
    // The sale keeps the latest approver; the journal's Sale row names one.
    if (!approver_.isEmpty()) list_.setApprover(gbk(approver_));
    accept();
}

void CSaleDiscountDlg::onCancel() {
    reject();
}

} // namespace vorn::ui
