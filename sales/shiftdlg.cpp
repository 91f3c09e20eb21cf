#include "shiftdlg.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdlib>

#include "kit/page/appstate.h"
#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "kit/page/shell.h"
#include "kit/dialog/storefailure.h"
#include "pricing.h"
#include "shiftsheet.h"
#include "vorn/core.h"
#include "vorn/journal.h"

namespace vorn::ui {

CShiftDlg::CShiftDlg(Shell& shell, QWidget* parent) : QDialog(parent), shell_(shell) {
    setWindowTitle(QStringLiteral("交班"));
    vorn::Shifts shifts(shell_.state().core);
    shiftId_ = shifts.current_shift(shell_.state().currentUser.FUs_Name);
    if (shiftId_ > 0 && shifts.shift_report(shiftId_, report_) != 1) shiftId_ = -1;

    auto* form = new QFormLayout;
    float_ = new QLineEdit(this);
    float_->setObjectName(QStringLiteral("shiftFloat"));
    float_->setText(tenthsText(report_.shift.cash_float));
    counted_ = new QLineEdit(this);
    counted_->setObjectName(QStringLiteral("shiftCounted"));
    counted_->setPlaceholderText(QStringLiteral("点清钱箱后输入"));
    form->addRow(QStringLiteral("备用金(元):"), float_);
    form->addRow(QStringLiteral("实点现金(元):"), counted_);

    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("shiftReport"));
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("shiftNote"));
    note_->setStyleSheet(QStringLiteral("color: #b00000"));

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(QStringLiteral("确定交班"), QDialogButtonBox::AcceptRole);
    ok_->setAutoDefault(false);
    ok_->setDefault(true);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CShiftDlg::onOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(float_, &QLineEdit::textChanged, this, &CShiftDlg::refresh);
    connect(counted_, &QLineEdit::textChanged, this, &CShiftDlg::refresh);

    auto* box = new QVBoxLayout(this);
    box->addLayout(form);
    box->addWidget(text_);
    box->addWidget(note_);
    box->addWidget(buttons);
    refresh();
    counted_->setFocus();
}

QString CShiftDlg::differenceText(int64_t difference) {
    if (difference < 0) return QStringLiteral("短款 %1元").arg(tenthsText(-difference));
    if (difference > 0) return QStringLiteral("长款 %1元").arg(tenthsText(difference));
    return QStringLiteral("无差额");
}

QStringList CShiftDlg::reportLines(const vorn::ShiftFigures& f, int64_t cashFloat, int64_t counted) {
    QStringList out;
    out << QStringLiteral("销售: %1笔  %2件  金额 %3元")
               .arg(f.sales)
               .arg(f.sales_units)
               .arg(tenthsText(f.sales_amount));
    out << QStringLiteral("退货: %1笔  %2件  退款 %3元")
               .arg(f.returns)
               .arg(f.returns_units)
               .arg(tenthsText(f.returns_amount));
    out << QStringLiteral("优惠: %1元    积分: +%2  退货扣减 %3")
               .arg(tenthsText(f.discount))
               .arg(f.points)
               .arg(f.points_lost);
    QStringList methods;
    for (int m = vorn::kPayCash; m <= vorn::kPayOther; ++m)
        methods << QStringLiteral("%1 %2").arg(fromGbk(vorn::pay_method_name(m)), tenthsText(f.by_method[m]));
    out << QStringLiteral("按付款方式: ") + methods.join(QStringLiteral("  "));
    // The float is the one shown, so a corrected float moves the cash expected at once.
    const int64_t expected = cashFloat + f.cash_taken - f.cash_refunded;
    out << QStringLiteral("应有现金: %1元 = 备用金 %2 + 现金收入 %3 - 现金退款 %4")
               .arg(tenthsText(expected), tenthsText(cashFloat), tenthsText(f.cash_taken),
                    tenthsText(f.cash_refunded));
    if (counted < 0) {
        out << QStringLiteral("实点现金: -");
        return out;
    }
    out << QStringLiteral("实点现金: %1元    差额: %2")
               .arg(tenthsText(counted), differenceText(counted - expected));
    return out;
}

void CShiftDlg::refresh() {
    int64_t cashFloat = 0;
    int64_t counted = -1;
    const bool floatOk = parseAmount(float_->text(), cashFloat);
    if (!parseAmount(counted_->text(), counted)) counted = -1;
    QStringList lines;
    lines << QStringLiteral("收银员: %1    开班: %2")
                 .arg(fromGbk(report_.shift.cashier), QDateTime::fromSecsSinceEpoch(report_.shift.opened)
                                                          .toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    lines << reportLines(report_.figures, floatOk ? cashFloat : report_.shift.cash_float, counted);
    text_->setText(lines.join(QLatin1Char('\n')));
    ok_->setEnabled(shiftId_ > 0 && floatOk && counted >= 0);
    say(floatOk ? QString() : QStringLiteral("备用金请输入金额，如 200 或 200.5"));
}

void CShiftDlg::say(const QString& text) {
    note_->setText(text);
    note_->setVisible(!text.isEmpty());
}

void CShiftDlg::onOk() {
    int64_t cashFloat = 0;
    int64_t counted = 0;
    if (!parseAmount(float_->text(), cashFloat) || !parseAmount(counted_->text(), counted)) {
        say(QStringLiteral("请输入点清的现金金额"));
        counted_->setFocus();
        return;
    }
    vorn::Shifts shifts(shell_.state().core);
    countedValue_ = counted;
    closed_ = 1;
    if (cashFloat != report_.shift.cash_float) closed_ = shifts.set_float(shiftId_, cashFloat);
    if (closed_ == 1) closed_ = shifts.close_shift(shiftId_, counted, now());
    // The figures as closed: the float may have been corrected just now.
    if (closed_ == 1 && shifts.shift_report(shiftId_, report_) != 1) report_.figures.counted = counted;
    accept();
}

void handOverAtCounter(Shell& shell, const DialogRunner& runner) {
    CShiftDlg dlg(shell, shell.window());
    if (dlg.shiftId() < 0) {
        shell.reportFailure(withStoreCause(QStringLiteral("未知异常导致班次读取失败，放弃该次\"交班\"操作")));
        return;
    }
    if (dlg.shiftId() == 0) {
        shell.showStatus(QStringLiteral("未找到任何由您开始且未交班的班次"));
        return;
    }
    if (runner(dlg) != QDialog::Accepted) {
        shell.showStatus(QStringLiteral("放弃该次\"交班\"操作"));
        return;
    }
    if (dlg.closeResult() < 0) {
        shell.reportFailure(withStoreCause(QStringLiteral("未知异常导致交班写入失败，放弃该次\"交班\"操作")));
        return;
    }
    if (dlg.closeResult() == 0) {
        shell.showStatus(QStringLiteral("未交接任何班次：该班次已在别处交班"));
        return;
    }
    const vorn::ShiftFigures& f = dlg.report().figures;
    // The 交班单 goes with the cash to whoever takes the drawer over; the shift
    // is closed whether or not it printed, and the sentence says which.
    const SheetPrintOutcome printed = printShiftReport(shell, dlg.report());
    shell.showStatus(QStringLiteral("成功交班，应有现金%1元，实点现金%2元，%3；%4")
                         .arg(tenthsText(f.expected), tenthsText(dlg.countedTenths()),
                              CShiftDlg::differenceText(dlg.countedTenths() - f.expected),
                              sheetOutcomeText(printed, QStringLiteral("交班单"))));
}

} // namespace vorn::ui
