#include "goodsfields.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "goodscells.h"
#include "kit/appstate.h"
#include "kit/gbk.h"
#include "kit/gbklimit.h"

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

QComboBox* makeNameCombo(const char* objectName, int maxBytes) {
    auto* c = new QComboBox;
    c->setObjectName(QString::fromLatin1(objectName));
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    // No completion, and no case-blind jump to a listed entry on Enter: a name
    // that matches no entry means the fallback entry.
    c->setCompleter(nullptr);
    c->setDuplicatesEnabled(true);
    limitGbk(c, maxBytes);
    return c;
}

bool GoodsFields::read(vorn::SRec& u, const AppState& st) const {
    std::string typeName;
    std::string supplierName;
    if (!toGbk(code->text(), u.FSs_Code) || !toGbk(name->text(), u.FSs_Name) ||
        !toGbk(size->text(), u.FSs_Size) || !toGbk(type->currentText(), typeName) ||
        !toGbk(supplier->currentText(), supplierName) || !toGbk(remark->toPlainText(), u.FSs_Remark))
        return false;
    u.FSi_Type = typeIdByName(st.types, typeName, 1);
    u.FSd_OriP = parseDecimal(oriP->text());
    u.FSd_RetP = parseDecimal(retP->text());
    u.FSd_MemP = parseDecimal(memP->text());
    u.FSd_GolP = parseDecimal(golP->text());
    u.FSd_WhoP = parseDecimal(whoP->text());
    u.FSd_SpeP = parseDecimal(speP->text());
    u.FSi_Supplier = supplierIdByName(st.suppliers, supplierName, 1);
    return true;
}

} // namespace vorn::ui
