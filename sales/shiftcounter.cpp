#include "shiftcounter.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include "kit/dialog/storefailure.h"
#include "kit/page/appstate.h"
#include "kit/page/shell.h"
#include "kit/print/escpos.h"
#include "kit/print/rawprinter.h"
#include "kit/print/receiptprinter.h"
#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "pricing.h"
#include "shiftdlg.h"
#include "vorn/core.h"
#include "vorn/shifts.h"

namespace vorn::ui {

DialogRunner shiftDialogRunner(Shell& shell) {
    const DialogRunner& set = shell.state().extension<ShiftDialogs>().runner;
    return set ? set : execDialogRunner();
}

// ---- 开班 ---------------------------------------------------------------------

COpenShiftDlg::COpenShiftDlg(Shell& shell, QWidget* parent) : QDialog(parent), shell_(shell) {
    setWindowTitle(QStringLiteral("开班"));
    vorn::Shifts shifts(shell_.state().core);
    const std::string& cashier = shell_.state().currentUser.FUs_Name;
    shiftId_ = shifts.current_shift(cashier);
    QString state;
    if (shiftId_ > 0) {
        vorn::ShiftRecord rec;
        if (shifts.get_shift(shiftId_, rec) == 1) {
            oldFloat_ = rec.cash_float;
            state = QStringLiteral("本班 %1 开始，备用金 %2 元")
                        .arg(QDateTime::fromSecsSinceEpoch(rec.opened).toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                             tenthsText(rec.cash_float));
        } else {
            shiftId_ = -1;
        }
    } else if (shiftId_ == 0) {
        vorn::ShopRules rules;
        if (shifts.rules(rules) == 1) oldFloat_ = rules.usual_float;
        state = QStringLiteral("尚未开班，店铺的备用金为 %1 元").arg(tenthsText(oldFloat_));
    }

    auto* form = new QFormLayout;
    auto* who = new QLabel(fromGbk(cashier), this);
    auto* now = new QLabel(state, this);
    now->setObjectName(QStringLiteral("openShiftState"));
    float_ = new QLineEdit(tenthsText(oldFloat_), this);
    float_->setObjectName(QStringLiteral("openShiftFloat"));
    float_->selectAll();
    form->addRow(QStringLiteral("收银员:"), who);
    form->addRow(QStringLiteral("班次:"), now);
    form->addRow(QStringLiteral("备用金(元):"), float_);
    note_ = new QLabel(this);
    note_->setStyleSheet(QStringLiteral("color: #b00000"));
    note_->hide();

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(shiftId_ > 0 ? QStringLiteral("确定") : QStringLiteral("开班"),
                             QDialogButtonBox::AcceptRole);
    ok_->setDefault(true);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &COpenShiftDlg::onOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* box = new QVBoxLayout(this);
    box->addLayout(form);
    box->addWidget(note_);
    box->addWidget(buttons);
    float_->setFocus();
}

void COpenShiftDlg::onOk() {
    if (!parseAmount(float_->text(), floatValue_)) {
        note_->setText(QStringLiteral("备用金请输入金额，如 200 或 200.5"));
        note_->show();
        float_->setFocus();
        return;
    }
    vorn::Shifts shifts(shell_.state().core);
    if (shiftId_ > 0) {
        outcome_ = floatValue_ == oldFloat_ ? 0 : shifts.set_float(shiftId_, floatValue_);
    } else {
        const int64_t id = shifts.open_shift(shell_.state().currentUser.FUs_Name, now(), floatValue_);
        outcome_ = id > 0 ? 1 : -1;
    }
    accept();
}

void openShiftAtCounter(Shell& shell, const DialogRunner& runner) {
    COpenShiftDlg dlg(shell, shell.window());
    if (dlg.shiftId() < 0) {
        shell.reportFailure(withStoreCause(QStringLiteral("未知异常导致班次读取失败，放弃该次\"开班\"操作")));
        return;
    }
    const bool open = dlg.shiftId() > 0;
    if (runner(dlg) != QDialog::Accepted) {
        shell.showStatus(QStringLiteral("放弃该次\"开班\"操作"));
        return;
    }
    if (dlg.outcome() < 0) {
        shell.reportFailure(withStoreCause(QStringLiteral("未知异常导致班次写入失败，放弃该次\"开班\"操作")));
        return;
    }
    if (dlg.outcome() == 0) {
        shell.showStatus(QStringLiteral("未改动任何备用金：本班备用金仍为%1元").arg(tenthsText(dlg.floatTenths())));
        return;
    }
    shell.showStatus(open ? QStringLiteral("成功将本班备用金改为%1元").arg(tenthsText(dlg.floatTenths()))
                          : QStringLiteral("成功开班，备用金%1元").arg(tenthsText(dlg.floatTenths())));
}

// ---- 开钱箱 --------------------------------------------------------------------

void openDrawerAtCounter(Shell& shell) {
    const ReceiptPrinterSettings settings = loadReceiptPrinter();
    if (!settings.escPos()) {
        shell.showStatus(QStringLiteral("未打开任何钱箱：钱箱接在小票打印机上，请先在店铺设置中选择小票打印机"));
        return;
    }
    const QString problem = receiptPrinterProblem(settings);
    if (!problem.isEmpty()) {
        shell.showStatus(QStringLiteral("未打开任何钱箱：%1").arg(problem));
        return;
    }
    EscPosDoc doc;
    doc.init().drawerPulse();
    const RawTarget target = receiptPrinterTarget(settings);
    const int64_t asked = now();
    const std::string cashier = shell.state().currentUser.FUs_Name;
    Shell* sh = &shell;
    // Counted once the printer took the pulse: an opening that never happened
    // must not stand in the shift's report.
    sendRawAsync(shell.window(), target, doc.bytes(),
                 [sh, asked, cashier, printer = target.describe()](const SendResult& r) {
                     if (!r.ok) {
                         sh->showStatus(QStringLiteral("未知异常导致钱箱未打开（%1），放弃该次\"开钱箱\"操作").arg(r.error));
                         return;
                     }
                     vorn::Shifts shifts(sh->state().core);
                     const int64_t shift = shifts.open_shift(cashier, asked);
                     if (shift <= 0 || shifts.count_drawer_open(shift, cashier, asked) != 1) {
                         sh->reportFailure(withStoreCause(
                             QStringLiteral("未知异常导致钱箱的打开未能记入班次，放弃该次\"开钱箱\"操作")));
                         return;
                     }
                     sh->showStatus(QStringLiteral("成功打开钱箱（小票打印机\"%1\"），已记入本班").arg(printer));
                 });
    shell.showStatus(QStringLiteral("正在打开钱箱..."));
}

// ---- leaving with a shift open ---------------------------------------------------

CShiftLeaveDlg::CShiftLeaveDlg(const QString& cashier, Leaving why, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("交班"));
    const QString going = why == Leaving::Close ? QStringLiteral("退出程序") : QStringLiteral("切换用户");
    QString text = QStringLiteral("收银员\"%1\"的班次尚未交班。%2前是否现在交班？").arg(cashier, going);
    if (why == Leaving::Close)
        text += QStringLiteral("\n稍后交班的班次在下次启动程序时记为\"未交班\"。");
    text_ = new QLabel(text, this);
    text_->setObjectName(QStringLiteral("shiftLeaveQuestion"));
    text_->setWordWrap(true);
    text_->setMinimumWidth(360);
    auto* buttons = new QDialogButtonBox(this);
    now_ = buttons->addButton(QStringLiteral("现在交班"), QDialogButtonBox::AcceptRole);
    later_ = buttons->addButton(QStringLiteral("稍后"), QDialogButtonBox::DestructiveRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    now_->setDefault(true);
    connect(now_, &QPushButton::clicked, this, [this] { done(HandOverNow); });
    connect(later_, &QPushButton::clicked, this, [this] { done(Later); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* box = new QVBoxLayout(this);
    box->addWidget(text_);
    box->addWidget(buttons);
}

bool shiftLeaveCheck(Shell& shell, QWidget* parent, Leaving why) {
    if (why == Leaving::Tab) return true;
    const std::string& cashier = shell.state().currentUser.FUs_Name;
    if (cashier.empty() || !shell.state().core.is_open()) return true;
    vorn::Shifts shifts(shell.state().core);
    // A store that cannot say keeps nobody: the shift, if any, is closed as
    // 未交班 at the next start.
    if (shifts.current_shift(cashier) <= 0) return true;
    const DialogRunner runner = shiftDialogRunner(shell);
    CShiftLeaveDlg ask(fromGbk(cashier), why, parent);
    const int answer = runner(ask);
    if (answer == CShiftLeaveDlg::Later) {
        shell.showStatus(QStringLiteral("未交接任何班次：本班稍后交班"));
        return true;
    }
    if (answer != CShiftLeaveDlg::HandOverNow) {
        shell.showStatus(why == Leaving::Close ? QStringLiteral("放弃该次\"退出\"操作")
                                               : QStringLiteral("放弃该次\"切换用户\"操作"));
        return false;
    }
    handOverAtCounter(shell, runner);
    // Gone only when the shift really was handed over.
    return shifts.current_shift(cashier) == 0;
}

} // namespace vorn::ui
