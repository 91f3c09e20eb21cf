#include "statcdtdlg.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "kit/dialog/calendarpair.h"
#include "kit/text/gbk.h"
#include "kit/page/shell.h"
#include "statdlgparts.h"
#include "statquery.h"

namespace vorn::ui {

CStatCdtDlg::CStatCdtDlg(Shell& shell, const QDate& start, const QDate& end, std::vector<int>& types,
                         const std::vector<vorn::TRec>& typeList, QWidget* parent)
    : QDialog(parent), shell_(shell), types_(types) {
    setObjectName(QStringLiteral("CStatCdtDlg"));
    setWindowTitle(QStringLiteral("自定义条件设置"));

    chosen_ = makeValueList("chosenTypes");
    offered_ = makeValueList("offeredTypes");
    // Chosen types come back in the type list's order, and an id that names no
    // type any more simply drops out.
    for (const vorn::TRec& t : typeList) {
        const bool chosen = std::find(types.begin(), types.end(), t.FTi_Id) != types.end();
        appendEntry(chosen ? chosen_ : offered_, fromGbk(t.FTs_Name), t.FTi_Id);
    }

    calendars_ = new CalendarPair;
    calendars_->setObjectName(QStringLiteral("calendars"));
    calendars_->setSpan(start, end);

    auto* chooseButton = makeDialogButton(QStringLiteral("<-"), "chooseButton", 1018);
    auto* giveBackButton = makeDialogButton(QStringLiteral("->"), "giveBackButton", 1019);
    auto* clearAllButton = makeDialogButton(QStringLiteral("清空所有日期"), "clearAllButton", 1025);
    auto* okButton = makeDialogButton(QStringLiteral("确定"), "okButton", 1021);
    auto* cancelButton = makeDialogButton(QStringLiteral("取消"), "cancelButton", 1022);
    connect(chooseButton, &QPushButton::clicked, this, &CStatCdtDlg::choose);
    connect(giveBackButton, &QPushButton::clicked, this, &CStatCdtDlg::giveBack);
    connect(clearAllButton, &QPushButton::clicked, this, &CStatCdtDlg::onClearAll);
    connect(okButton, &QPushButton::clicked, this, &CStatCdtDlg::onOk);
    connect(cancelButton, &QPushButton::clicked, this, &CStatCdtDlg::onCancel);
    connect(offered_, &QListWidget::itemDoubleClicked, this, &CStatCdtDlg::choose);
    connect(chosen_, &QListWidget::itemDoubleClicked, this, &CStatCdtDlg::giveBack);

    auto* arrows = new QVBoxLayout;
    arrows->addStretch(1);
    arrows->addWidget(chooseButton);
    arrows->addWidget(giveBackButton);
    arrows->addStretch(1);

    auto* lists = new QHBoxLayout;
    lists->addWidget(captioned(QStringLiteral("统计类型:"), chosen_), 1);
    lists->addLayout(arrows);
    lists->addWidget(captioned(QStringLiteral("可选商品类型:"), offered_), 1);

    // The lists above the two calendars: side by side they would need more
    // than the 1024 pixels of the smallest screen the program runs on.
    auto* top = new QVBoxLayout;
    top->addLayout(lists, 1);
    top->addSpacing(6);
    top->addWidget(calendars_, 0, Qt::AlignHCenter);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(clearAllButton);
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    okButton->setFocus();
    // Enter and Escape belong to the dialog even while a calendar has the focus.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

void CStatCdtDlg::choose() {
    if (selectedRow(offered_) < 0) return;
    if (chosen_->count() >= kMaxStatTypes) {
        shell_.reportFailure(QStringLiteral("最多只能添加10个商品类型"));
        return;
    }
    moveCurrentToEnd(offered_, chosen_);
}

void CStatCdtDlg::giveBack() {
    if (selectedRow(chosen_) < 0) return;
    moveCurrentAscending(chosen_, offered_);
}

void CStatCdtDlg::onClearAll() { calendars_->clearAll(); }

void CStatCdtDlg::onOk() {
    QDate from, to;
    if (calendars_->readSpan(from, to) != 1) {
        answer_ = 0;
        start_ = end_ = QDate();
        QDialog::done(QDialog::Accepted);
        return;
    }
    if (from.daysTo(to) + 1 > kMaxSpanDays) {
        shell_.reportFailure(QStringLiteral("起始时间到终止时间不能大于3个月"));
        return;
    }
    std::vector<int> chosen;
    for (int i = 0; i < chosen_->count(); ++i)
        chosen.push_back(chosen_->item(i)->data(Qt::UserRole).toInt());
    types_ = std::move(chosen);
    answer_ = 1;
    start_ = from;
    end_ = to;
    QDialog::done(QDialog::Accepted);
}

void CStatCdtDlg::onCancel() {
    answer_ = -1;
    QDialog::done(QDialog::Rejected);
}

bool CStatCdtDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!(key->modifiers() & ~Qt::KeypadModifier)) {
            switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                onOk();
                return true;
            case Qt::Key_Escape:
                onCancel();
                return true;
            default:
                break;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vorn::ui
