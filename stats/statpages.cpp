#include "statpages.h"

#include <algorithm>

#include "res/commandids.h"

namespace vorn::ui {

int chartOfPage(int page) {
    static constexpr int kCharts[4] = {0, 1, 3, 2};
    return page >= 1 && page <= 4 ? kCharts[page - 1] : -1;
}

std::array<ChartPlace, 4> chartPlaces(int page, int w, int h) {
    std::array<ChartPlace, 4> places;
    if (page == 0) {
        const int hw = w / 2;
        const int hh = h / 2;
        places[0] = {QRect(0, 0, hw, hh), true};
        places[1] = {QRect(hw, 0, w - hw, hh), true};
        places[2] = {QRect(hw, hh, w - hw, h - hh), true};
        places[3] = {QRect(0, hh, hw, h - hh), true};
        return places;
    }
    const int shown = chartOfPage(page);
    if (shown >= 0) places[static_cast<size_t>(shown)] = {QRect(0, 0, w, h), true};
    return places;
}

int pageAfter(int command, int page) {
    switch (command) {
    case cmd::ZoomChart:
        return 1;
    case cmd::NextChart:
        return std::min(page + 1, 4);
    case cmd::PrevChart:
        return std::max(page - 1, 1);
    case cmd::AllCharts:
        return 0;
    default:
        return page;
    }
}

bool statCommandEnabled(int command, int mode, bool hasCharts, int page) {
    switch (command) {
    case cmd::StatByYear:
    case cmd::StatByCustom:
    case cmd::MakeCharts:
    case cmd::SalesRanking:
        return true;
    case cmd::SetYears:
        return mode == 0;
    case cmd::SetCustom:
        return mode == 1;
    case cmd::ZoomChart:
    case cmd::AllCharts:
    case cmd::ExportFigures:
        return hasCharts;
    case cmd::PrevChart:
        return hasCharts && page > 1;
    case cmd::NextChart:
        return hasCharts && page >= 1 && page <= 3;
    default:
        return false;
    }
}

bool statCommandChecked(int command, int mode, int page) {
    switch (command) {
    case cmd::StatByYear:
        return mode == 0;
    case cmd::StatByCustom:
        return mode == 1;
    case cmd::ZoomChart:
        return page != 0;
    case cmd::AllCharts:
        return page == 0;
    default:
        return false;
    }
}

} // namespace vorn::ui
