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
#include "kit/dialog/msgbox.h"
#include "kit/dialog/stagedlines.h"
#include "kit/dialog/storefailure.h"

namespace vorn::ui {

namespace {

// What the type and supplier offers say, by kind.
QString kindWord(CatalogKind kind) {
    return kind == CatalogKind::Types ? QStringLiteral("商品类型") : QStringLiteral("供货商");
}

// The name of a new entry by its temporary id, or of the catalog entry.
std::string nameOf(CatalogKind kind, int id, const EntryNames& fresh, const AppState& st) {
    const std::vector<std::string>& names = kind == CatalogKind::Types ? fresh.newTypes : fresh.newSuppliers;
    if (id < 0 && static_cast<size_t>(-1 - id) < names.size()) return names[static_cast<size_t>(-1 - id)];
    return kind == CatalogKind::Types ? typeName(st.types, id) : supplierName(st.suppliers, id);
}

} // namespace

CStoreAddDlg::CStoreAddDlg(Shell& shell, QWidget* parent) : StagingDialog(shell, parent) {
    setWindowTitle(QStringLiteral("商品录入"));
    buildUi();
    fillCombos();
    // A code the store holds brings its latest unit's fields along.
    new CodePrefill(fields_, shell_, this);
    list_->addItem(QStringLiteral("商品编码/商品名称/类型/规格/供货商 × (数量)"));
    focusSelected(fields_.code);
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
    fields_.code = limitedLineEdit("code", width::room(width::kStoreCode), notice);
    fields_.name = limitedLineEdit("name", width::room(width::kStoreName), notice);
    fields_.type = makeNameCombo("type", width::room(width::kTypeName), notice);
    fields_.size = limitedLineEdit("size", width::room(width::kStoreSize), notice);
    for (size_t i = 0; i < fields_.prices.size(); ++i)
        fields_.prices[i] = limitedLineEdit(priceFields()[i].objectName, kPriceBytes, notice);
    fields_.supplier = makeNameCombo("supplier", width::room(width::kSupplierName), notice);
    fields_.remark = new QPlainTextEdit;
    fields_.remark->setObjectName(QStringLiteral("remark"));
    fields_.remark->setTabChangesFocus(true);
    fields_.remark->setFixedHeight(64);
    limitGbk(fields_.remark, width::room(width::kStoreRemark), notice);
    interceptEnter(fields_.remark, [this] { enterPressed(); });

    // Most lines differ from the previous one only in code and name; the
    // member, gold-card, wholesale and special prices usually equal retail.
    connect(fields_.prices[RetPrice], &QLineEdit::textChanged, this, [this](const QString& t) {
        for (size_t p = MemPrice; p < fields_.prices.size(); ++p)
            fields_.prices[p]->setText(t);
    });

    // The quantity, the fields in their shared order, then supplier and remark.
    QStringList labels{QStringLiteral("数量:")};
    QList<QWidget*> order{quantity_};
    for (const PanelField& f : fields_.upperRows()) {
        labels << f.label;
        order << f.field;
    }
    labels << QStringLiteral("供货商:") << QStringLiteral("备注:");
    order << fields_.supplier << fields_.remark;
    auto* form = new QGridLayout;
    FieldForm(form).addRows(labels, order);
    form->setColumnMinimumWidth(1, 200);

    const StagingButtons b = layOutStagedLines(this, {QStringLiteral("录入商品列表:"), list_, form, "add",
                                                      [this] { addLine(); }, [this] { takeLineBack(); },
                                                      [this] { save(); }});
    // Tab walks the dialog in its reading order: the lines, the fields, then the buttons.
    chainTabOrder(QList<QWidget*>{list_} + order + QList<QWidget*>{b.toList, b.fromList, b.save, b.cancel});

    // Enter adds the fields as a line only when they changed since the last one.
    QList<QLineEdit*> edits{quantity_, fields_.code, fields_.name, fields_.size};
    edits.append(QList<QLineEdit*>(fields_.prices.begin(), fields_.prices.end()));
    for (QLineEdit* e : edits)
        connect(e, &QLineEdit::textChanged, this, [this] { fieldsChanged_ = true; });
    for (QComboBox* c : {fields_.type, fields_.supplier})
        connect(c, &QComboBox::currentTextChanged, this, [this] { fieldsChanged_ = true; });
    connect(fields_.remark, &QPlainTextEdit::textChanged, this, [this] { fieldsChanged_ = true; });
}

void CStoreAddDlg::fillCombos() {
    const AppState& st = shell_.state();
    for (const vorn::TRec& t : st.types)
        fields_.type->addItem(fromGbk(t.FTs_Name));
    for (const vorn::SPRec& s : st.suppliers)
        fields_.supplier->addItem(fromGbk(s.FSPs_Name));
}

void CStoreAddDlg::focusField(QWidget* field) {
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        focusSelected(edit);
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
        .arg(shownOrBlank(u.FSs_Code), shownOrBlank(u.FSs_Name), fromGbk(nameOf(CatalogKind::Types, u.FSi_Type, newNames_, st)),
             shownOrBlank(u.FSs_Size), fromGbk(nameOf(CatalogKind::Suppliers, u.FSi_Supplier, newNames_, st)))
        .arg(quantity);
}

bool CStoreAddDlg::resolveName(CatalogKind kind, int& id) {
    const AppState& st = shell_.state();
    const bool types = kind == CatalogKind::Types;
    QComboBox* combo = types ? fields_.type : fields_.supplier;
    std::string name;
    if (!toGbk(combo->currentText(), name)) return false; // read() refused it already
    const int known = types ? typeIdByName(st.types, name, 0) : supplierIdByName(st.suppliers, name, 0);
    if (known > 0) {
        id = known;
        return true;
    }
    std::vector<std::string>& fresh = types ? newNames_.newTypes : newNames_.newSuppliers;
    for (size_t i = 0; i < fresh.size(); ++i)
        if (fresh[i] == name) {
            id = temporaryId(i);
            return true;
        }
    // A name nobody has: make it (with the units, when they are saved), or
    // choose among those there are. An empty name can only be chosen.
    const QString word = kindWord(kind);
    if (!name.empty() &&
        askYesNo(this, QStringLiteral("%1\"%2\"不存在，是否新建该%1？\n选\"否\"则从已有的%1中选择")
                           .arg(word, combo->currentText()))) {
        fresh.push_back(name);
        id = temporaryId(fresh.size() - 1);
        return true;
    }
    shell_.showStatus(QStringLiteral("请从已有的%1中选择").arg(word));
    combo->setFocus();
    combo->lineEdit()->selectAll();
    if (isVisible()) combo->showPopup();
    return false;
}

void CStoreAddDlg::addLine() {
    const int quantity = readInteger(quantity_->text()).value;
    if (quantity <= 0) {
        shell_.reportFailure(QStringLiteral("录入商品的数量必须大于\"0\""));
        quantity_->setText(QStringLiteral("1"));
        focusSelected(quantity_);
        return;
    }
    Line line;
    if (const GoodsFields::Refusal refusal = readFields(line.unit); !refusal.message.isEmpty()) {
        shell_.reportFailure(refusal.message);
        focusField(refusal.field);
        return;
    }
    if (!resolveName(CatalogKind::Types, line.unit.FSi_Type) ||
        !resolveName(CatalogKind::Suppliers, line.unit.FSi_Supplier))
        return;
    line.quantity = quantity;
    list_->addItem(lineText(line.unit, quantity));
    lines_.push_back(std::move(line));
    fieldsChanged_ = false;
    focusSelected(fields_.code);
}

void CStoreAddDlg::takeLineBack() {
    const int index = selectedStagedLine(list_, lines_.size());
    if (index < 0) return;
    const vorn::SRec& unit = lines_[static_cast<size_t>(index)].unit;
    fields_.show(unit, shell_.state());
    // A name created in this dialog is not in the drop-downs: it comes back as typed.
    if (unit.FSi_Type < 0)
        fields_.type->setEditText(fromGbk(nameOf(CatalogKind::Types, unit.FSi_Type, newNames_, shell_.state())));
    if (unit.FSi_Supplier < 0)
        fields_.supplier->setEditText(
            fromGbk(nameOf(CatalogKind::Suppliers, unit.FSi_Supplier, newNames_, shell_.state())));
    lines_.erase(lines_.begin() + index);
    removeStagedLine(list_, index);
    focusSelected(fields_.code);
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
    if (total > kMaxBatchRecords) {
        shell_.reportFailure(QStringLiteral("一次录入的商品数量太多，不能超过上限%1件").arg(kMaxBatchRecords));
        focusSelected(quantity_);
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
    // Only the new names some line still uses are made.
    EntryNames used;
    std::vector<int> typeIds(newNames_.newTypes.size(), 0), supplierIds(newNames_.newSuppliers.size(), 0);
    auto renumber = [](int& id, const std::vector<std::string>& all, std::vector<std::string>& kept,
                       std::vector<int>& given) {
        if (id >= 0) return;
        int& slot = given[static_cast<size_t>(-1 - id)];
        if (slot == 0) {
            kept.push_back(all[static_cast<size_t>(-1 - id)]);
            slot = temporaryId(kept.size() - 1);
        }
        id = slot;
    };
    for (vorn::SRec& u : units) {
        renumber(u.FSi_Type, newNames_.newTypes, used.newTypes, typeIds);
        renumber(u.FSi_Supplier, newNames_.newSuppliers, used.newSuppliers, supplierIds);
    }
    AppState& st = shell_.state();
    vorn::Core& core = st.core;
    int result = -1;
    runBusy(shell_.window(), [&] { result = saveEntry(core, used, units); });
    insertResult_ = result;
    if (result > 0 && !(used.newTypes.empty() && used.newSuppliers.empty())) {
        // The new names are in the store now; every list of them shows them.
        st.loadTypesAndSuppliers();
    }
    if (result < 0) {
        // Nothing was entered. The lines stay in the dialog, so that they can be
        // saved again once the cause (a full disk) is dealt with, or cancelled.
        shell_.reportFailure(
            withStoreCause(QStringLiteral("未知异常导致商品\"录入\"失败，放弃该次\"录入\"操作")));
        return;
    }
    accept();
}

void CStoreAddDlg::enterPressed() {
    if (focusWidget() == fields_.code) {
        focusSelected(quantity_);
        return;
    }
    if (fieldsChanged_ && !fields_.code->text().isEmpty()) {
        const int before = lineCount();
        addLine();
        if (lineCount() == before) return; // refused: the message says why
    }
    // Nothing collected: Enter does not close the dialog by accident.
    if (lines_.empty()) return;
    save();
}

} // namespace vorn::ui
