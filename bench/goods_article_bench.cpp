// vorn_goods_article_bench [--units N]
// Lists the goods by article on a generated shop of N units (default 1,000,000)
// and prints one line per figure: all articles (by code, and by stock
// descending), a search by part of a code and by part of a Chinese name, and a
// price change of one article. Measured twice: on the shop as generated (about
// 50 units per code) and with every two codes made one (about 100 per code:
// 10,000 codes for a million units).
// The shops live in /tmp/vorn-article-bench-N, generated once.
#include <QApplication>
#include <QTableView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "articlemodel.h"
#include "benchclock.h"
#include "gen.h"
#include "kit/page/appstate.h"
#include "vorn/articles.h"

namespace fs = std::filesystem;
using vornbench::Clock;
using vornbench::ms_since;

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void report(const std::string& what, double value, double target) {
    std::printf("%-60s %8.1f ms  target < %g ms %s\n", what.c_str(), value, target,
                value < target ? "ok" : "MISSED");
    std::fflush(stdout);
}

bool generate_base(const fs::path& dir, int units) {
    if (fs::exists(dir / "__vorn__")) return true;
    fs::create_directories(dir);
    fs::current_path(dir);
    vorn::Core core;
    if (core.open() != 0) return false;
    vorn::bench::GenOptions opt;
    opt.units = units;
    opt.members = 100;
    opt.seed = 20261207;
    std::printf("generating %d units in %s ...\n", units, dir.c_str());
    std::fflush(stdout);
    const int rc = vorn::bench::generate(core, opt);
    const int idx = rc == 0 ? core.ensure_indexes() : -1;
    core.close();
    if (rc != 0 || idx != 0) fs::remove_all(dir);
    return rc == 0 && idx == 0;
}

// A copy of the base whose codes 2k+1 are renamed to code 2k: half the codes.
bool make_merged(const fs::path& base, const fs::path& dir, int units) {
    if (fs::exists(dir / "__vorn__")) return true;
    fs::create_directories(dir);
    fs::copy_file(base / "__vorn__", dir / "__vorn__");
    fs::current_path(dir);
    vorn::Core core;
    if (core.open() != 0) return false;
    std::string sql;
    const int codes = vorn::bench::code_count(units);
    for (int k = 0; k + 1 < codes; k += 2)
        sql += "UPDATE Store SET FSs_Code='" + vorn::bench::goods_code(k) + "' WHERE FSs_Code='" +
               vorn::bench::goods_code(k + 1) + "';";
    const int rc = core.exec_in_transaction(sql);
    core.close();
    if (rc != 0) fs::remove_all(dir);
    return rc == 0;
}

void measure(const fs::path& dir, const char* label) {
    fs::current_path(dir);
    vorn::ui::AppState state;
    if (state.core.open() != 0 || state.core.ensure_indexes() != 0 || !state.loadTypesAndSuppliers()) {
        std::fprintf(stderr, "cannot open %s\n", dir.c_str());
        return;
    }
    vorn::Articles articles(state.core);
    std::vector<vorn::Article> rows;
    vorn::ui::ArticleModel model(rows, state);
    QTableView view;
    view.setModel(&model);
    view.resize(1000, 600);
    view.show();

    auto timed = [&](const std::string& text, vorn::ArticleOrder order, bool desc) {
        std::vector<double> t;
        for (int i = 0; i < 5; ++i) {
            const auto t0 = Clock::now();
            articles.select(text, order, desc, rows);
            model.resetRows();
            view.viewport()->grab();
            t.push_back(ms_since(t0));
        }
        return median(t);
    };
    articles.select("", vorn::ArticleOrder::Code, false, rows); // the first read warms the page cache
    const size_t all = rows.size();
    const std::string n = std::to_string(all) + " articles, " + label;
    report("list all by code, first screen (" + n + ")", timed("", vorn::ArticleOrder::Code, false), 1000);
    report("list all by stock desc (" + n + ")", timed("", vorn::ArticleOrder::InStock, true), 1000);
    report("search part of a code \"123\" (" + n + ")", timed("123", vorn::ArticleOrder::Code, false), 1000);
    report("search part of a name (" + n + ")",
           timed(vorn::bench::to_gbk("啤酒"), vorn::ArticleOrder::Code, false), 1000);

    vorn::PriceChange change;
    change.code = all > 0 ? rows.front().code : std::string();
    change.tenths[vorn::kRetailPrice] = 123;
    change.user = "bench";
    change.time = 1;
    const auto t0 = Clock::now();
    const int changed = articles.set_prices(change);
    report("price change of one article (" + std::to_string(changed) + " units)", ms_since(t0), 100);
    rows.clear();
    model.resetRows();
    state.core.close();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int units = 1000000;
    for (int i = 1; i < argc; ++i)
        if (!std::strcmp(argv[i], "--units") && i + 1 < argc) units = std::atoi(argv[++i]);
    const fs::path root = "/tmp/vorn-article-bench-" + std::to_string(units);
    if (!generate_base(root / "base", units) || !make_merged(root / "base", root / "merged", units)) {
        std::fprintf(stderr, "cannot make the shops in %s\n", root.c_str());
        return 1;
    }
    measure(root / "base", "as generated");
    measure(root / "merged", "two codes made one");
    return 0;
}
