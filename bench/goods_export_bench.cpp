// vorn_goods_export_bench [--units N] [--keep]
// Lists every unit of a generated shop of N units (default 1,000,000) the way the
// goods page loads them, then exports the list with the page's own export code
// to CSV and to XLSX, and prints one line per figure. The shop is the one
// vorn_bench made (/tmp/vorn-bench-N); it is generated here when missing. The
// exported files go to /tmp/vorn-goods-export-bench and are removed at the end
// unless --keep is given.
#include <sys/resource.h>

#include <QApplication>
#include <QString>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "gen.h"
#include "goodsexport.h"
#include "goodsquery.h"
#include "goodsstate.h"
#include "kit/page/appstate.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double since(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

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

void note(const char* what, double value, const char* unit) {
    std::printf("%-52s %10.3f %s\n", what, value, unit);
    std::fflush(stdout);
}

// Exports the loaded rows to path; false (with the reason printed) on failure.
bool exportTo(vorn::ui::AppState& state, const fs::path& path, const char* label, double target) {
    QString error;
    const auto t = Clock::now();
    const std::vector<vorn::SRec>& rows = vorn::ui::goodsState(state).rows;
    const bool ok =
        vorn::ui::writeRecordSheet(QString::fromStdString(path.string()), vorn::ui::goodsSheet(state.types, state.suppliers), rows, {}, &error);
    const double secs = since(t);
    if (!ok) {
        std::fprintf(stderr, "%s failed: %s\n", label, error.toUtf8().constData());
        return false;
    }
    report((std::string("export ") + std::to_string(rows.size()) + " units to " + label).c_str(), secs,
           "s", target);
    note((std::string("  ") + label + " file size").c_str(),
         static_cast<double>(fs::file_size(path)) / 1048576.0, "MB");
    return true;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int units = 1000000;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--units") && i + 1 < argc) units = std::atoi(argv[++i]);
        if (!std::strcmp(argv[i], "--keep")) keep = true;
    }

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

    // "搜索商品" with no inputs: every unit, as the page loads them.
    auto t = Clock::now();
    const int n = vorn::ui::loadQueried(state.core, std::string(), std::string(), vorn::ui::goodsState(state).rows);
    note(("load all " + std::to_string(n) + " units as the goods page does").c_str(), since(t), "s");
    if (n < 1) return 1;

    const fs::path out = "/tmp/vorn-goods-export-bench";
    fs::create_directories(out);
    const fs::path csv = out / "goods.csv";
    const fs::path xlsx = out / "goods.xlsx";
    bool ok = exportTo(state, csv, "CSV", 10);
    ok = exportTo(state, xlsx, "XLSX", 30) && ok;
    report("peak memory", peak_mb(), "MB", 1500);

    if (!keep) fs::remove_all(out);
    vorn::ui::goodsState(state).rows.clear();
    state.core.close();
    return ok ? 0 : 1;
}
