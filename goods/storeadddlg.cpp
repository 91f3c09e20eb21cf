#include "storeadddlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "articleprefill.h"
#include "enterkey.h"
#include "goodscells.h"
#include "goodsfields.h"
#include "goodslimits.h"
#include "kit/page/appstate.h"
#include "kit/page/busy.h"
#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "kit/text/gbklimit.h"
#include "kit/text/integertext.h"
#include "kit/page/shell.h"
#include "kit/page/staging.h"
#include "kit/dialog/storefailure.h"

namespace vorn::ui {

namespace {

QString orBlank(const std::string& gbkText) {
    return gbkText.empty() ? QStringLiteral("(空)") : fromGbk(gbkText);
}

} // namespace

CStoreAddDlg::CStoreAddDlg(Shell& shell, QWidget* parent) : QDialog(parent), shell_(shell) {
    setWindowTitle(QStringLiteral("商品录入"));
    buildUi();
    fillCombos();
    // A code the store holds brings its latest unit's fields along.
    new CodePrefill(fields_, shell_, this);
    list_->addItem(QStringLiteral("商品编码/商品名称/类型/规格/供货商 × (数量)"));
    focusEdit(fields_.code);
}

void CStoreAddDlg::buildUi() {
    list_ = new QListWidget;
    list_->setObjectName(QStringLiteral("lines"));
    list_->setMinimumWidth(380);

    quantity_ = new QLineEdit(QStringLiteral("1"));
    quantity_->setObjectName(QStringLiteral("quantity"));
    quantity_->setMaxLength(kQuantityDigits);
    // The dialog's main window shows why characters went missing from a field.
    const GbkNotice notice = statusNotice(shell_);
    fields_.code = limitedLineEdit("code", kCodeBytes, notice);
    fields_.name = limitedLineEdit("name", kNameBytes, notice);
    fields_.type = makeNameCombo("type", kTypeNameBytes, notice);
    fields_.size = limitedLineEdit("size", kSizeBytes, notice);
    fields_.oriP = limitedLineEdit("oriP", kPriceBytes, notice);
    fields_.retP = limitedLineEdit("retP", kPriceBytes, notice);
    fields_.memP = limitedLineEdit("memP", kPriceBytes, notice);
    fields_.golP = limitedLineEdit("golP", kPriceBytes, notice);
    fields_.whoP = limitedLineEdit("whoP", kPriceBytes, notice);
    fields_.speP = limitedLineEdit("speP", kPriceBytes, notice);
    fields_.supplier = makeNameCombo("supplier", kSupplierNameBytes, notice);
    fields_.remark = new QPlainTextEdit;
    fields_.remark->setObjectName(QStringLiteral("remark"));
    fields_.remark->setTabChangesFocus(true);
    fields_.remark->setFixedHeight(64);
    limitGbk(fields_.remark, kRemarkBytes, notice);
    interceptEnter(fields_.remark, {});

    // Most lines differ from the previous one only in code and name; the
    // member, gold-card, wholesale and special prices usually equal retail.
    connect(fields_.retP, &QLineEdit::textChanged, this, [this](const QString& t) {
        for (QLineEdit* e : {fields_.memP, fields_.golP, fields_.whoP, fields_.speP})
            e->setText(t);
    });

    auto* form = new QGridLayout;
    int row = 0;
    auto addRow = [&](const QString& label, QWidget* w) {
        form->addWidget(new QLabel(label), row, 0, Qt::AlignRight | Qt::AlignVCenter);
        form->addWidget(w, row, 1);
        ++row;
    };
    addRow(QStringLiteral("数量:"), quantity_);
    addRow(QStringLiteral("商品编码:"), fields_.code);
    addRow(QStringLiteral("商品名称:"), fields_.name);
    addRow(QStringLiteral("类型:"), fields_.type);
    addRow(QStringLiteral("规格:"), fields_.size);
    addRow(QStringLiteral("进货价(元):"), fields_.oriP);
    addRow(QStringLiteral("零售价(元):"), fields_.retP);
    addRow(QStringLiteral("普通会员价(元):"), fields_.memP);
    addRow(QStringLiteral("金卡会员价(元):"), fields_.golP);
    addRow(QStringLiteral("批发价(元):"), fields_.whoP);
    addRow(QStringLiteral("特价(元):"), fields_.speP);
    addRow(QStringLiteral("供货商:"), fields_.supplier);
    form->addWidget(new QLabel(QStringLiteral("备注:")), row, 0, Qt::AlignRight | Qt::AlignTop);
    form->addWidget(fields_.remark, row, 1);
    form->setColumnMinimumWidth(1, 200);

    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("录入商品列表:")));
    left->addWidget(list_);
    StagingSides sides;
    sides.list = left;
    sides.entry = form;
    const StagingButtons b = layOutStaging(this, sides);
    connect(b.toList, &QPushButton::clicked, this, &CStoreAddDlg::addLine);
    connect(b.fromList, &QPushButton::clicked, this, &CStoreAddDlg::takeLineBack);
    connect(b.save, &QPushButton::clicked, this, &CStoreAddDlg::save);

    // Tab walks the dialog in its reading order: the lines, the fields, then the buttons.
    const QList<QWidget*> order = {list_,        quantity_,    fields_.code,     fields_.name,   fields_.type,
                                   fields_.size, fields_.oriP, fields_.retP,     fields_.memP,   fields_.golP,
                                   fields_.whoP, fields_.speP, fields_.supplier, fields_.remark, b.toList,
                                   b.fromList,   b.save,       b.cancel};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void CStoreAddDlg::fillCombos() {
    const AppState& st = shell_.state();
    for (const vorn::TRec& t : st.types)
        fields_.type->addItem(fromGbk(t.FTs_Name));
    for (const vorn::SPRec& s : st.suppliers)
        fields_.supplier->addItem(fromGbk(s.FSPs_Name));
}

void CStoreAddDlg::focusEdit(QLineEdit* edit) {
    edit->setFocus();
    edit->selectAll();
}

void CStoreAddDlg::focusField(QWidget* field) {
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        focusEdit(edit);
    else if (field)
        field->setFocus();
}

GoodsFields::Refusal CStoreAddDlg::readFields(vorn::SRec& r) const {
    GoodsFields::Refusal refusal = fields_.read(r, shell_.state());
    if (!refusal.message.isEmpty()) return refusal;
    // A new unit: in stock, not sold; the stock time is the moment of saving.
    r.FSi_Id = 0;
    r.FSd_ReaP = 0.0;
    r.FSt_StoT = 0;
    r.FSt_SalT = 0;
    r.FSi_Flag = 0;
    return {};
}

QString CStoreAddDlg::lineText(const vorn::SRec& u, int quantity) const {
    const AppState& st = shell_.state();
    return QStringLiteral("%1/%2/%3/%4/%5 × (%6)")
        .arg(orBlank(u.FSs_Code), orBlank(u.FSs_Name), fromGbk(typeName(st.types, u.FSi_Type)),
             orBlank(u.FSs_Size), fromGbk(supplierName(st.suppliers, u.FSi_Supplier)))
        .arg(quantity);
}

void CStoreAddDlg::addLine() {
    const int quantity = readInteger(quantity_->text()).value;
    if (quantity <= 0) {
        shell_.reportFailure(QStringLiteral("录入商品的数量必须大于\"0\""));
        quantity_->setText(QStringLiteral("1"));
        focusEdit(quantity_);
        return;
    }
    Line line;
    if (const GoodsFields::Refusal refusal = readFields(line.unit); !refusal.message.isEmpty()) {
        shell_.reportFailure(refusal.message);
        focusField(refusal.field);
        return;
    }
    line.quantity = quantity;
    list_->addItem(lineText(line.unit, quantity));
    lines_.push_back(std::move(line));
    focusEdit(fields_.code);
}

void CStoreAddDlg::takeLineBack() {
    QListWidgetItem* item = list_->currentItem();
    if (!item || !item->isSelected()) return;
    const int row = list_->row(item);
    if (row < 1 || static_cast<size_t>(row) > lines_.size()) return;
    fields_.show(lines_[static_cast<size_t>(row - 1)].unit, shell_.state());
    lines_.erase(lines_.begin() + (row - 1));
    delete list_->takeItem(row);
    // The list would select the next line by itself; a second "->" must not take
    // back a line nobody chose.
    list_->setCurrentRow(-1);
    list_->clearSelection();
    focusEdit(fields_.code);
}

void CStoreAddDlg::save() {
    if (lines_.empty()) {
        insertResult_ = 0;
        accept();
        return;
    }
    long long total = 0;
    for (const Line& l : lines_)
        total += l.quantity;
    if (total > kMaxBatchUnits) {
        shell_.reportFailure(QStringLiteral("一次录入的商品数量太多，不能超过上限%1件").arg(kMaxBatchUnits));
        focusEdit(quantity_);
        return;
    }
    // One moment for the whole save: the units of one entry share their stock time.
    const int64_t stockTime = now();
    std::vector<vorn::SRec> units;
    units.reserve(static_cast<size_t>(total));
    for (const Line& l : lines_) {
        vorn::SRec u = l.unit;
        u.FSt_StoT = stockTime;
        units.insert(units.end(), static_cast<size_t>(l.quantity), u);
    }
    vorn::Core& core = shell_.state().core;
    int result = -1;
    runBusy(shell_.window(),
            [&] { result = core.insert_srec(units.data(), static_cast<int>(units.size())); });
    insertResult_ = result;
    if (result < 0) {
        // Nothing was entered. The lines stay in the dialog, so that they can be
        // saved again once the cause (a full disk) is dealt with, or cancelled.
        shell_.reportFailure(
            withStoreCause(QStringLiteral("未知异常导致商品\"录入\"失败，放弃该次\"录入\"操作")));
        return;
    }
    accept();
}

void CStoreAddDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace vorn::ui
