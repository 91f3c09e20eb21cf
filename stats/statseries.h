// The four statistics charts as plain data: titles, axis titles, series and
// points with their legend texts, value labels and special flags. The page only
// draws what these functions give.
//
// Charts are numbered by their place in the overview: 1 top left, 2 top right,
// 3 bottom right, 4 bottom left; a ChartSet holds them in that order.
#pragma once

#include <QDate>
#include <QString>
#include <array>
#include <vector>

#include "statquery.h"
#include "vorn/records.h"

namespace vorn::ui {

enum class ChartKind {
    Lines, // one line per series over the months 1 to 12
    Bars,  // one bar per day, on a day axis
    Pie,   // one slice per point; special points are pulled out
};

struct ChartPoint {
    double x = 0;    // month 1-12; days after ChartLook::firstDay; 0-based slice position
    double value = 0;
    QString label;   // the value as shown on the chart (one decimal); empty: none
    QString legend;  // pie slices: the legend text
    bool special = false;
};

struct ChartSeries {
    QString name; // legend text of a line; empty for the bars and the pies
    std::vector<ChartPoint> points;
};

struct ChartLook {
    QString title;
    ChartKind kind = ChartKind::Lines;
    std::vector<ChartSeries> series; // empty: the chart shows nothing but its title
    QString xTitle;                  // lines and bars
    QString yTitle;
    QDate firstDay;                  // bars
};

using ChartSet = std::array<ChartLook, 4>;

// The value label text: one decimal, halves away from zero.
QString valueLabel(double value);

// The year charts from yearPlan(years)'s totals. currentYear's slice is special
// when two or three years are compared.
ChartSet yearCharts(const std::vector<int>& years, const std::vector<PeriodTotal>& totals, int currentYear);
// The custom charts from customPlan(start, end, types)'s totals; legend texts
// of the type pies come from typeList (no text for an id not found there).
ChartSet customCharts(const QDate& start, const QDate& end, const std::vector<int>& types,
                      const std::vector<vorn::TRec>& typeList, const std::vector<PeriodTotal>& totals);
// The custom charts' titles over four empty charts (no span set).
ChartSet emptyCustomCharts();

} // namespace vorn::ui
