#include "sales/sales.h"

#include "kit/pageregistry.h"
#include "res/commandids.h"
#include "saleview.h"

namespace vorn::ui {

void registerSales(PageRegistry& registry) {
    using namespace cmd;
    registry.addPage<CSaleView>(0, {MemberDiscount, GoodsDiscount, PrintReceipt});
}

} // namespace vorn::ui
