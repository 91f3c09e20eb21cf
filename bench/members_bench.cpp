// vorn_members_bench [--members N] [--batch M]
// Drives the member page's own search, load and sort code and its list model on
// a generated register of N members (default 100,000), the way the page does
// after "搜索会员" and after a header click, then stages a batch of M new members
// (default 10,000) in the entry dialog and saves it, and prints one line per
// figure. The register lives in /tmp/vorn-members-bench-N and is generated when
// missing; the batch is deleted again at the end, so runs stay comparable.
#include <sys/resource.h>
#include <time.h>

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "fakeshell.h"
#include "gen.h"
#include "memberstate.h"
#include "kit/page/appstate.h"
#include "kit/page/loadingwnd.h"
#include "membercells.h"
#include "memberquery.h"
#include "vipadddlg.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

// Processor seconds of the whole process (all threads) so far: on a machine
// shared with other work the wall-clock figures alone overstate the cost.
double cpu_seconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

double peak_mb() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return static_cast<double>(ru.ru_maxrss) / 1024.0;
}

void report(const char* what, double value, const char* unit, double target) {
    if (target > 0)
        std::printf("%-52s %10.3f %-3s target < %g %-3s %s\n", what, value, unit, target, unit,
                    value < target ? "ok" : "MISSED");
    else
        std::printf("%-52s %10.3f %-3s\n", what, value, unit);
    std::fflush(stdout);
}

// Shows the first screen of the list: the view asks the model for every cell it paints.
void show_first_screen(QTableView& view) {
    view.viewport()->grab();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int members = 100000;
    int batch = 10000;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--members") && i + 1 < argc) members = std::atoi(argv[++i]);
        if (!std::strcmp(argv[i], "--batch") && i + 1 < argc) batch = std::atoi(argv[++i]);
    }

    const fs::path dir = "/tmp/vorn-members-bench-" + std::to_string(members);
    fs::create_directories(dir);
    fs::current_path(dir);
    vorn::ui::test::FakeShell shell;
    vorn::ui::AppState& state = shell.st;
    const bool fresh = !fs::exists("__vorn__");
    if (state.core.open() != 0) {
        std::fprintf(stderr, "cannot open %s/__vorn__\n", dir.c_str());
        return 1;
    }
    if (fresh) {
        std::printf("generating %d members in %s ...\n", members, dir.c_str());
        vorn::bench::GenOptions opt;
        opt.units = 0;
        opt.members = members;
        if (vorn::bench::generate(state.core, opt) != 0) return 1;
    }
    if (state.core.ensure_indexes() != 0) {
        std::fprintf(stderr, "store not usable\n");
        return 1;
    }
    // Leftovers of an interrupted run would make the batch's codes duplicates.
    state.core.exec_sql("DELETE FROM VIP WHERE FVs_Code LIKE 'B%'");

    vorn::ui::RecordModel<vorn::VIPRec> model(vorn::ui::memberState(state).rows, vorn::ui::memberColumns(),
                                              vorn::ui::memberCellText);
    QTableView view;
    view.setModel(&model);
    view.resize(1280, 720);
    view.show();

    // Search one code, as typed into "编号:".
    std::mt19937 rng(7);
    std::vector<double> times;
    for (int i = 0; i < 50; ++i) {
        vorn::ui::MemberSearch in;
        char code[16];
        std::snprintf(code, sizeof code, "8800%06d", static_cast<int>(rng() % members) + 1);
        in.code = QString::fromLatin1(code);
        auto t = Clock::now();
        std::string cond;
        vorn::ui::buildMemberCondition(in, cond);
        vorn::ui::loadQueried(state.core, cond, std::string(), vorn::ui::memberState(state).rows);
        model.resetRows();
        show_first_screen(view);
        times.push_back(since(t) * 1000);
    }
    std::sort(times.begin(), times.end());
    report("search one code, list shown (median)", times[times.size() / 2], "ms", 50);

    // Empty search: every member, first screen shown.
    auto t = Clock::now();
    double c = cpu_seconds();
    const int n = vorn::ui::loadQueried(state.core, std::string(), std::string(), vorn::ui::memberState(state).rows);
    model.resetRows();
    show_first_screen(view);
    report(("list all " + std::to_string(n) + " members, first screen").c_str(), since(t), "s", 3);
    report("  the same in processor time", cpu_seconds() - c, "s", 0);
    report("peak memory after listing all", peak_mb(), "MB", 0);

    // Scrolling: a screen anywhere in the list costs only its own cells.
    t = Clock::now();
    const int screens = 200;
    for (int i = 0; i < screens; ++i) {
        view.scrollTo(model.index(static_cast<int>(rng() % std::max(1, n)), 0));
        show_first_screen(view);
    }
    report("one scrolled screen painted (mean)", since(t) * 1000 / screens, "ms", 16);

    // Header clicks: reload ordered by name, and by points descending.
    t = Clock::now();
    c = cpu_seconds();
    vorn::ui::loadQueried(state.core, std::string(), vorn::ui::sortClauseOf(vorn::ui::memberColumns(), 2, true), vorn::ui::memberState(state).rows);
    model.resetRows();
    show_first_screen(view);
    report("re-sort all members by name, first screen", since(t), "s", 3);
    report("  the same in processor time", cpu_seconds() - c, "s", 0);
    t = Clock::now();
    vorn::ui::loadQueried(state.core, std::string(), vorn::ui::sortClauseOf(vorn::ui::memberColumns(), 4, false), vorn::ui::memberState(state).rows);
    model.resetRows();
    show_first_screen(view);
    report("re-sort all members by points, first screen", since(t), "s", 3);
    vorn::ui::memberState(state).rows.clear();
    model.resetRows();

    // A batch through the entry dialog: each "<-" checks the code against the
    // staged list and the store; "保存" writes them all in one call.
    vorn::ui::CLoadingWnd::setLingerMs(0);
    {
        vorn::ui::CVIPAddDlg dlg(shell);
        auto* code = dlg.findChild<QLineEdit*>(QStringLiteral("code"));
        auto* name = dlg.findChild<QLineEdit*>(QStringLiteral("name"));
        name->setText(QStringLiteral("批量会员"));
        t = Clock::now();
        for (int i = 0; i < batch; ++i) {
            code->setText(QStringLiteral("B%1").arg(i, 7, 10, QLatin1Char('0')));
            dlg.stageMember();
        }
        const double staged = since(t);
        report(("stage " + std::to_string(dlg.stagedCount()) + " members (per member)").c_str(),
               staged * 1000 / std::max(1, batch), "ms", 0);
        t = Clock::now();
        c = cpu_seconds();
        dlg.save();
        report(("save a batch of " + std::to_string(dlg.insertResult()) + " staged members").c_str(), since(t),
               "s", 2);
        report("  the same in processor time", cpu_seconds() - c, "s", 0);
    }

    // And away again: the delete of the page, on the batch as loaded rows.
    vorn::ui::loadQueried(state.core, "FVs_Code LIKE 'B%'", std::string(), vorn::ui::memberState(state).rows);
    std::vector<vorn::VIPRec*> gone;
    for (auto& m : vorn::ui::memberState(state).rows)
        gone.push_back(&m);
    t = Clock::now();
    const int deleted = state.core.delete_viprec(gone.data(), static_cast<int>(gone.size()));
    report(("delete the " + std::to_string(deleted) + " members again").c_str(), since(t), "s", 2);

    vorn::ui::memberState(state).rows.clear();
    model.resetRows();
    state.core.close();
    return 0;
}
