#include "salealarmdlg.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>
#include <memory>

#include "kit/dialog/msgbox.h"
#include "kit/dialog/storefailure.h"
#include "kit/page/appstate.h"
#include "kit/page/frameservices.h"
#include "kit/page/shell.h"
#include "kit/remind/reminder.h"
#include "kit/sheet/sheetexport.h"
#include "kit/text/gbk.h"
#include "kit/text/integertext.h"
#include "res/commandids.h"
#include "vorn/core.h"

namespace vorn::ui {

namespace {

const QString kNoSupplier = QStringLiteral("未指定");

QString supplierOf(const vorn::AlarmLine& line) {
    return line.supplier_name.empty() ? kNoSupplier : fromGbk(line.supplier_name);
}

QString limitText(const vorn::AlarmLine& line) {
    return line.own_limit ? QStringLiteral("单品 %1").arg(line.limit) : QString::number(line.limit);
}

// The code of the chosen row; empty when none is chosen.
QString chosenCode(const CReminderDlg& dlg) {
    const QTableWidget* list = dlg.list();
    const int row = list->currentRow();
    const QTableWidgetItem* item = row >= 0 ? list->item(row, 0) : nullptr;
    return item ? item->text() : QString();
}

void addOwnLimitControls(CReminderDlg& dlg, QBoxLayout* below) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QStringLiteral("ownLimit"));
    edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edit->setMaxLength(12);
    edit->setFixedWidth(72);
    auto button = [&dlg](const QString& caption, const char* name, void (CSaleAlarmDlg::*slot)()) {
        auto* b = new QPushButton(caption);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        QObject::connect(b, &QPushButton::clicked, &dlg, [&dlg, slot] { (static_cast<CSaleAlarmDlg&>(dlg).*slot)(); });
        return b;
    };
    below->addWidget(new QLabel(QStringLiteral("所选商品下限")));
    below->addWidget(edit);
    below->addWidget(button(QStringLiteral("设定"), "setOwnLimit", &CSaleAlarmDlg::setOwnLimit));
    below->addWidget(button(QStringLiteral("恢复统一下限"), "clearOwnLimit", &CSaleAlarmDlg::clearOwnLimit));
    below->addStretch();
    below->addWidget(button(QStringLiteral("导出补货单"), "exportPurchase", &CSaleAlarmDlg::exportPurchaseList));
    // The edit shows the chosen code's limit, ready to be typed over.
    QObject::connect(dlg.list(), &QTableWidget::currentCellChanged, edit, [&dlg, edit](int row) {
        const QTableWidgetItem* item = row >= 0 ? dlg.list()->item(row, 4) : nullptr;
        edit->setText(item ? item->text().section(QLatin1Char(' '), -1) : QString());
    });
}

// The blinking follows what the dialog changed.
void checkAgain(Shell& shell) {
    if (FrameServices* frame = frameServices(shell)) frame->runReminderCheck(cmd::Alarm);
}

} // namespace

ReminderView stockAlarmView() {
    ReminderView v;
    v.objectName = QStringLiteral("saleAlarmDlg");
    v.title = QStringLiteral("库存报警");
    v.listName = QStringLiteral("alarmList");
    v.before = QStringLiteral("当商品库存数量低于");
    v.after = QStringLiteral("时报警");
    v.columns = {
        {QStringLiteral("商品编码"), 120, Qt::AlignLeft | Qt::AlignVCenter},
        {QStringLiteral("商品名称"), 176, Qt::AlignLeft | Qt::AlignVCenter},
        {QStringLiteral("供应商"), 128, Qt::AlignLeft | Qt::AlignVCenter},
        {QStringLiteral("数量"), 56, Qt::AlignRight | Qt::AlignVCenter},
        {QStringLiteral("下限"), 72, Qt::AlignRight | Qt::AlignVCenter},
    };
    v.limitChars = 12;
    v.editWidth = 96;
    v.gridLines = false;
    v.rows = [](vorn::Core& core, int limit) {
        std::vector<ReminderRow> out;
        std::vector<vorn::AlarmLine> low;
        vorn::AlarmLimits(core).select_low(limit, low);
        for (const vorn::AlarmLine& l : low)
            out.push_back({{fromGbk(l.code), fromGbk(l.name), supplierOf(l), QString::number(l.in_stock), limitText(l)}});
        return out;
    };
    v.store = [](vorn::Core& core, int limit) { return core.set_alarm_limit(limit); };
    v.storeFailure = QStringLiteral("未知异常导致\"商品库存报警下限\"设置失败，放弃该次\"设置\"操作");
    v.addControls = addOwnLimitControls;
    return v;
}

QStringList purchaseListHeadings() {
    return {QStringLiteral("供应商"), QStringLiteral("商品编码"), QStringLiteral("商品名称"),
            QStringLiteral("库存"),   QStringLiteral("下限"),     QStringLiteral("补货数量")};
}

std::vector<std::vector<SheetCell>> purchaseListRows(const std::vector<vorn::AlarmLine>& low) {
    // Gathered by supplier in the order each first appears (the store gives
    // them by supplier already; a list in another order still groups).
    std::vector<QString> suppliers;
    for (const vorn::AlarmLine& l : low)
        if (std::find(suppliers.begin(), suppliers.end(), supplierOf(l)) == suppliers.end())
            suppliers.push_back(supplierOf(l));
    std::vector<std::vector<SheetCell>> rows;
    for (const QString& supplier : suppliers) {
        rows.push_back({SheetCell::str(supplier)});
        double sum = 0;
        for (const vorn::AlarmLine& l : low) {
            if (supplierOf(l) != supplier) continue;
            const int order = std::max(1, l.limit - l.in_stock);
            sum += order;
            rows.push_back({SheetCell::str(supplier), SheetCell::str(fromGbk(l.code)), SheetCell::str(fromGbk(l.name)),
                            SheetCell::num(l.in_stock), SheetCell::num(l.limit), SheetCell::num(order)});
        }
        rows.push_back({SheetCell::str(supplier), SheetCell::str(QStringLiteral("合计")), SheetCell::str(QString()),
                        SheetCell::str(QString()), SheetCell::str(QString()), SheetCell::num(sum)});
    }
    return rows;
}

QLineEdit* CSaleAlarmDlg::ownLimitEdit() const {
    return findChild<QLineEdit*>(QStringLiteral("ownLimit"));
}

void CSaleAlarmDlg::setOwnLimit() {
    const QString code = chosenCode(*this);
    if (code.isEmpty()) {
        shell().showStatus(QStringLiteral("未选择任何商品，未设定单品报警下限"));
        return;
    }
    const TypedInteger typed = readInteger(ownLimitEdit()->text());
    if (!typed.whole) {
        errorBox(this, QStringLiteral("请输入一个整数"));
        ownLimitEdit()->setFocus();
        ownLimitEdit()->selectAll();
        return;
    }
    if (!vorn::AlarmLimits(shell().state().core).set(gbk(code), typed.value)) {
        shell().reportFailure(
            withStoreCause(QStringLiteral("未知异常导致\"单品报警下限\"设置失败，放弃该次\"设置\"操作")));
        return;
    }
    shell().showStatus(QStringLiteral("成功设定商品\"%1\"的报警下限为%2").arg(code).arg(typed.value));
    reload();
    checkAgain(shell());
}

void CSaleAlarmDlg::clearOwnLimit() {
    const QString code = chosenCode(*this);
    if (code.isEmpty()) {
        shell().showStatus(QStringLiteral("未选择任何商品，未恢复统一报警下限"));
        return;
    }
    if (!vorn::AlarmLimits(shell().state().core).clear(gbk(code))) {
        shell().reportFailure(
            withStoreCause(QStringLiteral("未知异常导致\"单品报警下限\"恢复失败，放弃该次\"恢复\"操作")));
        return;
    }
    shell().showStatus(QStringLiteral("成功恢复商品\"%1\"的统一报警下限").arg(code));
    reload();
    checkAgain(shell());
}

void CSaleAlarmDlg::exportPurchaseList() {
    std::vector<vorn::AlarmLine> low;
    vorn::AlarmLimits(shell().state().core).select_low(limit(), low);
    auto rows = std::make_shared<std::vector<std::vector<SheetCell>>>(purchaseListRows(low));
    const QString noun = QStringLiteral("补货单");
    runSheetExport({shell(), QStringLiteral("导出补货单"), noun, low.size(),
                    [rows, noun](const QString& path, const std::function<void(int)>& percent, QString* error) {
                        return writeSheet(
                            path, noun, purchaseListHeadings(), rows->size(),
                            [rows](size_t i, std::vector<SheetCell>& cells) { cells = (*rows)[i]; }, percent, error);
                    }});
}

} // namespace vorn::ui
