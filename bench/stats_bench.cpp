// vorn_stats_bench [--units N]
// Generates the statistics charts on a generated shop of N units (default
// 1,000,000, three years of sales) the way "生成图表" does, drawing included:
// year mode with three years, custom mode with 93 days and 10 types. Prints
// one line per figure. The shop is the one vorn_bench made (/tmp/vorn-bench-N);
// it is generated here when missing.
#include <sys/resource.h>

#include <QApplication>
#include <QDateTime>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "fakeshell.h"
#include "gen.h"
#include "kit/page/loadingwnd.h"
#include "res/commandids.h"
#include "res/vornres.h"
#include "statisticsview.h"
#include "statquery.h"
#include "statstate.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace vorn::ui;

namespace {

double since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

void report(const std::string& what, double value, const char* unit, double target) {
    std::printf("%-58s %8.3f %-2s target < %g %-2s %s\n", what.c_str(), value, unit, target, unit,
                value < target ? "ok" : "MISSED");
    std::fflush(stdout);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// "生成图表" and the page painted, as the user waits for it.
double generateAndDraw(CStatisticsView& page) {
    const auto t = Clock::now();
    page.onCommand(vorn::ui::cmd::MakeCharts);
    page.grab();
    return since(t);
}

void measure(CStatisticsView& page, const std::string& what) {
    std::vector<double> runs;
    for (int i = 0; i < 5; ++i)
        runs.push_back(generateAndDraw(page));
    report(what + ", median of 5", median(runs), "s", 1.5);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vornInitResources();
    int units = 1000000;
    for (int i = 1; i < argc; ++i)
        if (!std::strcmp(argv[i], "--units") && i + 1 < argc) units = std::atoi(argv[++i]);

    const fs::path dir = "/tmp/vorn-bench-" + std::to_string(units);
    fs::create_directories(dir);
    fs::current_path(dir);
    test::FakeShell shell;
    AppState& st = shell.st;
    const bool fresh = !fs::exists("__vorn__");
    if (st.core.open() != 0) {
        std::fprintf(stderr, "cannot open %s/__vorn__\n", dir.c_str());
        return 1;
    }
    if (fresh) {
        std::printf("generating %d units in %s ...\n", units, dir.c_str());
        vorn::bench::GenOptions opt;
        opt.units = units;
        opt.members = 1000;
        if (vorn::bench::generate(st.core, opt) != 0) return 1;
    }
    if (st.core.ensure_indexes() != 0 || !st.loadTypesAndSuppliers()) {
        std::fprintf(stderr, "store not usable\n");
        return 1;
    }

    // The shop's last sale decides which years and days have sales to sum.
    vorn::SRec last;
    if (st.core.select_srec(&last, "FSi_Flag=1 ORDER BY FSt_SalT DESC LIMIT 1") != 1) {
        std::fprintf(stderr, "no sales in the store\n");
        return 1;
    }
    const QDate lastDay = QDateTime::fromSecsSinceEpoch(last.FSt_SalT).date();
    const int sold = st.core.get_srec_count("FSi_Flag=1");
    std::printf("%d units, %d sold, last sale %s\n", st.core.get_srec_count(nullptr), sold,
                qPrintable(lastDay.toString(QStringLiteral("yyyy-MM-dd"))));

    StatState& ss = st.extension<StatState>();
    ss.years = {lastDay.year() - 2, lastDay.year() - 1, lastDay.year()};
    ss.spanEnd = lastDay;
    ss.spanStart = lastDay.addDays(-(kMaxSpanDays - 1));
    for (const vorn::TRec& t : st.types)
        if (t.FTi_Id != 1 && ss.types.size() < static_cast<size_t>(kMaxStatTypes)) ss.types.push_back(t.FTi_Id);

    shell.win.resize(1280, 800);
    shell.win.show();
    CStatisticsView page(shell, &shell.win);
    // The page's share of a 1280 by 800 main window under the ribbon.
    page.setGeometry(0, 0, 1280, 620);
    page.show();
    QCoreApplication::processEvents();

    // Right after opening the store, its page cache empty: the first sums of a day.
    auto cpu = [] {
        rusage r{};
        getrusage(RUSAGE_SELF, &r);
        return static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
               static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
    };
    double c0 = cpu();
    auto t0 = Clock::now();
    int failed = runPlan(st.core, yearPlan(ss.years), {}).failed;
    report("year mode, 36 period sums alone, first after opening", since(t0), "s", 1.5);
    report("  the same, processor time", cpu() - c0, "s", 1.5);
    c0 = cpu();
    t0 = Clock::now();
    failed += runPlan(st.core, customPlan(ss.spanStart, ss.spanEnd, ss.types), {}).failed;
    report("custom mode, 103 period sums alone, first", since(t0), "s", 1.5);
    report("  the same, processor time", cpu() - c0, "s", 1.5);

    // The busy window stays 500 ms after the job, as the user sees it; measured
    // without that pause first, since it is no work of the charts.
    CLoadingWnd::setLingerMs(0);
    ss.mode = 0;
    report("year mode, 3 years, 4 charts drawn, first on the page", generateAndDraw(page), "s", 1.5);
    ss.mode = 1;
    report("custom mode, 93 days, 10 types, 4 charts drawn, first", generateAndDraw(page), "s", 1.5);
    ss.mode = 0;
    measure(page, "year mode, 3 years, 4 charts drawn");
    ss.mode = 1;
    measure(page, "custom mode, 93 days, 10 types, 4 charts drawn");

    // The sums alone, as the busy window's job runs them.
    std::vector<double> yearJob, customJob;
    for (int i = 0; i < 5; ++i) {
        auto t = Clock::now();
        failed += runPlan(st.core, yearPlan(ss.years), {}).failed;
        yearJob.push_back(since(t));
        t = Clock::now();
        failed += runPlan(st.core, customPlan(ss.spanStart, ss.spanEnd, ss.types), {}).failed;
        customJob.push_back(since(t));
    }
    report("year mode, 36 period sums alone, median of 5", median(yearJob), "s", 1.5);
    report("custom mode, 103 period sums alone, median of 5", median(customJob), "s", 1.5);
    if (failed) std::fprintf(stderr, "%d sums failed\n", failed);

    CLoadingWnd::setLingerMs(CLoadingWnd::kDefaultLingerMs);
    ss.mode = 0;
    measure(page, "year mode, with the busy window's 500 ms after");
    ss.mode = 1;
    measure(page, "custom mode, with the busy window's 500 ms after");

    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    report("peak memory", static_cast<double>(ru.ru_maxrss) / 1024.0, "MB", 800);
    st.core.close();
    return 0;
}
