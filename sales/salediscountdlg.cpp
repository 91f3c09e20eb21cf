#include "salediscountdlg.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "kit/page/shell.h"
#include "pricing.h"
#include "salelist.h"

namespace vorn::ui {

namespace {
constexpr int kRateChars = 28;
}

CSaleDiscountDlg::CSaleDiscountDlg(Shell& shell, SaleList& list, std::vector<int> rows, QWidget* parent)
    : QDialog(parent), shell_(shell), list_(list), rows_(std::move(rows)) {
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

void CSaleDiscountDlg::onApply() {
    if (mode() == 1) {
        double factor = 0.0;
        if (!parseRate(rateEdit_->text(), factor)) {
            shell_.reportFailure(rateRangeMessage());
            rateEdit_->setFocus(Qt::OtherFocusReason);
            rateEdit_->selectAll();
            return;
        }
        list_.applyRate(rows_, factor);
    } else {
        list_.applyPreset(rows_, levels_->currentIndex());
    }
    accept();
}

void CSaleDiscountDlg::onCancel() {
    reject();
}

void CSaleDiscountDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        onApply();
        return;
    case Qt::Key_Escape:
        onCancel();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

} // namespace vorn::ui
