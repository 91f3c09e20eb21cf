// vorn_stats_ranking_bench [--units N]
// The sales ranking on a generated shop of N units (default 1,000,000, about
// 60% sold over three years, about 50 units per code) and prints one line per
// figure: the whole span and one year for every type, one year for three
// types, one month, then a sort of the whole ranking by profit.
// The shop lives in /tmp/vorn-ranking-bench-N, generated once.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "benchclock.h"
#include "gen.h"
#include "vorn/ranking.h"
#include "vorn/sqltext.h"

namespace fs = std::filesystem;
using vornbench::Clock;
using vornbench::ms_since;

namespace {

void report(const std::string& what, double value, double target) {
    std::printf("%-64s %8.1f ms  target < %g ms %s\n", what.c_str(), value, target,
                value < target ? "ok" : "MISSED");
    std::fflush(stdout);
}

bool generate(const fs::path& dir, int units, vorn::bench::GenResult& made) {
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
    const int rc = vorn::bench::generate(core, opt, {}, &made);
    const int idx = rc == 0 ? core.ensure_indexes() : -1;
    core.close();
    if (rc != 0 || idx != 0) fs::remove_all(dir);
    return rc == 0 && idx == 0;
}

} // namespace

int main(int argc, char** argv) {
    int units = 1000000;
    for (int i = 1; i < argc; ++i)
        if (!std::strcmp(argv[i], "--units") && i + 1 < argc) units = std::atoi(argv[++i]);
    const fs::path dir = "/tmp/vorn-ranking-bench-" + std::to_string(units);
    vorn::bench::GenResult made;
    if (!fs::exists(dir / "__vorn__") && !generate(dir, units, made)) {
        std::fprintf(stderr, "cannot make the shop in %s\n", dir.c_str());
        return 1;
    }
    fs::current_path(dir);
    vorn::Core core;
    if (core.open() != 0 || core.ensure_indexes() != 0) {
        std::fprintf(stderr, "cannot open %s\n", dir.c_str());
        return 1;
    }
    // The span of the sales in the store, whatever day it was generated.
    double first = 0, last = 0;
    {
        double sums[2] = {0, 0};
        core.get_srec_total(sums, "FSi_Flag", "FSi_Flag", "FSi_Flag=1");
        std::printf("%.0f units sold\n", sums[0]);
    }
    std::vector<vorn::SRec> edge(1);
    core.select_srec(edge.data(), "FSi_Flag=1 ORDER BY FSt_SalT LIMIT 1");
    first = static_cast<double>(edge[0].FSt_SalT);
    core.select_srec(edge.data(), "FSi_Flag=1 ORDER BY FSt_SalT DESC LIMIT 1");
    last = static_cast<double>(edge[0].FSt_SalT);
    const auto from = static_cast<int64_t>(first);
    const auto to = static_cast<int64_t>(last) + 1;
    const int64_t year = 365LL * 86400;

    vorn::Ranking ranking(core);
    std::vector<vorn::RankingRow> rows;
    auto timed = [&](const vorn::RankingQuery& q) {
        std::vector<double> t;
        for (int i = 0; i < 5; ++i) {
            const auto t0 = Clock::now();
            ranking.select(q, rows);
            t.push_back(ms_since(t0));
        }
        std::sort(t.begin(), t.end());
        return t[t.size() / 2];
    };
    ranking.select({from, to, {}}, rows); // the first read warms the page cache
    const auto sold = [&] { return std::to_string(vorn::sum_ranking(rows).quantity); };
    double ms = timed({from, to, {}});
    report("whole span, every type (" + std::to_string(rows.size()) + " codes, " + sold() + " units)", ms, 1000);
    ms = timed({to - year, to, {}});
    report("last year, every type (" + std::to_string(rows.size()) + " codes, " + sold() + " units)", ms, 1000);
    std::vector<vorn::TRec> types(3);
    core.select_trec(types.data(), "FTi_Id>1 ORDER BY FTi_Id LIMIT 3");
    ms = timed({to - year, to, {types[0].FTi_Id, types[1].FTi_Id, types[2].FTi_Id}});
    report("last year, three types (" + std::to_string(rows.size()) + " codes, " + sold() + " units)", ms, 1000);
    ms = timed({to - year / 12, to, {}});
    report("last month, every type (" + std::to_string(rows.size()) + " codes, " + sold() + " units)", ms, 1000);
    ranking.select({from, to, {}}, rows);
    const auto t0 = Clock::now();
    vorn::sort_ranking(rows, vorn::RankingOrder::Profit, true);
    report("sort " + std::to_string(rows.size()) + " codes by profit", ms_since(t0), 100);
    core.close();
    return 0;
}
