#include "goods/goods.h"

#include <memory>

#include "kit/page/pageregistry.h"
#include "res/commandids.h"
#include "res/tabs.h"
#include "stockalarm.h"
#include "storeview.h"
#include "typecombo.h"

namespace vorn::ui {

void registerGoods(PageRegistry& registry) {
    using namespace cmd;
    registry.addPage<CStoreView>(tabs::Goods,
                                 {AddGoods, RemoveGoods, EditGoods, Categories, GoodsTypes, Suppliers,
                                  GoodsCode, GoodsName, GoodsSize, GoodsType, GoodsState, StockTime, SaleTime,
                                  ClearGoodsSearch, SearchGoods, GoodsSheets, ImportGoods, ExportGoods,
                                  ByArticle, StockTake});
    registry.addReminder([] { return std::make_unique<StockAlarmSource>(); });
    registry.addCatalogWatch(fillTypeCombo);
}

} // namespace vorn::ui
