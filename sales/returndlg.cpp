#include "returndlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "daysalesdlg.h"
#include "kit/page/appstate.h"
#include "kit/dialog/approvaldlg.h"
#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "kit/page/shell.h"
#include "kit/dialog/storefailure.h"
#include "pricing.h"
#include "receiptprint.h"
#include "returnreceipt.h"
#include "salereceipt.h"
#include "vorn/core.h"
#include "vorn/shifts.h"
#include "vorn/sqltext.h"

namespace vorn::ui {

namespace {

QTableWidgetItem* checkItem(bool on) {
    auto* item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
    item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    return item;
}

QTableWidgetItem* textItem(const QString& text, bool right = false) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (right) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

QString CReturnDlg::refundsText(const std::vector<vorn::Payment>& refunds) {
    QStringList parts;
    for (const vorn::Payment& p : refunds)
        parts << fromGbk(vorn::pay_method_name(p.method)) + QLatin1Char(' ') + tenthsText(p.amount);
    return parts.join(QStringLiteral("  "));
}

QString CReturnDlg::refusalText(const vorn::ReturnResult& r) {
    switch (r.status) {
    case vorn::ReturnStatus::Done:
    case vorn::ReturnStatus::Failed:
        return {};
    case vorn::ReturnStatus::Invalid:
        return QStringLiteral("请选择要退货的商品和数量");
    case vorn::ReturnStatus::NoSale:
        return QStringLiteral("未找到可以退货的销售");
    case vorn::ReturnStatus::AlreadyReturned:
        return QStringLiteral("商品(%1)已由退货单\"%2\"退回，不能再次退货")
            .arg(r.unit)
            .arg(QString::fromStdString(r.returned_by));
    case vorn::ReturnStatus::NotSold:
        return QStringLiteral("商品(%1)已不是售出状态，不能退货").arg(r.unit);
    case vorn::ReturnStatus::NotEnough:
        return QStringLiteral("编码为\"%1\"的商品售出的只有%2件，不能退更多")
            .arg(fromGbk(r.code))
            .arg(r.available);
    case vorn::ReturnStatus::Unrecorded:
        return QStringLiteral("商品(%1)的销售不在销售记录中，不能无小票退货").arg(r.unit);
    }
    return {};
}

CReturnDlg::CReturnDlg(Shell& shell, QWidget* parent)
    : QDialog(parent), shell_(shell), runApproval_(execDialogRunner()) {
    setObjectName(QStringLiteral("returnDlg"));
    setWindowTitle(QStringLiteral("退货"));
    setModal(true);

    number_ = new QLineEdit(this);
    number_->setObjectName(QStringLiteral("returnNumber"));
    number_->setPlaceholderText(QStringLiteral("扫描或输入小票上的单号"));
    find_ = new QPushButton(QStringLiteral("查找"), this);
    find_->setObjectName(QStringLiteral("findButton"));
    days_ = new QComboBox(this);
    days_->setObjectName(QStringLiteral("returnDaySales"));
    days_->setMinimumContentsLength(28);
    saleLabel_ = new QLabel(this);
    saleLabel_->setObjectName(QStringLiteral("returnSale"));
    saleLabel_->setWordWrap(true);

    static const char* const headers[] = {"退", "商品编码", "商品名称", "实付单价", "可退", "退货数量", "报损"};
    table_ = new QTableWidget(0, ColumnCount, this);
    table_->setObjectName(QStringLiteral("returnLines"));
    QStringList labels;
    for (const char* h : headers)
        labels << QString::fromUtf8(h);
    table_->setHorizontalHeaderLabels(labels);
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setWordWrap(false);
    const int widths[] = {32, 120, 170, 76, 48, 76, 44};
    for (int c = 0; c < ColumnCount; ++c)
        table_->horizontalHeader()->resizeSection(c, widths[c]);
    table_->horizontalHeader()->setSectionResizeMode(ColName, QHeaderView::Stretch);
    table_->setMinimumSize(600, 200);

    noReceipt_ = new QCheckBox(QStringLiteral("无小票退货"), this);
    noReceipt_->setObjectName(QStringLiteral("noReceiptCheck"));
    code_ = new QLineEdit(this);
    code_->setObjectName(QStringLiteral("returnCode"));
    code_->setPlaceholderText(QStringLiteral("商品编码"));
    codeQty_ = new QSpinBox(this);
    codeQty_->setObjectName(QStringLiteral("returnCodeQuantity"));
    codeQty_->setRange(1, 9999);
    addCode_ = new QPushButton(QStringLiteral("加入"), this);
    addCode_->setObjectName(QStringLiteral("addCodeButton"));

    allCash_ = new QCheckBox(QStringLiteral("全部退现金"), this);
    allCash_->setObjectName(QStringLiteral("allCashCheck"));
    print_ = new QCheckBox(QStringLiteral("打印退货单"), this);
    print_->setObjectName(QStringLiteral("printCheck"));
    print_->setChecked(true);
    refundLabel_ = new QLabel(this);
    refundLabel_->setObjectName(QStringLiteral("returnRefund"));
    refundLabel_->setStyleSheet(QStringLiteral("font-size: 16px; font-weight: bold;"));
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("returnMessage"));
    message_->setWordWrap(true);
    message_->setStyleSheet(QStringLiteral("color: #c0392b;"));

    ok_ = new QPushButton(QStringLiteral("确定退货"), this);
    ok_->setObjectName(QStringLiteral("okButton"));
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    for (QPushButton* b : {find_, addCode_, ok_, cancel})
        b->setAutoDefault(false);

    connect(find_, &QPushButton::clicked, this, &CReturnDlg::onFind);
    connect(number_, &QLineEdit::returnPressed, this, &CReturnDlg::onFind);
    connect(days_, &QComboBox::activated, this, &CReturnDlg::onPickDaySale);
    connect(noReceipt_, &QCheckBox::toggled, this, &CReturnDlg::onNoReceipt);
    connect(addCode_, &QPushButton::clicked, this, &CReturnDlg::onAddCode);
    connect(code_, &QLineEdit::returnPressed, this, &CReturnDlg::onAddCode);
    connect(allCash_, &QCheckBox::toggled, this, &CReturnDlg::refreshPlan);
    connect(ok_, &QPushButton::clicked, this, &CReturnDlg::onOk);
    connect(cancel, &QPushButton::clicked, this, &CReturnDlg::onCancel);
    connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (filling_) return;
        const size_t row = static_cast<size_t>(item->row());
        if (row >= lines_.size()) return;
        if (item->column() == ColPick) lines_[row].chosen = item->checkState() == Qt::Checked;
        if (item->column() == ColDamaged) lines_[row].damaged = item->checkState() == Qt::Checked;
        refreshPlan();
    });

    auto* top = new QGridLayout;
    top->addWidget(new QLabel(QStringLiteral("销售单号:"), this), 0, 0);
    top->addWidget(number_, 0, 1);
    top->addWidget(find_, 0, 2);
    top->addWidget(new QLabel(QStringLiteral("今日销售:"), this), 1, 0);
    top->addWidget(days_, 1, 1, 1, 2);
    top->setColumnStretch(1, 1);
    auto* byCode = new QHBoxLayout;
    byCode->addWidget(noReceipt_);
    byCode->addWidget(code_, 1);
    byCode->addWidget(new QLabel(QStringLiteral("数量:"), this));
    byCode->addWidget(codeQty_);
    byCode->addWidget(addCode_);
    auto* options = new QHBoxLayout;
    options->addWidget(refundLabel_, 1);
    options->addWidget(allCash_);
    options->addWidget(print_);
    auto* buttons = new QHBoxLayout;
    auto* hint = new QLabel(QStringLiteral("Enter: 查找    F12/Ctrl+Enter: 确定退货    Esc: 取消"), this);
    hint->setStyleSheet(QStringLiteral("color: #5a6b80;"));
    buttons->addWidget(hint);
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(16, 14, 16, 12);
    outer->setSpacing(8);
    outer->addLayout(top);
    outer->addWidget(saleLabel_);
    outer->addWidget(table_, 1);
    outer->addLayout(byCode);
    outer->addLayout(options);
    outer->addWidget(message_);
    outer->addLayout(buttons);

    noReceipt_->setEnabled(mayActAlone());
    onNoReceipt(false);
    loadDaySales();
    number_->setFocus();
}

bool CReturnDlg::mayActAlone() const {
    const vorn::URec& u = shell_.state().currentUser;
    return CApprovalDlg::mayApprove(u.FUi_Auth);
}

bool CReturnDlg::printWanted() const {
    return print_->isChecked();
}

void CReturnDlg::loadDaySales() {
    vorn::SaleFilter filter;
    std::tie(filter.from, filter.to) = CDaySalesDlg::daySpan(now());
    filter.kind = vorn::kKindSale;
    dayFailed_ = vorn::Journal(shell_.state().core).select_sales(filter, daySales_, vorn::SaleOrder::Time, true) < 0;
    days_->clear();
    days_->addItem(dayFailed_ ? QStringLiteral("今日销售读取失败")
                              : QStringLiteral("选择今日的一笔销售（%1笔）").arg(daySales_.size()));
    for (const vorn::SaleRecord& s : daySales_)
        days_->addItem(QStringLiteral("%1  %2  %3件  %4元  %5")
                           .arg(QString::fromStdString(s.number),
                                QDateTime::fromSecsSinceEpoch(s.time).toString(QStringLiteral("HH:mm")))
                           .arg(s.units)
                           .arg(tenthsText(s.due), fromGbk(s.cashier)));
}

void CReturnDlg::say(const QString& text) {
    message_->setText(text);
}

void CReturnDlg::clearSale() {
    sale_ = vorn::SaleDetail{};
    lines_.clear();
    saleLabel_->clear();
    showLines();
}

void CReturnDlg::onPickDaySale(int index) {
    if (index <= 0 || index > static_cast<int>(daySales_.size())) return;
    number_->setText(QString::fromStdString(daySales_[static_cast<size_t>(index - 1)].number));
    onFind();
}

void CReturnDlg::onFind() {
    if (noReceipt_->isChecked()) noReceipt_->setChecked(false);
    clearSale();
    const QString number = number_->text().trimmed();
    if (number.isEmpty()) {
        say(QStringLiteral("请扫描或输入小票上的单号"));
        return;
    }
    vorn::Journal journal(shell_.state().core);
    const int64_t id = journal.sale_id_of(number.toStdString());
    const int found = id > 0 ? journal.open_returnable(id, sale_) : static_cast<int>(id);
    if (found < 0) {
        say(withStoreCause(QStringLiteral("未知异常导致销售单\"%1\"读取失败").arg(number)));
        return;
    }
    if (found == 0) {
        sale_ = vorn::SaleDetail{};
        say(QStringLiteral("未找到单号为\"%1\"的销售").arg(number));
        return;
    }
    const vorn::SaleRecord& s = sale_.sale;
    saleLabel_->setText(QStringLiteral("销售单%1  %2  收银员:%3  会员:%4  实收:%5元  付款:%6")
                            .arg(QString::fromStdString(s.number),
                                 QDateTime::fromSecsSinceEpoch(s.time).toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                                 fromGbk(s.cashier), s.member.empty() ? QStringLiteral("无") : fromGbk(s.member),
                                 tenthsText(s.due), CDaySalesDlg::methodsText(s.methods)));
    for (const vorn::SaleLine& l : sale_.lines) {
        Line line;
        line.code = fromGbk(l.code);
        line.name = fromGbk(l.name.empty() ? l.code : l.name);
        line.price = l.price;
        line.units = l.units;
        line.left = l.quantity;
        line.quantity = l.quantity;
        lines_.push_back(line);
    }
    if (lines_.empty())
        say(QStringLiteral("销售单\"%1\"的商品已全部退货，没有可退的商品").arg(number));
    else
        say(QString());
    showLines();
}

void CReturnDlg::onNoReceipt(bool on) {
    if (on && !mayActAlone()) {
        noReceipt_->setChecked(false);
        return;
    }
    code_->setEnabled(on);
    codeQty_->setEnabled(on);
    addCode_->setEnabled(on);
    allCash_->setEnabled(!on); // without a receipt the refund is always cash
    if (on) {
        number_->clear();
        clearSale();
        say(QString());
        code_->setFocus();
    } else if (sale_.sale.id == 0) {
        clearSale();
    }
}

void CReturnDlg::onAddCode() {
    if (!noReceipt_->isChecked()) return;
    const QString code = code_->text().trimmed();
    std::string codeGbk;
    if (code.isEmpty() || !toGbk(code, codeGbk)) {
        say(QStringLiteral("请输入商品编码"));
        return;
    }
    // The name as the store's latest unit of the code has it.
    vorn::SRec unit;
    const std::string cond = "FSs_Code='" + vorn::sql_escape(codeGbk) + "' ORDER BY FSi_Id DESC LIMIT 1";
    if (shell_.state().core.select_srec(&unit, cond.c_str()) != 1) {
        say(QStringLiteral("未找到编码为\"%1\"的商品").arg(code));
        return;
    }
    Line line;
    line.code = code;
    line.name = fromGbk(unit.FSs_Name);
    line.quantity = codeQty_->value();
    lines_.push_back(line);
    code_->clear();
    codeQty_->setValue(1);
    say(QString());
    showLines();
}

void CReturnDlg::showLines() {
    filling_ = true;
    table_->setRowCount(static_cast<int>(lines_.size()));
    for (int r = 0; r < static_cast<int>(lines_.size()); ++r) {
        const Line& l = lines_[static_cast<size_t>(r)];
        table_->setItem(r, ColPick, checkItem(l.chosen));
        table_->setItem(r, ColCode, textItem(l.code));
        table_->setItem(r, ColName, textItem(l.name));
        table_->setItem(r, ColPrice, textItem(l.price >= 0 ? tenthsText(l.price) : QStringLiteral("-"), true));
        table_->setItem(r, ColLeft, textItem(l.left > 0 ? QString::number(l.left) : QStringLiteral("-"), true));
        table_->setItem(r, ColDamaged, checkItem(l.damaged));
        auto* spin = new QSpinBox(table_);
        spin->setRange(1, l.left > 0 ? l.left : 9999);
        spin->setValue(l.quantity);
        spin->setFrame(false);
        connect(spin, &QSpinBox::valueChanged, this, [this, r](int v) {
            if (filling_ || r >= static_cast<int>(lines_.size())) return;
            lines_[static_cast<size_t>(r)].quantity = v;
            refreshPlan();
        });
        table_->setCellWidget(r, ColQuantity, spin);
    }
    filling_ = false;
    if (!lines_.empty()) table_->selectRow(0);
    refreshPlan();
}

void CReturnDlg::setLineChosen(int row, bool chosen) {
    if (row < 0 || row >= lineCount()) return;
    table_->item(row, ColPick)->setCheckState(chosen ? Qt::Checked : Qt::Unchecked);
}

void CReturnDlg::setLineDamaged(int row, bool damaged) {
    if (row < 0 || row >= lineCount()) return;
    table_->item(row, ColDamaged)->setCheckState(damaged ? Qt::Checked : Qt::Unchecked);
}

void CReturnDlg::setLineQuantity(int row, int quantity) {
    if (row < 0 || row >= lineCount()) return;
    static_cast<QSpinBox*>(table_->cellWidget(row, ColQuantity))->setValue(quantity);
}

vorn::ReturnRequest CReturnDlg::request() const {
    vorn::ReturnRequest r;
    const AppState& st = shell_.state();
    r.time = now();
    r.cashier = st.currentUser.FUs_Name;
    r.approver = gbk(approver_);
    if (noReceipt_->isChecked()) {
        for (const Line& l : lines_)
            if (l.chosen) r.codes.push_back({gbk(l.code), l.quantity, l.damaged});
        return r;
    }
    r.sale_id = sale_.sale.id;
    r.all_cash = allCash_->isChecked();
    for (const Line& l : lines_) {
        if (!l.chosen) continue;
        const size_t n = std::min(l.units.size(), static_cast<size_t>(std::max(l.quantity, 0)));
        for (size_t i = 0; i < n; ++i)
            r.units.push_back({l.units[i], l.damaged});
    }
    return r;
}

void CReturnDlg::refreshPlan() {
    const vorn::ReturnRequest r = request();
    if (r.units.empty() && r.codes.empty()) {
        plan_ = vorn::ReturnResult{};
        refundLabel_->setText(QStringLiteral("退款: 0.0元"));
        ok_->setEnabled(false);
        return;
    }
    plan_ = vorn::Journal(shell_.state().core).plan_return(r);
    if (plan_.status != vorn::ReturnStatus::Done) {
        refundLabel_->setText(QStringLiteral("退款: -"));
        say(plan_.status == vorn::ReturnStatus::Failed
                ? withStoreCause(QStringLiteral("未知异常导致退款无法计算"))
                : refusalText(plan_));
        ok_->setEnabled(false);
        return;
    }
    QString text = QStringLiteral("退款: %1元  %2").arg(tenthsText(plan_.refund), refundsText(plan_.refunds));
    if (!plan_.member.empty() && plan_.member_found)
        text += QStringLiteral("  会员积分-%1").arg(plan_.points_lost);
    refundLabel_->setText(text);
    say(!plan_.member.empty() && !plan_.member_found
            ? QStringLiteral("编号为\"%1\"的会员已不存在，退货不扣减积分").arg(fromGbk(plan_.member))
            : QString());
    ok_->setEnabled(true);
}

void CReturnDlg::onOk() {
    const vorn::ReturnRequest first = request();
    if (first.units.empty() && first.codes.empty()) {
        say(QStringLiteral("请选择要退货的商品和数量"));
        return;
    }
    // A salesperson gives money back only with an approver's name and password.
    if (!mayActAlone() && approver_.isEmpty()) {
        CApprovalDlg approval(shell_.state(), QStringLiteral("退货"), this);
        if (runApproval_(approval) != QDialog::Accepted || approval.approver().isEmpty()) {
            say(QStringLiteral("退货未获管理员或店主授权，未退任何商品"));
            return;
        }
        approver_ = approval.approver();
    }
    // The refund belongs to the cashier's shift, like a sale (0 if none opens).
    vorn::ReturnRequest r = request();
    r.shift = std::max<int64_t>(vorn::Shifts(shell_.state().core).open_shift(r.cashier, r.time), 0);
    result_ = vorn::Journal(shell_.state().core).return_goods(r);
    if (result_.status == vorn::ReturnStatus::Done || result_.status == vorn::ReturnStatus::Failed) {
        accept();
        return;
    }
    // Refused: what the store holds now may differ from what was listed.
    say(refusalText(result_));
    ok_->setEnabled(false);
}

void CReturnDlg::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (event->key() == Qt::Key_F12 || (enter && (event->modifiers() & Qt::ControlModifier))) {
        onOk();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        onCancel();
        return;
    }
    // A plain Enter belongs to the edits (查找, 加入); it never confirms.
    if (enter) return;
    QDialog::keyPressEvent(event);
}

void CReturnDlg::onCancel() {
    result_ = vorn::ReturnResult{};
    reject();
}

// ---- At the counter ------------------------------------------------------------------

void returnAtCounter(Shell& shell, const DialogRunner& runner, const DialogRunner& approvalRunner) {
    CReturnDlg dlg(shell, shell.window());
    if (approvalRunner) dlg.setApprovalRunner(approvalRunner);
    if (runner(dlg) != QDialog::Accepted) {
        shell.showStatus(QStringLiteral("放弃该次\"退货\"操作"));
        return;
    }
    const vorn::ReturnResult& res = dlg.outcome();
    if (res.status != vorn::ReturnStatus::Done) {
        shell.reportFailure(withStoreCause(QStringLiteral("未知异常导致退货写入失败，放弃该次\"退货\"操作")));
        return;
    }
    QString done = QStringLiteral("成功退货%1件，退货单号\"%2\"，退款%3元（%4）")
                       .arg(res.units.size())
                       .arg(QString::fromStdString(res.number), tenthsText(res.refund),
                            CReturnDlg::refundsText(res.refunds));
    if (!res.member.empty() && !res.member_found)
        done += QStringLiteral("，编号为\"%1\"的会员已不存在，未扣减积分").arg(fromGbk(res.member));
    if (!dlg.printWanted()) {
        shell.showStatus(done);
        return;
    }
    vorn::Core& core = shell.state().core;
    vorn::SaleDetail ret;
    if (vorn::Journal(core).open_sale(res.return_id, ret) != 1) {
        shell.reportFailure(withStoreCause(done + QStringLiteral("，但退货单读取失败未能打印")));
        return;
    }
    const ReceiptData paper =
        receiptOfReturn(ret, QString::fromStdString(res.original_number), shopReceiptTexts(core));
    const PrintOutcome printed = printReceipt(shell, paper, ret.sale.time);
    // The return is stored whatever became of its receipt; the status line
    // says both.
    if (!printed.ok)
        shell.reportFailure(done + QStringLiteral("，但退货单未能打印：%1").arg(printed.error));
    else if (!printed.pdfPath.isEmpty())
        shell.showStatus(done + QStringLiteral("，退货单已保存为PDF文件\"%1\"").arg(printed.pdfPath));
    else
        shell.showStatus(done + QStringLiteral("，退货单已打印"));
}

} // namespace vorn::ui
