#include "pastshiftsdlg.h"

#include <QDateEdit>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <map>
#include <utility>

#include "dayreportdlg.h"
#include "kit/dialog/storefailure.h"
#include "kit/page/appstate.h"
#include "kit/page/shell.h"
#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "pricing.h"
#include "shiftsheet.h"
#include "vorn/core.h"

namespace vorn::ui {

namespace {

// Days past this far back are seldom asked for; the span is the user's to widen.
constexpr int kDaysShown = 7;

constexpr int kShiftRole = Qt::UserRole;     // a shift row: its id
constexpr int kDateRole = Qt::UserRole + 1;  // a day row: its date

QString hhmm(int64_t seconds) {
    return QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("HH:mm"));
}

} // namespace

CPastShiftsDlg::CPastShiftsDlg(Shell& shell, QDate from, QDate to, DialogRunner runner, QWidget* parent)
    : QDialog(parent), shell_(shell), runner_(std::move(runner)) {
    setWindowTitle(QStringLiteral("班次记录"));
    from_ = new QDateEdit(from, this);
    to_ = new QDateEdit(to, this);
    from_->setObjectName(QStringLiteral("shiftsFrom"));
    to_->setObjectName(QStringLiteral("shiftsTo"));
    for (QDateEdit* e : {from_, to_}) {
        e->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        e->setCalendarPopup(true);
        connect(e, &QDateEdit::dateChanged, this, &CPastShiftsDlg::reload);
    }
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("从:"), this));
    top->addWidget(from_);
    top->addWidget(new QLabel(QStringLiteral("到:"), this));
    top->addWidget(to_);
    top->addStretch();

    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("shiftsTree"));
    tree_->setHeaderLabels({QStringLiteral("日期/收银员"), QStringLiteral("开班"), QStringLiteral("交班"),
                            QStringLiteral("备用金"), QStringLiteral("实点现金"), QStringLiteral("备注")});
    tree_->setRootIsDecorated(true);
    tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tree_->setMinimumSize(560, 360);
    connect(tree_, &QTreeWidget::itemActivated, this, [this] { onOpen(); });

    auto* buttons = new QDialogButtonBox(this);
    open_ = buttons->addButton(QStringLiteral("查看"), QDialogButtonBox::ActionRole);
    buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    connect(open_, &QPushButton::clicked, this, &CPastShiftsDlg::onOpen);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* box = new QVBoxLayout(this);
    box->addLayout(top);
    box->addWidget(tree_);
    box->addWidget(buttons);
    reload();
}

void CPastShiftsDlg::reload() {
    tree_->clear();
    QDate a = from_->date();
    QDate b = to_->date();
    if (b < a) std::swap(a, b);
    const int64_t start = QDateTime(a, QTime(0, 0)).toSecsSinceEpoch();
    const int64_t end = QDateTime(b.addDays(1), QTime(0, 0)).toSecsSinceEpoch();
    loaded_ = vorn::Shifts(shell_.state().core).list_shifts(start, end, shifts_) >= 0;
    // Newest day first; in a day, the shifts in their order.
    std::map<QDate, std::vector<const vorn::ShiftRecord*>, std::greater<>> days;
    for (const vorn::ShiftRecord& s : shifts_)
        days[QDateTime::fromSecsSinceEpoch(s.opened).date()].push_back(&s);
    for (const auto& [date, list] : days) {
        auto* day = new QTreeWidgetItem(tree_);
        day->setText(0, date.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral("  %1个班次").arg(list.size()));
        day->setData(0, kDateRole, date);
        for (const vorn::ShiftRecord* s : list) {
            auto* row = new QTreeWidgetItem(day);
            row->setText(0, fromGbk(s->cashier));
            row->setText(1, hhmm(s->opened));
            row->setText(2, s->closed > 0 ? hhmm(s->closed) : QStringLiteral("未交班"));
            row->setText(3, tenthsText(s->cash_float));
            row->setText(4, s->counted >= 0 ? tenthsText(s->counted) : QStringLiteral("-"));
            row->setText(5, fromGbk(s->note));
            row->setData(0, kShiftRole, QVariant::fromValue<qint64>(s->id));
        }
    }
    tree_->expandAll();
    if (tree_->topLevelItemCount() > 0) tree_->setCurrentItem(tree_->topLevelItem(0));
    open_->setEnabled(tree_->topLevelItemCount() > 0);
}

void CPastShiftsDlg::onOpen() {
    QTreeWidgetItem* item = tree_->currentItem();
    if (!item) {
        shell_.showStatus(QStringLiteral("未选中任何班次，请先选中要查看的班次或日期"));
        return;
    }
    const QVariant shiftId = item->data(0, kShiftRole);
    if (shiftId.isValid()) {
        vorn::ShiftReport report;
        if (vorn::Shifts(shell_.state().core).shift_report(shiftId.toLongLong(), report) != 1) {
            shell_.reportFailure(withStoreCause(QStringLiteral("未知异常导致班次读取失败，放弃该次\"查看\"操作")));
            return;
        }
        CShiftSheetDlg dlg(shell_, report, this);
        const QString before = shell_.statusText();
        runner_(dlg);
        if (shell_.statusText() == before)
            shell_.showStatus(QStringLiteral("成功查看收银员\"%1\"的交班单").arg(fromGbk(report.shift.cashier)));
        return;
    }
    const QDate date = item->data(0, kDateRole).toDate();
    if (!mayCashUpDay(shell_)) {
        shell_.showStatus(QStringLiteral("未打开任何日结：只有管理员和店主可以查看一天的日结，请选中其中的班次"));
        return;
    }
    CDayReportDlg dlg(shell_, date, this);
    const QString before = shell_.statusText();
    runner_(dlg);
    if (shell_.statusText() == before)
        shell_.showStatus(QStringLiteral("成功查看%1的日结").arg(date.toString(QStringLiteral("yyyy-MM-dd"))));
}

void pastShifts(Shell& shell, const DialogRunner& runner) {
    const QDate today = QDateTime::fromSecsSinceEpoch(now()).date();
    CPastShiftsDlg dlg(shell, today.addDays(1 - kDaysShown), today, runner, shell.window());
    if (!dlg.loaded()) {
        shell.reportFailure(withStoreCause(QStringLiteral("未知异常导致班次读取失败，放弃该次\"班次记录\"操作")));
        return;
    }
    const QString before = shell.statusText();
    runner(dlg);
    if (shell.statusText() == before)
        shell.showStatus(QStringLiteral("成功查看%1个班次的记录").arg(dlg.shifts().size()));
}

} // namespace vorn::ui
