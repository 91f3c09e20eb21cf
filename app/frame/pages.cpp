#include "frame/pages.h"

#include "admin/admin.h"
#include "frame/aboutview.h"
#include "frame/internetview.h"
#include "goods/goods.h"
#include "kit/page/pageregistry.h"
#include "members/members.h"
#include "res/tabs.h"
#include "sales/sales.h"
#include "stats/stats.h"

namespace vorn::ui {

namespace {
void registerProgramPages(PageRegistry& registry) {
    for (const QString& tab : tabs::Web)
        registry.addPage<CInternetView>(tab, {});
    registry.addPage<CAboutView>(tabs::About, {});
}
} // namespace

void registerAllPages(PageRegistry& registry) {
    registerSales(registry);
    registerGoods(registry);
    registerAdmin(registry);
    registerMembers(registry);
    registerStats(registry);
    registerProgramPages(registry);
}

} // namespace vorn::ui
