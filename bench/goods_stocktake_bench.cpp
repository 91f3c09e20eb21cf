// vorn_goods_stocktake_bench [--units N] [--shop DIR]
// The stock-take on a generated shop of N units (default 1,000,000) with about
// 100 units per code (10,000 codes for a million): the sheet with nothing
// counted, with every code counted (half of them one short, half one over),
// with the uncounted codes as 0, saving 10,000 counts, and confirming them.
// The shop is generated once in /tmp/vorn-stocktake-bench-N/base; each run
// works on a fresh copy of it (or of DIR/__vorn__, a shop made before).
#include <QApplication>
#include <QTableView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "benchclock.h"
#include "gen.h"
#include "kit/page/appstate.h"
#include "stocktakemodel.h"
#include "vorn/stocktake.h"

namespace fs = std::filesystem;
using vornbench::Clock;
using vornbench::ms_since;

namespace {

void report(const std::string& what, double value, double target) {
    std::printf("%-66s %8.1f ms  target < %g ms %s\n", what.c_str(), value, target,
                value < target ? "ok" : "MISSED");
    std::fflush(stdout);
}

// Generated with twice the codes the generator would make, then every two
// made one: about 100 units per code.
bool generate_base(const fs::path& dir, int units) {
    if (fs::exists(dir / "__vorn__")) return true;
    fs::create_directories(dir);
    fs::current_path(dir);
    vorn::Core core;
    if (core.open() != 0) return false;
    vorn::bench::GenOptions opt;
    opt.units = units;
    opt.members = 100;
    opt.seed = 20261208;
    std::printf("generating %d units in %s ...\n", units, dir.c_str());
    std::fflush(stdout);
    int rc = vorn::bench::generate(core, opt);
    if (rc == 0) {
        std::string sql;
        const int codes = vorn::bench::code_count(units);
        for (int k = 0; k + 1 < codes; k += 2)
            sql += "UPDATE Store SET FSs_Code='" + vorn::bench::goods_code(k) + "' WHERE FSs_Code='" +
                   vorn::bench::goods_code(k + 1) + "';";
        rc = core.exec_in_transaction(sql);
    }
    const int idx = rc == 0 ? core.ensure_indexes() : -1;
    core.close();
    if (rc != 0 || idx != 0) fs::remove_all(dir);
    return rc == 0 && idx == 0;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int units = 1000000;
    fs::path shop;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--units") && i + 1 < argc) units = std::atoi(argv[++i]);
        if (!std::strcmp(argv[i], "--shop") && i + 1 < argc) shop = argv[++i];
    }
    const fs::path root = "/tmp/vorn-stocktake-bench-" + std::to_string(units);
    if (shop.empty() && !generate_base(root / "base", units)) {
        std::fprintf(stderr, "cannot make the shop in %s\n", root.c_str());
        return 1;
    }
    fs::remove_all(root / "run");
    fs::create_directories(root / "run");
    fs::copy_file((shop.empty() ? root / "base" : shop) / "__vorn__", root / "run" / "__vorn__");
    fs::current_path(root / "run");

    vorn::ui::AppState state;
    if (state.core.open() != 0 || state.core.ensure_indexes() != 0 || !state.loadTypesAndSuppliers()) {
        std::fprintf(stderr, "cannot open the shop\n");
        return 1;
    }
    vorn::StockTakes takes(state.core);
    const int64_t id = takes.start("bench", {}, 1);
    vorn::StockTakeRec take;
    takes.find(id, take);

    vorn::ui::StockTakeModel model(state.types);
    QTableView view;
    view.setModel(&model);
    view.resize(1000, 600);
    view.show();
    std::vector<vorn::StockTakeRow> rows;
    auto sheet = [&](const vorn::StockCounts& counts, bool zero, const char* what) {
        const auto t0 = Clock::now();
        takes.sheet(take, counts, zero, rows);
        model.setRows(rows);
        view.viewport()->grab();
        report(std::string(what) + " (" + std::to_string(rows.size()) + " codes)", ms_since(t0), 1000);
    };
    sheet({}, false, "sheet, nothing counted, first screen");
    sheet({}, false, "sheet again, nothing counted");
    vorn::StockCounts counts;
    for (size_t i = 0; i < rows.size(); ++i)
        counts[rows[i].code] = std::max(0, rows[i].book + (i % 2 == 0 ? -1 : 1));
    sheet(counts, false, "sheet, every code counted, half one short");
    sheet({}, true, "sheet, uncounted as 0 (every unit in stock short)");

    auto t0 = Clock::now();
    const int saved = takes.save_counts(id, counts);
    report("save " + std::to_string(counts.size()) + " counts (" + std::to_string(saved) + ")", ms_since(t0),
           1000);
    t0 = Clock::now();
    vorn::StockTakeResult result;
    const int rc = takes.confirm(id, {}, false, 2, result);
    report("confirm (" + std::to_string(result.written_off) + " written off, " +
               std::to_string(result.entered) + " entered, rc " + std::to_string(rc) + ")",
           ms_since(t0), 5000);
    state.core.close();
    return 0;
}
