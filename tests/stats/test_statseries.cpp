// The four charts as data, from the sums of a small known store: lines per
// year, pies by year or by quarter, bars per day, pies per type, their legend
// texts, value labels and the slices pulled out.
#include <QtTest>

#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "statfixture.h"
#include "statseries.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

namespace {

QStringList legends(const ChartLook& c) {
    QStringList out;
    for (const ChartPoint& p : c.series.at(0).points)
        out << p.legend;
    return out;
}

QList<bool> specials(const ChartLook& c) {
    QList<bool> out;
    for (const ChartPoint& p : c.series.at(0).points)
        out << p.special;
    return out;
}

QList<double> values(const ChartSeries& s) {
    QList<double> out;
    for (const ChartPoint& p : s.points)
        out << p.value;
    return out;
}

} // namespace

class TestStatSeries : public QObject {
    Q_OBJECT
private slots:
    void init() {
        fx.setUp();
        setNowForTests(at(2012, 6, 1).toSecsSinceEpoch());
        insertUnits(fx.core(), {soldUnit(1, 4, 10, at(2011, 3, 31, 23, 59, 59)),
                                soldUnit(1, 5, 20, at(2011, 4, 1, 0, 0, 0)),
                                soldUnit(2, 6, 3, at(2011, 4, 15)),
                                soldUnit(1, 10, 8, at(2011, 8, 1)),
                                soldUnit(1, 1, 7, at(2011, 12, 31, 23, 59, 59)),
                                soldUnit(1, 1, 9, at(2012, 1, 1, 0, 0, 0)),
                                soldUnit(1, 50, 100, at(2011, 3, 10), 0)});
    }
    void cleanup() {
        fx.tearDown();
        setNowForTests(0);
    }

    void oneYearLinesAndQuarterPies() {
        const std::vector<int> years{2011};
        const StatTotals t = runPlan(fx.core(), yearPlan(years), {});
        const ChartSet set = yearCharts(years, t.periods, currentLocalYear());

        QCOMPARE(set[0].title, QStringLiteral("年度-销售额折线图"));
        QCOMPARE(set[1].title, QStringLiteral("年度-销售额比例图"));
        QCOMPARE(set[2].title, QStringLiteral("年度-销售利润比例图"));
        QCOMPARE(set[3].title, QStringLiteral("年度-销售利润折线图"));

        const ChartLook& sales = set[0];
        QCOMPARE(sales.kind, ChartKind::Lines);
        QCOMPARE(sales.xTitle, QStringLiteral("月份"));
        QCOMPARE(sales.yTitle, QStringLiteral("金额(单位: 元)"));
        QCOMPARE(sales.series.size(), size_t(1));
        QCOMPARE(sales.series[0].name, QStringLiteral("2011年售额"));
        QCOMPARE(values(sales.series[0]), QList<double>({0, 0, 10, 23, 0, 0, 0, 8, 0, 0, 0, 7}));
        QCOMPARE(sales.series[0].points[0].x, 1.0);
        QCOMPARE(sales.series[0].points[11].x, 12.0);
        QCOMPARE(sales.series[0].points[3].label, QStringLiteral("23.0"));

        const ChartLook& profit = set[3];
        QCOMPARE(profit.series[0].name, QStringLiteral("2011年利润"));
        QCOMPARE(values(profit.series[0]), QList<double>({0, 0, 6, 12, 0, 0, 0, -2, 0, 0, 0, 6}));
        QCOMPARE(profit.series[0].points[7].label, QStringLiteral("-2.0"));

        // Quarters: sales 10, 23, 8, 7 -> the largest (2nd) and the smallest (4th) pulled out.
        const ChartLook& pie = set[1];
        QCOMPARE(pie.kind, ChartKind::Pie);
        QCOMPARE(legends(pie), QStringList({"2011年第1季度售额", "2011年第2季度售额", "2011年第3季度售额",
                                            "2011年第4季度售额"}));
        QCOMPARE(values(pie.series[0]), QList<double>({10, 23, 8, 7}));
        QCOMPARE(specials(pie), QList<bool>({false, true, false, true}));
        QCOMPARE(pie.series[0].points[1].x, 1.0);
        QCOMPARE(pie.series[0].points[1].label, QStringLiteral("23.0"));

        // Profit 6, 12, -2, 6 -> the 2nd and the loss of the 3rd.
        const ChartLook& profitPie = set[2];
        QCOMPARE(legends(profitPie), QStringList({"2011年第1季度利润", "2011年第2季度利润", "2011年第3季度利润",
                                                  "2011年第4季度利润"}));
        QCOMPARE(values(profitPie.series[0]), QList<double>({6, 12, -2, 6}));
        QCOMPARE(specials(profitPie), QList<bool>({false, true, true, false}));
    }

    void emptyQuarterIsPulledOut() {
        const std::vector<int> years{2012};
        const StatTotals t = runPlan(fx.core(), yearPlan(years), {});
        const ChartSet set = yearCharts(years, t.periods, 2012);
        // Only January sold: Q1 is the largest, the three empty ones are the smallest.
        QCOMPARE(values(set[1].series[0]), QList<double>({9, 0, 0, 0}));
        QCOMPARE(specials(set[1]), QList<bool>({true, true, true, true}));
    }

    void yearPiesCompareYearsInListOrder() {
        // Chosen 2012 first: the lines and slices follow the chosen order.
        const std::vector<int> years{2012, 2011};
        const StatTotals t = runPlan(fx.core(), yearPlan(years), {});
        const ChartSet set = yearCharts(years, t.periods, currentLocalYear());
        QCOMPARE(set[0].series.size(), size_t(2));
        QCOMPARE(set[0].series[0].name, QStringLiteral("2012年售额"));
        QCOMPARE(set[0].series[1].name, QStringLiteral("2011年售额"));
        QCOMPARE(set[3].series[1].name, QStringLiteral("2011年利润"));
        QCOMPARE(legends(set[1]), QStringList({"2012年售额", "2011年售额"}));
        QCOMPARE(values(set[1].series[0]), QList<double>({9, 48}));
        // The current year (2012) is pulled out; 2011 is not.
        QCOMPARE(specials(set[1]), QList<bool>({true, false}));
        QCOMPARE(legends(set[2]), QStringList({"2012年利润", "2011年利润"}));
        QCOMPARE(values(set[2].series[0]), QList<double>({8, 22}));

        // A year without sales is pulled out as well; one outside the clock's year is not.
        const std::vector<int> three{2013, 2011, 2012};
        const StatTotals t3 = runPlan(fx.core(), yearPlan(three), {});
        const ChartSet set3 = yearCharts(three, t3.periods, 2031);
        QCOMPARE(values(set3[1].series[0]), QList<double>({0, 48, 9}));
        QCOMPARE(specials(set3[1]), QList<bool>({true, false, false}));
    }

    void noYearsGiveEmptyChartsWithTheirTitles() {
        const ChartSet set = yearCharts({}, {}, 2012);
        QCOMPARE(set[0].title, QStringLiteral("年度-销售额折线图"));
        QVERIFY(set[0].series.empty());
        QVERIFY(set[3].series.empty());
        QCOMPARE(set[1].series.size(), size_t(1));
        QVERIFY(set[1].series[0].points.empty());
    }

    void customBarsAndTypePies() {
        vorn::TRec drinks;
        drinks.FTs_Name = gbk(QStringLiteral("饮料"));
        QCOMPARE(fx.core().insert_trec(&drinks, 1), 1);
        QVERIFY(fx.shell->st.loadTypesAndSuppliers());
        const int drinksId = fx.shell->st.types.back().FTi_Id;
        QCOMPARE(drinksId, 2);

        const QDate s(2011, 3, 31), e(2011, 4, 15);
        const std::vector<int> types{2, 1, 99};
        const StatTotals t = runPlan(fx.core(), customPlan(s, e, types), {});
        const ChartSet set = customCharts(s, e, types, fx.shell->st.types, t.periods);
        QCOMPARE(set[0].title, QStringLiteral("自定义时间-销售额折线图"));
        QCOMPARE(set[1].title, QStringLiteral("自定义类型-销售额比例图"));
        QCOMPARE(set[2].title, QStringLiteral("自定义类型-销售利润比例图"));
        QCOMPARE(set[3].title, QStringLiteral("自定义时间-销售利润折线图"));

        const ChartLook& bars = set[0];
        QCOMPARE(bars.kind, ChartKind::Bars);
        QCOMPARE(bars.xTitle, QStringLiteral("日期"));
        QCOMPARE(bars.yTitle, QStringLiteral("金额(单位: 元)"));
        QCOMPARE(bars.firstDay, s);
        QCOMPARE(bars.series.size(), size_t(1));
        QCOMPARE(bars.series[0].points.size(), size_t(16));
        QCOMPARE(bars.series[0].points[0].value, 10.0);  // March 31st
        QCOMPARE(bars.series[0].points[1].value, 20.0);  // April 1st
        QCOMPARE(bars.series[0].points[15].value, 3.0);  // April 15th
        QCOMPARE(bars.series[0].points[15].x, 15.0);
        QVERIFY(bars.series[0].points[0].label.isEmpty()); // bars carry no value labels
        QCOMPARE(set[3].series[0].points[15].value, -3.0);

        // Types in list order; sales 3, 30, 0: the largest and the empty one pulled out;
        // an id no longer in the type list has no legend text.
        const ChartLook& pie = set[1];
        QCOMPARE(legends(pie), QStringList({QStringLiteral("饮料"), QStringLiteral("未知"), QString()}));
        QCOMPARE(values(pie.series[0]), QList<double>({3, 30, 0}));
        QCOMPARE(specials(pie), QList<bool>({false, true, true}));
        QCOMPARE(values(set[2].series[0]), QList<double>({-3, 21, 0}));
        QCOMPARE(specials(set[2]), QList<bool>({false, true, true}));
    }

    void noSpanGivesEmptyCustomCharts() {
        const ChartSet set = emptyCustomCharts();
        QCOMPARE(set[0].title, QStringLiteral("自定义时间-销售额折线图"));
        QCOMPARE(set[3].title, QStringLiteral("自定义时间-销售利润折线图"));
        for (const ChartLook& c : set)
            QVERIFY(c.series.empty());
    }

    void labelsHaveOneDecimalRoundedAwayFromZero() {
        QCOMPARE(valueLabel(0), QStringLiteral("0.0"));
        QCOMPARE(valueLabel(2.25), QStringLiteral("2.3"));
        QCOMPARE(valueLabel(-2.25), QStringLiteral("-2.3"));
        QCOMPARE(valueLabel(123456.04), QStringLiteral("123456.0"));
    }

private:
    StoreFixture fx;
};

QTEST_MAIN(TestStatSeries)
#include "test_statseries.moc"
