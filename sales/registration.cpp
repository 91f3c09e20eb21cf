#include "sales/sales.h"

#include "kit/page/pageregistry.h"
#include "res/commandids.h"
#include "journalview.h"
#include "res/tabs.h"
#include "saleview.h"
#include "shiftcounter.h"

namespace vorn::ui {

void registerSales(PageRegistry& registry) {
    using namespace cmd;
    // "打印小票" is not listed: the page hands it to the main window as a command
    // of its own, which prints the last sale again from any page.
    registry.addPage<CSaleView>(tabs::Counter, {MemberDiscount, GoodsDiscount, DaySales, HandOver, ReturnGoods,
                                                OpenShift, OpenDrawer, HoldSale, RecallSale});
    registry.addPage<CJournalView>(tabs::SaleJournal,
                                   {SaleSpan, SaleNumber, SaleCashier, SaleMember, SaleGoods, SaleMethod,
                                    ClearSaleSearch, SearchSales, OpenSale, ReprintSale, ExportSales, DayCashUp,
                                    PastShifts});
    // A cashier who leaves with the shift open is offered 交班 first.
    registry.addLeaveCheck(shiftLeaveCheck);
}

} // namespace vorn::ui
