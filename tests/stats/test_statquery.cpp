// The periods behind the statistics charts: their condition texts, the progress
// the busy window shows between them, and the sums they give on a known store.
#include <QtTest>

#include "kit/text/clock.h"
#include "statfixture.h"
#include "statquery.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

namespace {

std::string span(const char* from, const char* to) {
    return std::string("FSi_Flag=1 AND FSt_SalT>='") + from + " 00:00:00' AND FSt_SalT<'" + to + " 00:00:00'";
}

std::vector<int> recorded(vorn::Core& core, const StatPlan& plan, StatTotals* totals = nullptr) {
    std::vector<int> seen;
    StatTotals t = runPlan(core, plan, [&](int v) { seen.push_back(v); });
    if (totals) *totals = t;
    return seen;
}

} // namespace

class TestStatQuery : public QObject {
    Q_OBJECT
private slots:
    void init() { fx.setUp(); }
    void cleanup() {
        fx.tearDown();
        setNowForTests(0);
    }

    void periodTextIsExact() {
        QCOMPARE(periodCondition(QDate(2011, 3, 1), QDate(2011, 4, 1)), span("2011-03-01", "2011-04-01"));
        QCOMPARE(periodCondition(QDate(2011, 5, 1), QDate(2011, 5, 4), "FSi_Type=2"),
                 "FSi_Type=2 AND " + span("2011-05-01", "2011-05-04"));
        // An empty extra condition adds nothing, not a dangling AND.
        QCOMPARE(periodCondition(QDate(2031, 12, 1), QDate(2032, 1, 1), std::string()),
                 span("2031-12-01", "2032-01-01"));
    }

    void yearPlanHasTwelveMonthsPerYearInListOrder() {
        const StatPlan plan = yearPlan({2013, 2011});
        QCOMPARE(plan.queries.size(), size_t(24));
        QCOMPARE(plan.queries[0].condition, span("2013-01-01", "2013-02-01"));
        QCOMPARE(plan.queries[1].condition, span("2013-02-01", "2013-03-01"));
        QCOMPARE(plan.queries[10].condition, span("2013-11-01", "2013-12-01"));
        // December runs up to the next year's first of January.
        QCOMPARE(plan.queries[11].condition, span("2013-12-01", "2014-01-01"));
        QCOMPARE(plan.queries[12].condition, span("2011-01-01", "2011-02-01"));
        QCOMPARE(plan.queries[23].condition, span("2011-12-01", "2012-01-01"));
        QVERIFY(yearPlan({}).queries.empty());
    }

    void yearProgress() {
        // One year: the step is 99, a twelfth of it 8 per month, then the year's 99.
        QCOMPARE(yearPlan({2011}).progressSequence(),
                 std::vector<int>({8, 16, 24, 32, 40, 48, 56, 64, 72, 80, 88, 96, 99, 100}));
        // Three years: steps of 33, 2 per month, each year ending on its full share.
        std::vector<int> three;
        for (int year = 0; year < 3; ++year) {
            for (int m = 1; m <= 12; ++m)
                three.push_back(year * 33 + m * 2);
            three.push_back((year + 1) * 33);
        }
        three.push_back(100);
        QCOMPARE(yearPlan({2011, 2012, 2013}).progressSequence(), three);
        // No year at all: only the closing 100.
        QCOMPARE(yearPlan({}).progressSequence(), std::vector<int>({100}));
    }

    void customPlanDaysThenTypes() {
        const StatPlan plan = customPlan(QDate(2011, 5, 1), QDate(2011, 5, 3), {1, 2});
        QCOMPARE(plan.queries.size(), size_t(5));
        QCOMPARE(plan.queries[0].condition, span("2011-05-01", "2011-05-02"));
        QCOMPARE(plan.queries[2].condition, span("2011-05-03", "2011-05-04"));
        // Each type covers the whole span, up to midnight after its last day.
        QCOMPARE(plan.queries[3].condition, "FSi_Type=1 AND " + span("2011-05-01", "2011-05-04"));
        QCOMPARE(plan.queries[4].condition, "FSi_Type=2 AND " + span("2011-05-01", "2011-05-04"));
        // 99 / (3 days + 2 types) = 19 per query.
        QCOMPARE(plan.progressSequence(), std::vector<int>({19, 38, 57, 76, 95, 100}));

        // The longest span with the most types: 103 queries, a step of 0.
        std::vector<int> ten{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
        const StatPlan big = customPlan(QDate(2011, 1, 1), QDate(2011, 4, 3), ten);
        QCOMPARE(big.queries.size(), size_t(103));
        QCOMPARE(big.queries[92].condition, span("2011-04-03", "2011-04-04"));
        const std::vector<int> seq = big.progressSequence();
        QCOMPARE(seq.size(), size_t(104));
        QCOMPARE(seq[102], 0);
        QCOMPARE(seq.back(), 100);

        QVERIFY(customPlan(QDate(), QDate(), {1}).queries.empty());
        QCOMPARE(spanDays(QDate(2011, 12, 30), QDate(2012, 1, 2)).size(), size_t(4));
    }

    void sumsOnAKnownStore() {
        insertUnits(fx.core(),
                    {soldUnit(1, 4, 10, at(2011, 3, 31, 23, 59, 59)), // last second of March
                     soldUnit(1, 5, 20, at(2011, 4, 1, 0, 0, 0)),     // first second of April
                     soldUnit(2, 6, 3, at(2011, 4, 15)),              // sold at a loss
                     soldUnit(1, 1, 7, at(2011, 12, 31, 23, 59, 59)),
                     soldUnit(1, 1, 9, at(2012, 1, 1, 0, 0, 0)),
                     soldUnit(1, 50, 100, at(2011, 3, 10), 0)}); // in stock: never counted
        StatTotals t;
        const StatPlan plan = yearPlan({2011, 2012});
        const std::vector<int> seen = recorded(fx.core(), plan, &t);
        QCOMPARE(seen, plan.progressSequence());
        QCOMPARE(t.failed, 0);
        QCOMPARE(t.periods.size(), size_t(24));
        QCOMPARE(t.periods[2].sales, 10.0); // March
        QCOMPARE(t.periods[2].cost, 4.0);
        QCOMPARE(t.periods[3].sales, 23.0); // April: 20 + 3
        QCOMPARE(t.periods[3].cost, 11.0);
        QCOMPARE(t.periods[3].profit(), 12.0);
        QCOMPARE(t.periods[11].sales, 7.0); // December
        QCOMPARE(t.periods[12].sales, 9.0); // 2012 January
        QCOMPARE(t.periods[0].sales, 0.0);
        QVERIFY(t.periods[0].ok);

        const StatPlan custom = customPlan(QDate(2011, 4, 1), QDate(2011, 4, 15), {2, 1, 99});
        StatTotals c;
        recorded(fx.core(), custom, &c);
        QCOMPARE(c.periods.size(), size_t(18));
        QCOMPARE(c.periods[0].sales, 20.0);  // April 1st
        QCOMPARE(c.periods[14].sales, 3.0);  // April 15th, sold at noon
        QCOMPARE(c.periods[15].sales, 3.0);  // type 2 over the span
        QCOMPARE(c.periods[15].profit(), -3.0);
        QCOMPARE(c.periods[16].sales, 20.0); // type 1 over the span
        QCOMPARE(c.periods[17].sales, 0.0);  // no such type
    }

    void failedSumsAreCountedNotHidden() {
        insertUnits(fx.core(), {soldUnit(1, 4, 10, at(2011, 3, 31))});
        fx.core().close();
        StatTotals t;
        const StatPlan plan = yearPlan({2011});
        QCOMPARE(recorded(fx.core(), plan, &t), plan.progressSequence());
        QCOMPARE(t.failed, 12);
        for (const PeriodTotal& p : t.periods) {
            QVERIFY(!p.ok);
            QCOMPARE(p.sales, 0.0);
            QCOMPARE(p.cost, 0.0);
        }
    }

    void offeredYearsReachTheCurrentYear() {
        QCOMPARE(lastOfferedYear(2024), 2030);
        QCOMPARE(lastOfferedYear(2030), 2030);
        QCOMPARE(lastOfferedYear(2031), 2031);
        setNowForTests(at(2033, 2, 1).toSecsSinceEpoch());
        QCOMPARE(currentLocalYear(), 2033);
    }

private:
    StoreFixture fx;
};

QTEST_MAIN(TestStatQuery)
#include "test_statquery.moc"
