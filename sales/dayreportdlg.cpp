#include "dayreportdlg.h"

#include <QDateEdit>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "kit/dialog/msgbox.h"
#include "kit/dialog/storefailure.h"
#include "kit/page/appstate.h"
#include "kit/page/shell.h"
#include "kit/sheet/sheetexport.h"
#include "kit/sheet/sheetwriter.h"
#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "res/commandids.h"
#include "receiptlayout.h"
#include "receiptprint.h"
#include "res/strings.h"
#include "shiftsheet.h"
#include "vorn/core.h"
#include "vorn/journal.h"

namespace vorn::ui {

namespace {

int dateNumber(QDate d) {
    return d.year() * 10000 + d.month() * 100 + d.day();
}

SheetCell money(int64_t tenths) {
    return SheetCell::money(static_cast<double>(tenths) / 10.0);
}

QString timeText(int64_t seconds) {
    return seconds > 0 ? QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                       : QString();
}

// The figures' cells from 销售笔数 to 开钱箱, as daySheetHeadings names them.
void figureCells(const vorn::ShiftFigures& f, std::vector<SheetCell>& cells) {
    cells.push_back(SheetCell::num(f.sales));
    cells.push_back(SheetCell::num(double(f.sales_units)));
    cells.push_back(money(f.sales_amount));
    cells.push_back(money(f.discount));
    cells.push_back(SheetCell::num(f.returns));
    cells.push_back(money(f.returns_amount));
    cells.push_back(SheetCell::num(double(f.points)));
    for (int m = vorn::kPayCash; m <= vorn::kPayOther; ++m)
        cells.push_back(money(f.by_method[m]));
    cells.push_back(money(f.cash_float));
    cells.push_back(money(f.expected));
    cells.push_back(f.counted_known ? money(f.counted) : SheetCell::str(QString()));
    cells.push_back(f.counted_known ? money(f.difference) : SheetCell::str(QString()));
    cells.push_back(SheetCell::num(f.drawer_opens));
}

// The sheet in a scrolled box as tall as the screen allows.
QScrollArea* scrolled(CSheetView* view, QWidget* parent) {
    auto* area = new QScrollArea(parent);
    area->setWidget(view);
    area->setWidgetResizable(false);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setBackgroundRole(QPalette::Base);
    area->setMinimumSize(view->sizeHint().width() + area->verticalScrollBar()->sizeHint().width() + 4, 560);
    return area;
}

} // namespace

constexpr int kSheetMargin = 12;

CSheetView::CSheetView(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void CSheetView::setSheet(const ShiftSheet& sheet) {
    sheet_ = sheet;
    resize(sizeHint());
    update();
}

QString CSheetView::plainText() const {
    return sheet_.title + QLatin1Char('\n') + sheet_.lines.join(QLatin1Char('\n'));
}

QSize CSheetView::sizeHint() const {
    const ReceiptLayout layout = shiftSheetLayout(sheet_);
    return {kReceiptPdfBodyWidth + 2 * kSheetMargin, layout.height + 2 * kSheetMargin};
}

void CSheetView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.translate(kSheetMargin, kSheetMargin);
    drawReceipt(painter, shiftSheetLayout(sheet_));
}

bool mayCashUpDay(Shell& shell) {
    const vorn::URec& u = shell.state().currentUser;
    return !u.FUs_Name.empty() && (u.FUi_Auth == 0 || u.FUi_Auth == 1);
}

int loadDay(vorn::Core& core, int date, vorn::DayReport& day, std::vector<vorn::ShiftReport>& reports) {
    vorn::Shifts shifts(core);
    reports.clear();
    const int r = shifts.day_report(date, day);
    if (r != 1) return r;
    for (const vorn::ShiftRecord& s : day.shifts) {
        vorn::ShiftReport one;
        if (shifts.shift_report(s.id, one) != 1) return -1;
        reports.push_back(one);
    }
    return 1;
}

QStringList daySheetHeadings() {
    QStringList h{QStringLiteral("班次"),     QStringLiteral("收银员"),   QStringLiteral("开班"),
                  QStringLiteral("交班"),     QStringLiteral("销售笔数"), QStringLiteral("销售件数"),
                  QStringLiteral("销售金额(元)"), QStringLiteral("优惠(元)"), QStringLiteral("退货笔数"),
                  QStringLiteral("退款(元)"), QStringLiteral("积分")};
    for (int m = vorn::kPayCash; m <= vorn::kPayOther; ++m)
        h << fromGbk(vorn::pay_method_name(m)) + QStringLiteral("(元)");
    h << QStringLiteral("备用金(元)") << QStringLiteral("应有现金(元)") << QStringLiteral("实点现金(元)")
      << QStringLiteral("差额(元)") << QStringLiteral("开钱箱") << QStringLiteral("报损件数")
      << QStringLiteral("报损成本(元)") << QStringLiteral("备注");
    return h;
}

bool writeDaySheet(const QString& path, const vorn::DayReport& day, const std::vector<vorn::ShiftReport>& reports,
                   const std::function<void(int)>& progress, QString* error) {
    return writeSheet(
        path, QStringLiteral("日结"), daySheetHeadings(), reports.size() + 1,
        [&](size_t i, std::vector<SheetCell>& cells) {
            if (i < reports.size()) {
                const vorn::ShiftReport& r = reports[i];
                cells.push_back(SheetCell::num(double(r.shift.id)));
                cells.push_back(SheetCell::str(fromGbk(r.shift.cashier)));
                cells.push_back(SheetCell::str(timeText(r.shift.opened)));
                cells.push_back(SheetCell::str(r.shift.closed > 0 ? timeText(r.shift.closed) : QStringLiteral("未交班")));
                figureCells(r.figures, cells);
                cells.push_back(SheetCell::str(QString()));
                cells.push_back(SheetCell::str(QString()));
                cells.push_back(SheetCell::str(fromGbk(r.shift.note)));
                return;
            }
            const QDate d(day.date / 10000, day.date / 100 % 100, day.date % 100);
            cells.push_back(SheetCell::str(QStringLiteral("全天")));
            cells.push_back(SheetCell::str(QString()));
            cells.push_back(SheetCell::str(d.toString(QStringLiteral("yyyy-MM-dd"))));
            cells.push_back(SheetCell::str(QString()));
            figureCells(day.figures, cells);
            cells.push_back(SheetCell::num(day.damaged_units));
            cells.push_back(money(day.damaged_cost));
            cells.push_back(SheetCell::str(day.open_shifts > 0 ? QStringLiteral("未交班%1个").arg(day.open_shifts)
                                                               : QString()));
        },
        progress, error);
}

// ---- the dialog ------------------------------------------------------------------

CDayReportDlg::CDayReportDlg(Shell& shell, QDate date, QWidget* parent) : QDialog(parent), shell_(shell) {
    setWindowTitle(QStringLiteral("日结"));
    date_ = new QDateEdit(date, this);
    date_->setObjectName(QStringLiteral("dayDate"));
    date_->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    date_->setCalendarPopup(true);
    text_ = new CSheetView(this);
    text_->setObjectName(QStringLiteral("dayReport"));
    scroll_ = scrolled(text_, this);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("日期:"), this));
    top->addWidget(date_);
    top->addStretch();

    auto* buttons = new QDialogButtonBox(this);
    print_ = buttons->addButton(QStringLiteral("打印"), QDialogButtonBox::ActionRole);
    export_ = buttons->addButton(QStringLiteral("导出"), QDialogButtonBox::ActionRole);
    buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    connect(print_, &QPushButton::clicked, this, &CDayReportDlg::onPrint);
    connect(export_, &QPushButton::clicked, this, &CDayReportDlg::onExport);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(date_, &QDateEdit::dateChanged, this, &CDayReportDlg::reload);

    auto* box = new QVBoxLayout(this);
    box->addLayout(top);
    box->addWidget(scroll_);
    box->addWidget(buttons);
    reload();
}

void CDayReportDlg::reload() {
    loaded_ = loadDay(shell_.state().core, dateNumber(date_->date()), day_, reports_) == 1;
    if (loaded_)
        text_->setSheet(daySheet(day_, reports_, kSheetScreenWidth, now()));
    else
        text_->setSheet({QStringLiteral("未能读出这一天的班次"), {}});
    print_->setEnabled(loaded_);
    export_->setEnabled(loaded_);
}

void CDayReportDlg::onPrint() {
    const QString day = date_->date().toString(QStringLiteral("yyyy-MM-dd"));
    const SheetPrintOutcome out = printDayReport(shell_, day_, reports_);
    if (!out.ok) {
        shell_.reportFailure(
            QStringLiteral("未知异常导致%1的日结单未打印（%2），放弃该次\"打印\"操作").arg(day, out.error));
        return;
    }
    shell_.showStatus(QStringLiteral("成功打印%1的日结单：%2").arg(day, sheetOutcomeText(out, QStringLiteral("日结单"))));
}

void CDayReportDlg::onExport() {
    const vorn::DayReport day = day_;
    const std::vector<vorn::ShiftReport> reports = reports_;
    runSheetExport({shell_, caption(cmd::DayCashUp), QStringLiteral("日结%1").arg(day.date), reports.size() + 1,
                    [day, reports](const QString& path, const std::function<void(int)>& percent, QString* error) {
                        return writeDaySheet(path, day, reports, percent, error);
                    }});
}

// ---- one shift's sheet ------------------------------------------------------------

CShiftSheetDlg::CShiftSheetDlg(Shell& shell, const vorn::ShiftReport& report, QWidget* parent)
    : QDialog(parent), shell_(shell), report_(report) {
    setWindowTitle(QStringLiteral("交班单"));
    text_ = new CSheetView(this);
    text_->setObjectName(QStringLiteral("shiftSheet"));
    text_->setSheet(shiftSheet(report_, kSheetScreenWidth, now()));
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* print = buttons->addButton(QStringLiteral("打印"), QDialogButtonBox::ActionRole);
    buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    connect(print, &QPushButton::clicked, this, &CShiftSheetDlg::onPrint);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* box = new QVBoxLayout(this);
    box->addWidget(scrolled(text_, this));
    box->addWidget(buttons);
}

void CShiftSheetDlg::onPrint() {
    const SheetPrintOutcome out = printShiftReport(shell_, report_);
    if (!out.ok) {
        shell_.reportFailure(QStringLiteral("未知异常导致交班单未打印（%1），放弃该次\"打印\"操作").arg(out.error));
        return;
    }
    shell_.showStatus(QStringLiteral("成功打印收银员\"%1\"的交班单：%2")
                          .arg(fromGbk(report_.shift.cashier), sheetOutcomeText(out, QStringLiteral("交班单"))));
}

void dayCashUp(Shell& shell, const DialogRunner& runner) {
    if (!mayCashUpDay(shell)) {
        shell.showStatus(QStringLiteral("未打开任何日结：只有管理员和店主可以日结"));
        return;
    }
    CDayReportDlg dlg(shell, QDateTime::fromSecsSinceEpoch(now()).date(), shell.window());
    if (!dlg.loaded()) {
        shell.reportFailure(withStoreCause(QStringLiteral("未知异常导致班次读取失败，放弃该次\"日结\"操作")));
        return;
    }
    const QString before = shell.statusText();
    runner(dlg);
    // Printing and exporting said their own sentences; a look alone says this one.
    if (shell.statusText() == before)
        shell.showStatus(QStringLiteral("成功查看%1的日结").arg(dlg.dateEdit()->date().toString(QStringLiteral("yyyy-MM-dd"))));
}

} // namespace vorn::ui
