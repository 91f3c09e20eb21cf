#include "statyeardlg.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "kit/page/shell.h"
#include "statdlgparts.h"
#include "statquery.h"

namespace vorn::ui {

CStatYearDlg::CStatYearDlg(Shell& shell, std::vector<int>& years, int currentYear, QWidget* parent)
    : QDialog(parent), shell_(shell), years_(years) {
    setObjectName(QStringLiteral("CStatYearDlg"));
    setWindowTitle(QStringLiteral("年份设置"));

    chosen_ = makeValueList("chosenYears");
    offered_ = makeValueList("offeredYears");
    for (int y = kFirstStatYear; y <= lastOfferedYear(currentYear); ++y)
        if (std::find(years.begin(), years.end(), y) == years.end())
            appendEntry(offered_, QString::number(y), y);
    for (int y : years)
        appendEntry(chosen_, QString::number(y), y);

    auto* chooseButton = makeDialogButton(QStringLiteral("<-"), "chooseButton", 1018);
    auto* giveBackButton = makeDialogButton(QStringLiteral("->"), "giveBackButton", 1019);
    auto* okButton = makeDialogButton(QStringLiteral("确定"), "okButton", 1020);
    auto* cancelButton = makeDialogButton(QStringLiteral("取消"), "cancelButton", 1021);
    connect(chooseButton, &QPushButton::clicked, this, &CStatYearDlg::choose);
    connect(giveBackButton, &QPushButton::clicked, this, &CStatYearDlg::giveBack);
    connect(okButton, &QPushButton::clicked, this, &CStatYearDlg::onOk);
    connect(cancelButton, &QPushButton::clicked, this, &CStatYearDlg::onCancel);
    // A double click moves the year across, as the arrow between the lists would.
    connect(offered_, &QListWidget::itemDoubleClicked, this, &CStatYearDlg::choose);
    connect(chosen_, &QListWidget::itemDoubleClicked, this, &CStatYearDlg::giveBack);

    auto* arrows = new QVBoxLayout;
    arrows->addStretch(1);
    arrows->addWidget(chooseButton);
    arrows->addWidget(giveBackButton);
    arrows->addStretch(1);

    auto* lists = new QHBoxLayout;
    lists->addWidget(captioned(QStringLiteral("统计年份:"), chosen_), 1);
    lists->addLayout(arrows);
    lists->addWidget(captioned(QStringLiteral("可选年份列表:"), offered_), 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CStatYearDlg::choose() {
    if (selectedRow(offered_) < 0) return;
    if (chosen_->count() >= kMaxStatYears) {
        shell_.reportFailure(QStringLiteral("最多只能添加3个年份"));
        return;
    }
    moveCurrentToEnd(offered_, chosen_);
}

void CStatYearDlg::giveBack() {
    if (selectedRow(chosen_) < 0) return;
    moveCurrentAscending(chosen_, offered_);
}

void CStatYearDlg::onOk() {
    std::vector<int> chosen;
    for (int i = 0; i < chosen_->count(); ++i)
        chosen.push_back(chosen_->item(i)->data(Qt::UserRole).toInt());
    years_ = std::move(chosen);
    answer_ = static_cast<int>(years_.size());
    QDialog::done(QDialog::Accepted);
}

void CStatYearDlg::onCancel() {
    answer_ = -1;
    QDialog::done(QDialog::Rejected);
}

void CStatYearDlg::keyPressEvent(QKeyEvent* event) {
    if (!(event->modifiers() & ~Qt::KeypadModifier)) {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            onOk();
            return;
        case Qt::Key_Escape:
            onCancel();
            return;
        default:
            break;
        }
    }
    QDialog::keyPressEvent(event);
}

} // namespace vorn::ui
