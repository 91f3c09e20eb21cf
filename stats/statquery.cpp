#include "statquery.h"

#include <QDateTime>
#include <algorithm>

#include "kit/text/clock.h"
#include "vorn/core.h"
#include "vorn/sqltext.h"

namespace vorn::ui {

namespace {

std::string dayText(const QDate& day) {
    // The store holds times as "%Y-%m-%d %H:%M:%S" text; comparing against the
    // same layout keeps the sold-time index usable.
    return day.toString(QStringLiteral("yyyy-MM-dd")).toStdString();
}

} // namespace

int currentLocalYear() { return QDateTime::fromSecsSinceEpoch(now()).date().year(); }

int lastOfferedYear(int currentYear) { return std::max(kLastFixedStatYear, currentYear); }

std::string periodCondition(const QDate& from, const QDate& to, const std::string& extra) {
    std::string cond;
    if (!extra.empty()) {
        cond = extra;
        cond += " AND ";
    }
    cond += "FSi_Flag=1 AND FSt_SalT>='";
    cond += vorn::sql_escape(dayText(from));
    cond += " 00:00:00' AND FSt_SalT<'";
    cond += vorn::sql_escape(dayText(to));
    cond += " 00:00:00'";
    return cond;
}

std::vector<int> StatPlan::progressSequence() const {
    std::vector<int> all;
    for (const PlannedQuery& q : queries)
        all.insert(all.end(), q.progressAfter.begin(), q.progressAfter.end());
    all.push_back(100);
    return all;
}

StatPlan yearPlan(const std::vector<int>& years) {
    StatPlan plan;
    const int n = static_cast<int>(years.size());
    const int step = n == 0 ? 99 : 99 / n;
    int p = 0;
    for (int year : years) {
        for (int m = 1; m <= 12; ++m) {
            const QDate from(year, m, 1);
            const QDate to = m < 12 ? QDate(year, m + 1, 1) : QDate(year + 1, 1, 1);
            PlannedQuery q{periodCondition(from, to), {p + m * (step / 12)}};
            // The year's last month also moves the bar to the year's full share,
            // which the twelfths lose to rounding.
            if (m == 12) q.progressAfter.push_back(p + step);
            plan.queries.push_back(std::move(q));
        }
        p += step;
    }
    return plan;
}

std::vector<QDate> spanDays(const QDate& start, const QDate& end) {
    std::vector<QDate> days;
    if (!start.isValid() || !end.isValid()) return days;
    for (QDate d = start; d <= end; d = d.addDays(1))
        days.push_back(d);
    return days;
}

StatPlan customPlan(const QDate& start, const QDate& end, const std::vector<int>& types) {
    StatPlan plan;
    const std::vector<QDate> days = spanDays(start, end);
    if (days.empty()) return plan;
    const int step = 99 / static_cast<int>(days.size() + types.size());
    int p = 0;
    for (const QDate& d : days) {
        p += step;
        plan.queries.push_back({periodCondition(d, d.addDays(1)), {p}});
    }
    const QDate after = end.addDays(1);
    for (int type : types) {
        p += step;
        plan.queries.push_back({periodCondition(start, after, "FSi_Type=" + std::to_string(type)), {p}});
    }
    return plan;
}

StatTotals runPlan(vorn::Core& core, const StatPlan& plan, const std::function<void(int)>& progress) {
    StatTotals out;
    out.periods.reserve(plan.queries.size());
    for (const PlannedQuery& q : plan.queries) {
        double sums[2] = {0.0, 0.0};
        PeriodTotal t;
        if (core.get_srec_total(sums, "FSd_ReaP", "FSd_OriP", q.condition.c_str()) == 1) {
            t.sales = sums[0];
            t.cost = sums[1];
        } else {
            // Shown as 0 so the other periods still draw, but counted: the user
            // must not read a failed sum as a day without sales.
            t.ok = false;
            ++out.failed;
        }
        out.periods.push_back(t);
        if (progress)
            for (int v : q.progressAfter)
                progress(v);
    }
    if (progress) progress(100);
    return out;
}

} // namespace vorn::ui
