#include "stats/stats.h"

#include "kit/pageregistry.h"
#include "res/commandids.h"
#include "statisticsview.h"

namespace vorn::ui {

void registerStats(PageRegistry& registry) {
    using namespace cmd;
    registry.addPage<CStatisticsView>(4, {StatByYear, StatByCustom, SetYears, SetCustom, MakeCharts, ZoomChart,
                                          PrevChart, NextChart, AllCharts, ExportFigures});
}

} // namespace vorn::ui
