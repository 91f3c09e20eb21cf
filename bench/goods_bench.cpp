// vorn_goods_bench [--units N]
// Drives the goods page's own search, load and sort code and its list model on a
// generated shop of N units (default 1,000,000), the way the page does after
// "搜索商品" and after a header click, and prints one line per figure.
// The shop is the one vorn_bench made (/tmp/vorn-bench-N); it is generated here
// when missing.
#include <sys/resource.h>

#include <QApplication>
#include <QHeaderView>
#include <QTableView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "gen.h"
#include "goodscells.h"
#include "goodsquery.h"
#include "goodsstate.h"
#include "kit/page/appstate.h"
#include "kit/text/gbk.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

double peak_mb() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return static_cast<double>(ru.ru_maxrss) / 1024.0;
}

void report(const char* what, double value, const char* unit, double target) {
    std::printf("%-52s %10.3f %-3s target < %g %-3s %s\n", what, value, unit, target, unit,
                value < target ? "ok" : "MISSED");
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
    int units = 1000000;
    for (int i = 1; i < argc; ++i)
        if (!std::strcmp(argv[i], "--units") && i + 1 < argc) units = std::atoi(argv[++i]);

    const fs::path dir = "/tmp/vorn-bench-" + std::to_string(units);
    fs::create_directories(dir);
    fs::current_path(dir);
    vorn::ui::AppState state;
    const bool fresh = !fs::exists("__vorn__");
    if (state.core.open() != 0) {
        std::fprintf(stderr, "cannot open %s/__vorn__\n", dir.c_str());
        return 1;
    }
    if (fresh) {
        std::printf("generating %d units in %s ...\n", units, dir.c_str());
        vorn::bench::GenOptions opt;
        opt.units = units;
        opt.members = 1000;
        if (vorn::bench::generate(state.core, opt) != 0) return 1;
    }
    if (state.core.ensure_indexes() != 0 || !state.loadTypesAndSuppliers()) {
        std::fprintf(stderr, "store not usable\n");
        return 1;
    }

    vorn::ui::RecordModel<vorn::SRec> model(vorn::ui::goodsState(state).rows, vorn::ui::goodsColumns(),
                                            [&state](const vorn::SRec& u, int c) {
                                                return vorn::ui::goodsCellText(u, c, state.types, state.suppliers);
                                            });
    QTableView view;
    view.setModel(&model);
    view.resize(1280, 720);
    view.show();

    // Search one code, as typed into "编码:".
    std::mt19937 rng(7);
    const int codes = vorn::bench::code_count(units);
    std::vector<double> times;
    for (int i = 0; i < 50; ++i) {
        vorn::ui::GoodsSearch in;
        in.code = QString::fromStdString(vorn::bench::goods_code(static_cast<int>(rng() % codes)));
        auto t = Clock::now();
        std::string cond;
        vorn::ui::buildGoodsCondition(in, state.types, cond);
        vorn::ui::loadQueried(state.core, cond, std::string(), vorn::ui::goodsState(state).rows);
        model.resetRows();
        show_first_screen(view);
        times.push_back(since(t) * 1000);
    }
    std::sort(times.begin(), times.end());
    report("search one code, list shown (median)", times[times.size() / 2], "ms", 50);

    // Empty search: every unit, first screen shown.
    auto t = Clock::now();
    int n = vorn::ui::loadQueried(state.core, std::string(), std::string(), vorn::ui::goodsState(state).rows);
    model.resetRows();
    show_first_screen(view);
    report(("list all " + std::to_string(n) + " units, first screen").c_str(), since(t), "s", 6);
    report("peak memory after listing all", peak_mb(), "MB", 800);

    // Scrolling: a screen anywhere in the list costs only its own cells.
    t = Clock::now();
    const int screens = 200;
    for (int i = 0; i < screens; ++i) {
        view.scrollTo(model.index(static_cast<int>(rng() % std::max(1, n)), 0));
        show_first_screen(view);
    }
    report("one scrolled screen painted (mean)", since(t) * 1000 / screens, "ms", 16);

    // Header click on "商品名称": reload ordered by name.
    t = Clock::now();
    vorn::ui::loadQueried(state.core, std::string(), vorn::ui::sortClauseOf(vorn::ui::goodsColumns(), 1, true), vorn::ui::goodsState(state).rows);
    model.resetRows();
    show_first_screen(view);
    report("re-sort all units by name, first screen", since(t), "s", 10);
    report("peak memory after re-sorting", peak_mb(), "MB", 800);

    vorn::ui::goodsState(state).rows.clear();
    model.resetRows();
    state.core.close();
    return 0;
}
