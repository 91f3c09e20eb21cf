#include "goodsfields.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <utility>

#include "goodscells.h"
#include "kit/page/appstate.h"
#include "kit/text/gbk.h"
#include "kit/text/gbklimit.h"

namespace vorn::ui {

void GoodsFields::show(const vorn::SRec& u, const AppState& st) const {
    code->setText(fromGbk(u.FSs_Code));
    name->setText(fromGbk(u.FSs_Name));
    const int t = typeIndexById(st.types, u.FSi_Type);
    type->setCurrentIndex(t >= 0 ? t : 0);
    size->setText(fromGbk(u.FSs_Size));
    oriP->setText(moneyText(u.FSd_OriP));
    // Retail first: in the entry dialog its change copies into the four prices after it.
    retP->setText(moneyText(u.FSd_RetP));
    memP->setText(moneyText(u.FSd_MemP));
    golP->setText(moneyText(u.FSd_GolP));
    whoP->setText(moneyText(u.FSd_WhoP));
    speP->setText(moneyText(u.FSd_SpeP));
    const int s = supplierIndexById(st.suppliers, u.FSi_Supplier);
    supplier->setCurrentIndex(s >= 0 ? s : 0);
    remark->setPlainText(fromGbk(u.FSs_Remark));
}

QComboBox* makeNameCombo(const char* objectName, int maxBytes, const GbkNotice& notice) {
    auto* c = new QComboBox;
    c->setObjectName(QString::fromLatin1(objectName));
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    // No completion, and no case-blind jump to a listed entry on Enter: a name
    // that matches no entry means the fallback entry.
    c->setCompleter(nullptr);
    c->setDuplicatesEnabled(true);
    limitGbk(c, maxBytes, notice);
    return c;
}

GoodsFields::Refusal GoodsFields::read(vorn::SRec& out, const AppState& st) const {
    vorn::SRec u = out;
    std::string typeName;
    std::string supplierName;
    const std::pair<QWidget*, bool> texts[] = {
        {code, toGbk(code->text(), u.FSs_Code)},
        {name, toGbk(name->text(), u.FSs_Name)},
        {size, toGbk(size->text(), u.FSs_Size)},
        {type, toGbk(type->currentText(), typeName)},
        {supplier, toGbk(supplier->currentText(), supplierName)},
        {remark, toGbk(remark->toPlainText(), u.FSs_Remark)},
    };
    for (const auto& [field, ok] : texts)
        if (!ok) return {unrepresentableTextMessage(), field};
    const struct {
        QLineEdit* edit;
        const char* label;
        double vorn::SRec::*price;
    } prices[] = {
        {oriP, "进货价(元)", &vorn::SRec::FSd_OriP},       {retP, "零售价(元)", &vorn::SRec::FSd_RetP},
        {memP, "普通会员价(元)", &vorn::SRec::FSd_MemP},   {golP, "金卡会员价(元)", &vorn::SRec::FSd_GolP},
        {whoP, "批发价(元)", &vorn::SRec::FSd_WhoP},       {speP, "特价(元)", &vorn::SRec::FSd_SpeP},
    };
    for (const auto& p : prices)
        if (!parsePrice(p.edit->text(), u.*p.price))
            return {priceRangeMessage(QString::fromUtf8(p.label)), p.edit};
    u.FSi_Type = typeIdByName(st.types, typeName, 1);
    u.FSi_Supplier = supplierIdByName(st.suppliers, supplierName, 1);
    out = std::move(u);
    return {};
}

} // namespace vorn::ui
