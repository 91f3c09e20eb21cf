#include "stats/stats.h"

#include "kit/page/pageregistry.h"
#include "res/commandids.h"
#include "res/tabs.h"
#include "statisticsview.h"

namespace vorn::ui {

void registerStats(PageRegistry& registry) {
    using namespace cmd;
    registry.addPage<CStatisticsView>(tabs::Stats,
                                      {StatByYear, StatByCustom, SetYears, SetCustom, MakeCharts, ZoomChart,
                                       PrevChart, NextChart, AllCharts, ExportFigures, SalesRanking});
}

} // namespace vorn::ui
