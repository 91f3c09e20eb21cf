#include "frame/pages.h"

#include "admin/admin.h"
#include "frame/aboutview.h"
#include "frame/internetview.h"
#include "goods/goods.h"
#include "kit/pageregistry.h"
#include "members/members.h"
#include "sales/sales.h"
#include "stats/stats.h"

namespace vorn::ui {

namespace {
constexpr int kFirstWebTab = 5;
constexpr int kWebTabs = 5;
constexpr int kAboutTab = 10;

void registerProgramPages(PageRegistry& registry) {
    for (int tab = kFirstWebTab; tab < kFirstWebTab + kWebTabs; ++tab)
        registry.addPage<CInternetView>(tab, {});
    registry.addPage<CAboutView>(kAboutTab, {});
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
