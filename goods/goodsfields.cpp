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

const std::array<PriceField, PriceCount>& priceFields() {
    static const std::array<PriceField, PriceCount> fields = {{
        {"oriP", "进货价(元)", &vorn::SRec::FSd_OriP},
        {"retP", "零售价(元)", &vorn::SRec::FSd_RetP},
        {"memP", "普通会员价(元)", &vorn::SRec::FSd_MemP},
        {"golP", "金卡会员价(元)", &vorn::SRec::FSd_GolP},
        {"whoP", "批发价(元)", &vorn::SRec::FSd_WhoP},
        {"speP", "特价(元)", &vorn::SRec::FSd_SpeP},
    }};
    return fields;
}

std::vector<PanelField> GoodsFields::upperRows() const {
    std::vector<PanelField> rows = {{QStringLiteral("商品编码:"), code},
                                    {QStringLiteral("商品名称:"), name},
                                    {QStringLiteral("类型:"), type},
                                    {QStringLiteral("规格:"), size}};
    for (size_t i = 0; i < prices.size(); ++i)
        rows.push_back({QString::fromUtf8(priceFields()[i].caption) + QLatin1Char(':'), prices[i]});
    return rows;
}

void GoodsFields::show(const vorn::SRec& u, const AppState& st) const {
    code->setText(fromGbk(u.FSs_Code));
    showDescription(u, st);
    remark->setPlainText(fromGbk(u.FSs_Remark));
}

void GoodsFields::showDescription(const vorn::SRec& u, const AppState& st) const {
    name->setText(fromGbk(u.FSs_Name));
    const int t = typeIndexById(st.types, u.FSi_Type);
    type->setCurrentIndex(t >= 0 ? t : 0);
    size->setText(fromGbk(u.FSs_Size));
    // In table order, so retail comes before the four after it: in the entry
    // dialog its change copies into them, and their own values follow.
    for (size_t i = 0; i < prices.size(); ++i)
        prices[i]->setText(moneyText(u.*priceFields()[i].value));
    const int s = supplierIndexById(st.suppliers, u.FSi_Supplier);
    supplier->setCurrentIndex(s >= 0 ? s : 0);
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
    for (size_t i = 0; i < prices.size(); ++i) {
        const PriceField& p = priceFields()[i];
        if (!parsePrice(prices[i]->text(), u.*p.value))
            return {priceRangeMessage(QString::fromUtf8(p.caption)), prices[i]};
    }
    u.FSi_Type = typeIdByName(st.types, typeName, 1);
    u.FSi_Supplier = supplierIdByName(st.suppliers, supplierName, 1);
    out = std::move(u);
    return {};
}

} // namespace vorn::ui
