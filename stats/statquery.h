// The sums behind the statistics charts: which periods are asked for, the exact
// condition of each, the progress the busy window shows between them, and
// running them. Nothing here touches a widget, so a busy-window job can run it.
#pragma once

#include <QDate>
#include <functional>
#include <string>
#include <vector>

namespace vorn {
class Core;
}

namespace vorn::ui {

// Limits of the two condition dialogs.
constexpr int kMaxStatYears = 3;
constexpr int kMaxStatTypes = 10;
constexpr int kMaxSpanDays = 93;
// The shop's statistics start with its first year; the list of years once ended
// with 2030 and now reaches the current year whenever that is later.
constexpr int kFirstStatYear = 2011;
constexpr int kLastFixedStatYear = 2030;

// The calendar year of the program's clock, local time.
int currentLocalYear();
// The last year the year dialog offers.
int lastOfferedYear(int currentYear);

// The condition of one period's totals: the sold units from midnight of `from`
// (inclusive) to midnight of `to` (exclusive), behind `extra` when given.
std::string periodCondition(const QDate& from, const QDate& to, const std::string& extra = std::string());

// The sales (sum of FSd_ReaP) and cost (sum of FSd_OriP) of one period. `ok` is
// false when the store failed to answer; the sums are then 0.
struct PeriodTotal {
    double sales = 0.0;
    double cost = 0.0;
    bool ok = true;
    double profit() const { return sales - cost; }
};

struct PlannedQuery {
    std::string condition;
    std::vector<int> progressAfter; // the values sent once this query has run
};

struct StatPlan {
    std::vector<PlannedQuery> queries;
    // Every value the busy window receives, in order; the last one is 100.
    std::vector<int> progressSequence() const;
};

// Twelve monthly periods per year, in list order.
StatPlan yearPlan(const std::vector<int>& years);
// One period per day of the span, then one per type over the whole span. A span
// with a null date has no periods.
StatPlan customPlan(const QDate& start, const QDate& end, const std::vector<int>& types);
// The days from start to end, both included (none if either is null or start is later).
std::vector<QDate> spanDays(const QDate& start, const QDate& end);

struct StatTotals {
    std::vector<PeriodTotal> periods; // one per planned query, same order
    int failed = 0;                   // periods the store could not sum
};

// Runs the plan's queries through core and reports progress after each, then
// 100. Safe on a worker thread: it touches core and its own results only.
StatTotals runPlan(vorn::Core& core, const StatPlan& plan, const std::function<void(int)>& progress);

} // namespace vorn::ui
