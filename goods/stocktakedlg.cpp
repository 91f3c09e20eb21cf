#include "stocktakedlg.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "footerstrip.h"
#include "kit/dialog/msgbox.h"
#include "kit/dialog/storefailure.h"
#include "kit/page/appstate.h"
#include "kit/page/shell.h"
#include "kit/sheet/sheetexport.h"
#include "kit/sheet/sheetwriter.h"
#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "stocktakemodel.h"
#include "stocktakeprint.h"
#include "stocktakescan.h"
#include "vorn/sqltext.h"

namespace vorn::ui {

namespace {

QPushButton* button(const QString& text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    // Enter belongs to the code edit: a scanner ends every code with it.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

QString timeText(int64_t t) {
    return QString::fromStdString(vorn::format_time(t));
}

} // namespace

CStockTakeDlg::CStockTakeDlg(Shell& shell, QWidget* parent) : QDialog(parent), shell_(shell) {
    setObjectName(QStringLiteral("stockTakeDlg"));
    setWindowTitle(QStringLiteral("盘点"));
    auto* main = new QVBoxLayout(this);

    auto* scopeBox = new QGroupBox(QStringLiteral("盘点范围"), this);
    buildScope(scopeBox);
    main->addWidget(scopeBox);

    auto* scanRow = new QHBoxLayout;
    scanRow->addWidget(new QLabel(QStringLiteral("商品编码:"), this));
    scan_ = new QLineEdit(this);
    scan_->setObjectName(QStringLiteral("scanEdit"));
    scan_->setPlaceholderText(QStringLiteral("扫码每次计1件，或输入 数量*编码"));
    scan_->setMinimumWidth(260);
    scanRow->addWidget(scan_, 1);
    scanRow->addWidget(new QLabel(QStringLiteral("数量:"), this));
    quantity_ = new QSpinBox(this);
    quantity_->setObjectName(QStringLiteral("quantityEdit"));
    quantity_->setRange(1, kMaxScanQuantity);
    quantity_->setToolTip(QStringLiteral("下一次扫码计入的数量，计入后恢复为1"));
    scanRow->addWidget(quantity_);
    scanRow->addWidget(new QLabel(QStringLiteral("（直接在\"实盘数量\"列中输入可改写盘点数）"), this));
    main->addLayout(scanRow);
    connect(scan_, &QLineEdit::returnPressed, this, &CStockTakeDlg::scan);

    model_ = new StockTakeModel(shell_.state().types, this);
    model_->onTyped = [this](int row, std::optional<int> counted) { count(row, counted, false); };
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("stockTakeSheet"));
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::AnyKeyPressed |
                            QAbstractItemView::EditKeyPressed);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(22);
    const int widths[TakeColumns] = {150, 220, 90, 80, 80, 70, 110};
    for (int c = 0; c < TakeColumns; ++c)
        table_->setColumnWidth(c, widths[c]);
    table_->horizontalHeader()->setStretchLastSection(true);
    main->addWidget(table_, 1);
    footer_ = new FooterStrip(table_, this);
    footer_->setObjectName(QStringLiteral("stockTakeFooter"));
    for (int c = TakeBook; c < TakeColumns; ++c)
        footer_->setAlignment(c, Qt::AlignRight);
    main->addWidget(footer_);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("stockTakeSummary"));
    main->addWidget(summary_);

    auto* buttons = new QHBoxLayout;
    zero_ = new QCheckBox(QStringLiteral("未盘点的商品按0计（确认时全部报损）"), this);
    zero_->setObjectName(QStringLiteral("zeroUncounted"));
    connect(zero_, &QCheckBox::toggled, this, [this] {
        loadSheet();
        updateSums();
    });
    buttons->addWidget(zero_);
    buttons->addStretch(1);
    auto* saveB = button(QStringLiteral("保存(&S)"), "saveButton", this);
    auto* confirmB = button(QStringLiteral("确认盘点"), "confirmButton", this);
    auto* exportB = button(QStringLiteral("导出..."), "exportButton", this);
    auto* printB = button(QStringLiteral("打印..."), "printButton", this);
    auto* abandonB = button(QStringLiteral("作废盘点"), "abandonButton", this);
    auto* closeB = button(QStringLiteral("关闭"), "closeButton", this);
    for (QPushButton* b : {saveB, confirmB, exportB, printB, abandonB, closeB})
        buttons->addWidget(b);
    main->addLayout(buttons);
    takeButtons_ = {saveB, confirmB, exportB, printB, abandonB};
    connect(saveB, &QPushButton::clicked, this, [this] {
        if (save()) shell_.showStatus(QStringLiteral("成功\"保存\"盘点数量，可稍后继续盘点"));
    });
    connect(confirmB, &QPushButton::clicked, this, &CStockTakeDlg::confirmTake);
    connect(exportB, &QPushButton::clicked, this, &CStockTakeDlg::exportSheet);
    connect(printB, &QPushButton::clicked, this, [this] { printSheet(); });
    connect(abandonB, &QPushButton::clicked, this, &CStockTakeDlg::abandonTake);
    connect(closeB, &QPushButton::clicked, this, &CStockTakeDlg::reject);
    auto* saveKey = new QShortcut(QKeySequence::Save, this);
    connect(saveKey, &QShortcut::activated, saveB, &QPushButton::click);
    // The scanner's edit is where the keyboard comes back to.
    auto* scanKey = new QShortcut(QKeySequence(Qt::Key_F2), this);
    connect(scanKey, &QShortcut::activated, scan_, [this] { scan_->setFocus(); });

    resize(940, 640);

    vorn::StockTakes takes(shell_.state().core);
    const int found = takes.find_open(take_);
    if (found < 0) {
        shell_.reportFailure(
            withStoreCause(QStringLiteral("未知异常导致未完成的\"盘点\"读取失败，放弃该次\"盘点\"操作")));
        take_ = {};
    }
    showTake();
    if (found == 1 && loadSheet()) {
        updateSums();
        shell_.showStatus(QStringLiteral("成功打开%1开始的盘点，已盘%2种商品，可继续盘点")
                              .arg(timeText(take_.started))
                              .arg(vorn::sum_stock_take(model_->rows()).counted_codes));
    }
}

void CStockTakeDlg::buildScope(QWidget* box) {
    auto* row = new QHBoxLayout(box);
    allGoods_ = new QRadioButton(QStringLiteral("全部商品"), box);
    allGoods_->setObjectName(QStringLiteral("allGoods"));
    allGoods_->setChecked(true);
    someTypes_ = new QRadioButton(QStringLiteral("按类型:"), box);
    someTypes_->setObjectName(QStringLiteral("someTypes"));
    typeList_ = new QListWidget(box);
    typeList_->setObjectName(QStringLiteral("typeList"));
    typeList_->setFlow(QListView::LeftToRight);
    typeList_->setWrapping(true);
    typeList_->setFixedHeight(52);
    for (const vorn::TRec& t : shell_.state().types) {
        auto* item = new QListWidgetItem(fromGbk(t.FTs_Name), typeList_);
        item->setData(Qt::UserRole, t.FTi_Id);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    typeList_->setEnabled(false);
    connect(someTypes_, &QRadioButton::toggled, typeList_, &QWidget::setEnabled);
    startButton_ = button(QStringLiteral("开始盘点"), "startButton", box);
    connect(startButton_, &QPushButton::clicked, this, &CStockTakeDlg::startTake);
    takeLabel_ = new QLabel(box);
    takeLabel_->setObjectName(QStringLiteral("takeLabel"));
    takeLabel_->setWordWrap(true);
    row->addWidget(allGoods_);
    row->addWidget(someTypes_);
    row->addWidget(typeList_, 1);
    row->addWidget(startButton_);
    row->addWidget(takeLabel_, 1);
}

QString CStockTakeDlg::scopeText() const {
    if (take_.types.empty()) return QStringLiteral("全部商品");
    QStringList names;
    for (int t : take_.types)
        names << model_->typeName(t);
    return names.join(QStringLiteral("、"));
}

void CStockTakeDlg::showTake() {
    const bool open = started();
    for (QWidget* w : std::initializer_list<QWidget*>{allGoods_, someTypes_, typeList_, startButton_})
        w->setVisible(!open);
    takeLabel_->setVisible(open);
    if (open)
        takeLabel_->setText(QStringLiteral("盘点范围：%1    开始于 %2    盘点人：%3")
                                .arg(scopeText(), timeText(take_.started), fromGbk(take_.user)));
    for (QPushButton* b : takeButtons_)
        b->setEnabled(open);
    scan_->setEnabled(open);
    quantity_->setEnabled(open);
    zero_->setEnabled(open);
    if (open)
        scan_->setFocus();
    else
        (allGoods_->isChecked() ? static_cast<QWidget*>(allGoods_) : someTypes_)->setFocus();
}

bool CStockTakeDlg::loadSheet() {
    std::vector<vorn::StockTakeRow> rows;
    if (started() &&
        vorn::StockTakes(shell_.state().core).sheet(take_, unsaved_, zero_->isChecked(), rows) < 0) {
        shell_.reportFailure(
            withStoreCause(QStringLiteral("未知异常导致\"盘点表\"读取失败，放弃该次\"盘点\"操作")));
        return false;
    }
    model_->setRows(std::move(rows));
    return true;
}

void CStockTakeDlg::startTake() {
    std::vector<int> types;
    if (someTypes_->isChecked()) {
        for (int i = 0; i < typeList_->count(); ++i)
            if (typeList_->item(i)->checkState() == Qt::Checked)
                types.push_back(typeList_->item(i)->data(Qt::UserRole).toInt());
        if (types.empty()) {
            shell_.showStatus(QStringLiteral("未选择任何商品类型，未开始盘点"));
            typeList_->setFocus();
            return;
        }
    }
    vorn::StockTakes takes(shell_.state().core);
    const int64_t id = takes.start(shell_.state().currentUser.FUs_Name, types, now());
    if (id <= 0 || takes.find(id, take_) != 1) {
        take_ = {};
        shell_.reportFailure(
            withStoreCause(QStringLiteral("未知异常导致\"盘点\"开始失败，放弃该次\"开始盘点\"操作")));
        return;
    }
    unsaved_.clear();
    showTake();
    if (!loadSheet()) return;
    updateSums();
    shell_.showStatus(QStringLiteral("成功开始盘点%1，共%2种商品").arg(scopeText()).arg(model_->rowCount()));
}

void CStockTakeDlg::scan() {
    const StockScan s = readStockScan(scan_->text(), quantity_->value());
    scan_->clear();
    quantity_->setValue(1);
    scan_->setFocus();
    if (!started()) return;
    if (s.quantity == 0) {
        shell_.showStatus(QStringLiteral("未计入任何数量：请扫描商品编码，或输入 数量*编码"));
        return;
    }
    std::string code;
    const int row = toGbk(s.code, code) ? model_->rowOf(code) : -1;
    if (row < 0) {
        shell_.showStatus(QStringLiteral("未在盘点范围内找到编码为\"%1\"的商品，未计入任何数量").arg(s.code));
        return;
    }
    const auto& r = model_->rows()[static_cast<size_t>(row)];
    count(row, r.counted.value_or(0) + s.quantity, true);
    table_->selectRow(row);
    table_->scrollTo(model_->index(row, TakeCode));
    const auto& now = model_->rows()[static_cast<size_t>(row)];
    shell_.showStatus(QStringLiteral("成功盘点\"%1\"%2件，实盘共%3件，账面%4件")
                          .arg(fromGbk(now.name))
                          .arg(s.quantity)
                          .arg(now.counted.value_or(0))
                          .arg(now.book));
}

void CStockTakeDlg::count(int row, std::optional<int> counted, bool add) {
    const vorn::StockTakeRow& r = model_->rows()[static_cast<size_t>(row)];
    // Cleared in the sheet: uncounted again, or 0 when uncounted codes count 0.
    std::optional<int> shown = counted;
    if (!shown && zero_->isChecked()) shown = 0;
    int64_t cost = 0;
    if (shown &&
        vorn::StockTakes(shell_.state().core).difference_cost(r.code, *shown - r.book, r.latest_cost, cost) <
            0) {
        shell_.reportFailure(
            withStoreCause(QStringLiteral("未知异常导致\"盘点\"计数失败，放弃该次\"盘点\"操作")));
        return;
    }
    unsaved_[r.code] = counted ? *counted : -1;
    const std::string code = r.code;
    model_->setCount(row, shown, cost);
    updateSums();
    if (!add) {
        const auto& now = model_->rows()[static_cast<size_t>(row)];
        shell_.showStatus(
            counted ? QStringLiteral("成功将\"%1\"的实盘数量改为%2件").arg(fromGbk(now.name)).arg(*counted)
                    : QStringLiteral("成功清除\"%1\"的实盘数量").arg(fromGbk(now.name)));
    }
}

void CStockTakeDlg::updateSums() {
    const vorn::StockTakeSums s = vorn::sum_stock_take(model_->rows());
    footer_->setText(TakeCode, QStringLiteral("合计 %1种").arg(s.codes));
    footer_->setText(TakeName, QStringLiteral("已盘%1种").arg(s.counted_codes));
    footer_->setText(TakeBook, QString::number(s.book));
    footer_->setText(TakeCounted, QString::number(s.counted));
    footer_->setText(TakeDifference, QString::number(s.extra - s.missing));
    footer_->setText(TakeCost, tenthsText(s.cost()));
    summary_->setText(
        QStringLiteral("盘亏 %1 件（进货价 %2 元）    盘盈 %3 件（进货价 %4 元）    未保存的改动 %5 处")
            .arg(s.missing)
            .arg(tenthsText(s.missing_cost))
            .arg(s.extra)
            .arg(tenthsText(s.extra_cost))
            .arg(unsaved_.size()));
}

bool CStockTakeDlg::save() {
    if (!started()) return false;
    if (vorn::StockTakes(shell_.state().core).save_counts(take_.id, unsaved_) != 0) {
        shell_.reportFailure(
            withStoreCause(QStringLiteral("未知异常导致盘点数量\"保存\"失败，放弃该次\"保存\"操作")));
        return false;
    }
    unsaved_.clear();
    updateSums();
    return true;
}

void CStockTakeDlg::confirmTake() {
    if (!started()) return;
    const vorn::StockTakeSums s = vorn::sum_stock_take(model_->rows());
    if (s.counted_codes == 0) {
        shell_.showStatus(QStringLiteral("未盘点任何商品，未\"确认盘点\""));
        return;
    }
    // The codes the user counted: the saved counts with the unsaved laid over.
    vorn::StockCounts counted;
    vorn::StockTakes(shell_.state().core).counts(take_.id, counted);
    for (const auto& [code, n] : unsaved_) {
        if (n < 0)
            counted.erase(code);
        else
            counted[code] = n;
    }
    const int uncounted = std::max(0, s.codes - static_cast<int>(counted.size()));
    QString rest = QStringLiteral("没有未盘点的商品。");
    if (uncounted > 0)
        rest = zero_->isChecked() ? QStringLiteral("未盘点的%1种商品按0计，其库存全部报损。").arg(uncounted)
                                  : QStringLiteral("未盘点的%1种商品保持不变。").arg(uncounted);
    const QString question = QStringLiteral("确认后将写入库存：\n报损（盘亏）%1件，进货价合计%2元；\n"
                                            "按最新价格入库（盘盈）%3件，进货价合计%4元；\n%5\n"
                                            "确认后不能撤销，是否确认盘点？")
                                 .arg(s.missing)
                                 .arg(tenthsText(s.missing_cost))
                                 .arg(s.extra)
                                 .arg(tenthsText(s.extra_cost))
                                 .arg(rest);
    if (!askYesNo(this, question)) {
        shell_.showStatus(QStringLiteral("放弃该次\"确认盘点\"操作"));
        return;
    }
    vorn::StockTakeResult result;
    if (vorn::StockTakes(shell_.state().core)
            .confirm(take_.id, unsaved_, zero_->isChecked(), now(), result) != 1) {
        shell_.reportFailure(
            withStoreCause(QStringLiteral("未知异常导致\"确认盘点\"失败，放弃该次\"确认盘点\"操作")));
        return;
    }
    unsaved_.clear();
    vorn::StockTakes(shell_.state().core).find(take_.id, take_);
    loadSheet();
    model_->setEditable(false);
    updateSums();
    for (QPushButton* b : takeButtons_)
        b->setEnabled(b->objectName() == QLatin1String("exportButton") ||
                      b->objectName() == QLatin1String("printButton"));
    scan_->setEnabled(false);
    quantity_->setEnabled(false);
    zero_->setEnabled(false);
    shell_.showStatus(QStringLiteral("成功\"确认盘点\"：报损%1件，盘盈入库%2件，差异金额%3元")
                          .arg(result.written_off)
                          .arg(result.entered)
                          .arg(tenthsText(result.cost)));
}

void CStockTakeDlg::abandonTake() {
    if (!started()) return;
    if (!askYesNo(this, QStringLiteral("作废后本次盘点的数量都不再使用，库存保持不变，是否作废该次盘点？"))) {
        shell_.showStatus(QStringLiteral("放弃该次\"作废盘点\"操作"));
        return;
    }
    if (vorn::StockTakes(shell_.state().core).abandon(take_.id, now()) < 0) {
        shell_.reportFailure(
            withStoreCause(QStringLiteral("未知异常导致\"作废盘点\"失败，放弃该次\"作废盘点\"操作")));
        return;
    }
    take_ = {};
    unsaved_.clear();
    model_->setRows({});
    showTake();
    updateSums();
    shell_.showStatus(QStringLiteral("成功\"作废\"该次盘点，库存未作任何改动"));
}

void CStockTakeDlg::exportSheet() {
    // The rows as the sheet shows them; the export runs on a copy, so the
    // window may go on counting afterwards.
    const std::vector<vorn::StockTakeRow> rows = model_->rows();
    std::vector<QString> typeNames;
    for (const auto& r : rows)
        typeNames.push_back(model_->typeName(r.type));
    const vorn::StockTakeSums sums = vorn::sum_stock_take(rows);
    const QStringList heading = {QStringLiteral("商品编码"),    QStringLiteral("商品名称"),
                                 QStringLiteral("类型"),        QStringLiteral("账面库存"),
                                 QStringLiteral("实盘数量"),    QStringLiteral("差异"),
                                 QStringLiteral("差异金额(元)")};
    runSheetExport({shell_, QStringLiteral("导出盘点表"), QStringLiteral("盘点表"), rows.size(),
                    [&](const QString& path, const std::function<void(int)>& percent, QString* error) {
                        return writeSheet(
                            path, QStringLiteral("盘点表"), heading, rows.size() + 1,
                            [&](size_t i, std::vector<SheetCell>& cells) {
                                if (i == rows.size()) {
                                    cells = {SheetCell::str(QStringLiteral("合计")),
                                             SheetCell::str({}),
                                             SheetCell::str({}),
                                             SheetCell::num(double(sums.book)),
                                             SheetCell::num(double(sums.counted)),
                                             SheetCell::num(double(sums.extra - sums.missing)),
                                             SheetCell::money(double(sums.cost()) / 10.0)};
                                    return;
                                }
                                const auto& r = rows[i];
                                cells = {SheetCell::str(fromGbk(r.code)),
                                         SheetCell::str(fromGbk(r.name)),
                                         SheetCell::str(typeNames[i]),
                                         SheetCell::num(r.book),
                                         r.counted ? SheetCell::num(*r.counted) : SheetCell::str({}),
                                         r.counted ? SheetCell::num(r.difference) : SheetCell::str({}),
                                         r.counted ? SheetCell::money(double(r.cost) / 10.0)
                                                   : SheetCell::str({})};
                            },
                            percent, error);
                    }});
}

void CStockTakeDlg::printSheet(QString path) {
    if (!started()) return;
    if (path.isEmpty()) {
        const QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        path = QFileDialog::getSaveFileName(this, QStringLiteral("打印盘点表"),
                                            QDir(dir).filePath(QStringLiteral("盘点表%1.pdf").arg(take_.id)),
                                            QStringLiteral("PDF文档 (*.pdf)"));
        if (path.isEmpty()) {
            shell_.showStatus(QStringLiteral("放弃该次盘点表\"打印\"操作"));
            return;
        }
    }
    QString heading = QStringLiteral("盘点表 %1  范围：%2  开始于 %3  盘点人：%4")
                          .arg(take_.id)
                          .arg(scopeText(), timeText(take_.started), fromGbk(take_.user));
    if (take_.state == vorn::StockTakeState::Confirmed)
        heading += QStringLiteral("  确认于 %1").arg(timeText(take_.done));
    if (!writeStockTakePdf(path, heading, model_->rows(), [this](int t) { return model_->typeName(t); })) {
        shell_.reportFailure(QStringLiteral("未知异常导致盘点表\"打印\"失败，放弃该次\"打印\"操作"));
        return;
    }
    shell_.showStatus(QStringLiteral("成功将盘点表%1种商品\"打印\"到%2").arg(model_->rowCount()).arg(path));
}

void CStockTakeDlg::reject() {
    if (started() && !unsaved_.empty()) {
        if (askYesNo(this, QStringLiteral("有%1处盘点数量尚未保存，是否保存后关闭？").arg(unsaved_.size()))) {
            if (!save()) return; // reported; the window stays
            shell_.showStatus(QStringLiteral("成功\"保存\"盘点数量，可稍后继续盘点"));
        } else {
            shell_.showStatus(QStringLiteral("放弃该次盘点数量的\"保存\"操作，已保存的数量不变"));
        }
    }
    QDialog::reject();
}

void runStockTake(Shell& shell) {
    CStockTakeDlg dlg(shell, shell.window());
    dlg.exec();
}

} // namespace vorn::ui
