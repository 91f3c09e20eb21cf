#include "statseries.h"

#include <algorithm>

#include "kit/text/gbk.h"
#include "vorn/sqltext.h"

namespace vorn::ui {

namespace {

const QString kAmountTitle = QStringLiteral("金额(单位: 元)");

ChartSet titled(const char* const (&titles)[4]) {
    ChartSet set;
    for (int i = 0; i < 4; ++i) {
        set[static_cast<size_t>(i)].title = QString::fromUtf8(titles[i]);
        // Charts 2 and 3 are the pies in both modes.
        set[static_cast<size_t>(i)].kind = (i == 1 || i == 2) ? ChartKind::Pie : ChartKind::Lines;
    }
    return set;
}

const char* const kYearTitles[4] = {"年度-销售额折线图", "年度-销售额比例图", "年度-销售利润比例图",
                                    "年度-销售利润折线图"};
const char* const kCustomTitles[4] = {"自定义时间-销售额折线图", "自定义类型-销售额比例图",
                                      "自定义类型-销售利润比例图", "自定义时间-销售利润折线图"};

ChartPoint point(double x, double value, bool withLabel) {
    ChartPoint p;
    p.x = x;
    p.value = value;
    if (withLabel) p.label = valueLabel(value);
    return p;
}

// Sales or profit of one period.
double amount(const PeriodTotal& t, bool profit) { return profit ? t.profit() : t.sales; }

// One line per year over its twelve months.
void yearLines(ChartLook& chart, const std::vector<int>& years, const std::vector<PeriodTotal>& totals,
               bool profit) {
    chart.kind = ChartKind::Lines;
    chart.xTitle = QStringLiteral("月份");
    chart.yTitle = kAmountTitle;
    for (size_t i = 0; i < years.size(); ++i) {
        ChartSeries s;
        s.name = (profit ? QStringLiteral("%1年利润") : QStringLiteral("%1年售额")).arg(years[i]);
        for (int m = 1; m <= 12; ++m)
            s.points.push_back(point(m, amount(totals[i * 12 + static_cast<size_t>(m - 1)], profit), true));
        chart.series.push_back(std::move(s));
    }
}

// Slices by year, or by quarter when there is only one year.
void yearPie(ChartLook& chart, const std::vector<int>& years, const std::vector<PeriodTotal>& totals,
             bool profit, int currentYear) {
    chart.kind = ChartKind::Pie;
    ChartSeries s;
    const size_t n = years.size();
    if (n == 1) {
        double q[4] = {0, 0, 0, 0};
        for (size_t m = 0; m < 12; ++m)
            q[m / 3] += amount(totals[m], profit);
        const double largest = *std::max_element(q, q + 4);
        const double smallest = *std::min_element(q, q + 4);
        for (int i = 0; i < 4; ++i) {
            ChartPoint p = point(i, q[i], true);
            p.legend = (profit ? QStringLiteral("%1年第%2季度利润") : QStringLiteral("%1年第%2季度售额"))
                           .arg(years[0])
                           .arg(i + 1);
            p.special = q[i] == 0.0 || q[i] == largest || q[i] == smallest;
            s.points.push_back(std::move(p));
        }
    } else if (n >= 2) {
        for (size_t i = 0; i < n; ++i) {
            double sum = 0;
            for (size_t m = 0; m < 12; ++m)
                sum += amount(totals[i * 12 + m], profit);
            ChartPoint p = point(static_cast<double>(i), sum, true);
            p.legend = (profit ? QStringLiteral("%1年利润") : QStringLiteral("%1年售额")).arg(years[i]);
            p.special = years[i] == currentYear || sum == 0.0;
            s.points.push_back(std::move(p));
        }
    }
    chart.series.push_back(std::move(s));
}

void dayBars(ChartLook& chart, const QDate& start, size_t days, const std::vector<PeriodTotal>& totals,
             bool profit) {
    chart.kind = ChartKind::Bars;
    chart.xTitle = QStringLiteral("日期");
    chart.yTitle = kAmountTitle;
    chart.firstDay = start;
    ChartSeries s;
    for (size_t i = 0; i < days; ++i)
        s.points.push_back(point(static_cast<double>(i), amount(totals[i], profit), false));
    chart.series.push_back(std::move(s));
}

QString typeName(int id, const std::vector<vorn::TRec>& typeList) {
    for (const vorn::TRec& t : typeList)
        if (t.FTi_Id == id) return fromGbk(t.FTs_Name);
    return QString();
}

void typePie(ChartLook& chart, const std::vector<int>& types, const std::vector<vorn::TRec>& typeList,
             const std::vector<PeriodTotal>& typeTotals, bool profit) {
    chart.kind = ChartKind::Pie;
    double largest = 0;
    for (const PeriodTotal& t : typeTotals)
        largest = std::max(largest, amount(t, profit));
    ChartSeries s;
    for (size_t i = 0; i < types.size(); ++i) {
        const double v = amount(typeTotals[i], profit);
        ChartPoint p = point(static_cast<double>(i), v, true);
        p.legend = typeName(types[i], typeList);
        p.special = v == 0.0 || v == largest;
        s.points.push_back(std::move(p));
    }
    chart.series.push_back(std::move(s));
}

} // namespace

QString valueLabel(double value) { return QString::fromStdString(vorn::format_money(value)); }

ChartSet emptyCustomCharts() { return titled(kCustomTitles); }

ChartSet yearCharts(const std::vector<int>& years, const std::vector<PeriodTotal>& totals, int currentYear) {
    ChartSet set = titled(kYearTitles);
    if (totals.size() != years.size() * 12) return set;
    yearLines(set[0], years, totals, false);
    yearPie(set[1], years, totals, false, currentYear);
    yearPie(set[2], years, totals, true, currentYear);
    yearLines(set[3], years, totals, true);
    return set;
}

ChartSet customCharts(const QDate& start, const QDate& end, const std::vector<int>& types,
                      const std::vector<vorn::TRec>& typeList, const std::vector<PeriodTotal>& totals) {
    ChartSet set = titled(kCustomTitles);
    const size_t days = spanDays(start, end).size();
    if (days == 0 || totals.size() != days + types.size()) return set;
    const std::vector<PeriodTotal> typeTotals(totals.begin() + static_cast<std::ptrdiff_t>(days), totals.end());
    dayBars(set[0], start, days, totals, false);
    typePie(set[1], types, typeList, typeTotals, false);
    typePie(set[2], types, typeList, typeTotals, true);
    dayBars(set[3], start, days, totals, true);
    return set;
}

} // namespace vorn::ui
