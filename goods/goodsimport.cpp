#include "goodsimport.h"

#include "goodsimportcheck.h"
#include "kit/page/appstate.h"
#include "kit/page/shell.h"

namespace vorn::ui {

std::vector<ImportField> goodsImportFields() {
    auto headers = [](std::initializer_list<const char*> names) {
        QStringList list;
        for (const char* n : names)
            list << QString::fromUtf8(n);
        return list;
    };
    // The mapping ignores case, blanks and a trailing "(元)" or "（元）" itself.
    std::vector<ImportField> fields(GoodsImportFieldCount);
    fields[GiCode].headers =
        headers({"编码", "条码", "商品条码", "条形码", "商品代码", "货号", "code", "barcode"});
    fields[GiName].headers = headers({"名称", "品名", "商品名", "name"});
    fields[GiType].headers = headers({"商品类型", "类别", "商品类别", "分类", "type"});
    fields[GiSize].headers = headers({"规格型号", "型号", "size"});
    fields[GiOriP].headers = headers({"进货价", "进价", "成本价", "采购价"});
    fields[GiRetP].headers = headers({"零售价", "售价", "销售价", "单价"});
    fields[GiMemP].headers = headers({"普通会员价", "会员价"});
    fields[GiGolP].headers = headers({"金卡会员价", "金卡价"});
    fields[GiWhoP].headers = headers({"批发价"});
    fields[GiSpeP].headers = headers({"特价", "促销价"});
    fields[GiQuantity].headers = headers({"件数", "库存", "库存数量", "入库数量"});
    fields[GiSupplier].headers = headers({"供应商", "供货单位", "厂家"});
    fields[GiRemark].headers = headers({"说明", "备注信息"});
    for (int f = 0; f < GoodsImportFieldCount; ++f) {
        ImportField& field = fields[static_cast<size_t>(f)];
        field.caption = goodsImportCaption(f);
    }
    fields[GiCode].required = true;
    return fields;
}

void importGoods(const ImportHost& host) {
    const AppState& st = host.shell.state();
    GoodsImportChecker checker(st.types, st.suppliers);
    runCsvImport({host, QStringLiteral("导入商品"), QStringLiteral("商品"), goodsImportFields(), checker});
}

} // namespace vorn::ui
