// vorn_engines_bench [--units N] [--rounds R] [--server CONNINFO] [--figures]
// The counter's, the charts' and the journal's work on one generated shop, on
// either engine: the encrypted file (default) or a PostgreSQL server
// (--server, or VORN_BENCH_SERVER; a libpq connection string). The shop is
// made the same way on both (same generator, seed and span; sold units grouped
// into sales; the journal recovered from them), so the two runs compare the
// engines on the same data. One line per figure:
//  - counter scan: a code typed or scanned into an empty list (a code in
//    stock, and one the store does not have), as the counter looks it up;
//  - add to list: one unit of a code with 1,000 or 10,000 in stock, the list
//    growing to 100 units, through the counter's own addToList;
//  - checkout of those 100 units through the counter's writeSale (shift,
//    units, journal entry and payments in one transaction);
//  - the four charts' sums in year mode (3 years) and custom mode (93 days,
//    10 types), as "生成图表" runs them;
//  - the journal day: the day's sales list and its footers.
// The file shop is generated once into /tmp/vorn-engines-bench-N/base and
// copied for every run; a server database is filled when it holds no store
// (a fresh database per run measures the same data: scripts/bench-engines.sh).
// With --figures, every figure is also printed as "FIGURE<TAB>label<TAB>value"
// for that script's table.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>

#include "benchclock.h"
#include "gen.h"
#include "salecounter.h"
#include "salelist.h"
#include "statquery.h"
#include "vorn/journal.h"

namespace fs = std::filesystem;
using vornbench::Clock;
using vornbench::cpu_ms;
using vornbench::ms_since;

namespace {

const char kCode1k[] = "BENCH-1K";
const char kCode10k[] = "BENCH-10K";

bool g_figures = false;

struct Samples {
    std::vector<double> wall, cpu;
    void add(Clock::time_point t0, double c0) {
        wall.push_back(ms_since(t0));
        cpu.push_back(cpu_ms() - c0);
    }
};

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

double percentile90(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, v.size() * 9 / 10)];
}

// target <= 0: none.
void report(const std::string& what, const Samples& s, double target) {
    const double m = median(s.wall);
    char verdict[64] = "";
    if (target > 0) std::snprintf(verdict, sizeof verdict, "target < %g ms %s", target, m < target ? "ok" : "MISSED");
    std::printf("%-48s %9.1f ms  (90%% %.1f, cpu %.1f, n %zu) %s\n", what.c_str(), m, percentile90(s.wall),
                median(s.cpu), s.wall.size(), verdict);
    if (g_figures) std::printf("FIGURE\t%s\t%.1f\t%g\t%.1f\n", what.c_str(), m, target, percentile90(s.wall));
    std::fflush(stdout);
}

// The shop: generated units and members, the two bench codes, the sold units
// grouped into sales of three on average, and the journal recovered from them.
bool make_shop(vorn::Core& core, int units) {
    vorn::bench::GenOptions opt;
    opt.units = units;
    opt.members = 1000;
    opt.seed = 20261208;
    opt.now = vorn::local_time_of(2026, 11, 30, 20, 0, 0); // the same data on any day
    auto t0 = Clock::now();
    if (vorn::bench::generate(core, opt) != 0) return false;
    std::printf("  generated %d units in %.1f s\n", units, ms_since(t0) / 1000);
    t0 = Clock::now();
    std::mt19937_64 rnd(5);
    if (!vorn::bench::restock(core, kCode1k, 1000) || !vorn::bench::restock(core, kCode10k, 10000) || !vorn::bench::group_sales(core, 3, rnd) ||
        core.ensure_indexes() != 0 || vorn::Journal(core).ensure_tables() != 0)
        return false;
    std::printf("  sold units grouped, indexes made in %.1f s\n", ms_since(t0) / 1000);
    t0 = Clock::now();
    const int made = vorn::Journal(core).recover_history();
    std::printf("  journal: %d sales recovered in %.1f s\n", made, ms_since(t0) / 1000);
    return made > 0;
}

// The counter's list of 100 units: 20 times one unit of each bench code, then
// 32 and 28 at once; each add timed.
bool fill_list(vorn::Core& core, vorn::ui::SaleList& list, const std::vector<vorn::TRec>& types, Samples& add1k,
               Samples& add10k) {
    auto add = [&](const char* code, int quantity, Samples& into) {
        const double c0 = cpu_ms();
        const auto t0 = Clock::now();
        const vorn::ui::AddOutcome out = vorn::ui::addToList(core, list, code, quantity, -1, types);
        list.recount();
        into.add(t0, c0);
        return out.status == vorn::ui::AddStatus::Added;
    };
    for (int i = 0; i < 20; ++i)
        if (!add(kCode1k, 1, add1k) || !add(kCode10k, 1, add10k)) return false;
    return add(kCode10k, 32, add10k) && add(kCode1k, 28, add1k) && list.totals().quantity == 100;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int units = 100000, rounds = 10;
    std::string server;
    if (const char* env = std::getenv("VORN_BENCH_SERVER")) server = env;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--units") && i + 1 < argc)
            units = std::max(1000, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--server") && i + 1 < argc)
            server = argv[++i];
        else if (!std::strcmp(argv[i], "--figures"))
            g_figures = true;
        else {
            std::fprintf(stderr,
                         "usage: vorn_engines_bench [--units N] [--rounds R] [--server CONNINFO] [--figures]\n");
            return 2;
        }
    }

    const fs::path root = "/tmp/vorn-engines-bench-" + std::to_string(units);
    if (server.empty()) {
        // The file: made once, copied for each run so that reruns measure the same data.
        const fs::path base = root / "base", run = root / "run";
        if (!fs::exists(base / "__vorn__")) {
            fs::remove_all(base);
            fs::create_directories(base);
            fs::current_path(base);
            std::printf("making the shop of %d units in %s ...\n", units, base.c_str());
            vorn::Core maker;
            const bool ok = maker.open() == 0 && make_shop(maker, units);
            maker.close();
            if (!ok) {
                fs::current_path(root);
                fs::remove_all(base);
                std::fprintf(stderr, "making the shop failed\n");
                return 1;
            }
        }
        fs::remove_all(run);
        fs::create_directories(run);
        fs::copy_file(base / "__vorn__", run / "__vorn__");
        fs::current_path(run);
        std::printf("engine: file %s/__vorn__\n", run.c_str());
    } else {
        vorn::Core::set_default_server(server);
        fs::create_directories(root);
        fs::current_path(root);
        std::printf("engine: server \"%s\"\n", server.c_str());
    }
    // Made after the default server is set: it starts with it.
    vorn::Core core;
    if (core.server() != server) {
        std::fprintf(stderr, "the store is not on the engine asked for\n");
        return 1;
    }
    if (core.open() != 0) {
        std::fprintf(stderr, "cannot open the store: %s\n", core.open_message().c_str());
        return 1;
    }
    if (!server.empty() && core.get_srec_count(nullptr) == 0) {
        std::printf("making the shop of %d units on the server ...\n", units);
        if (!make_shop(core, units)) {
            std::fprintf(stderr, "making the shop failed\n");
            return 1;
        }
        // The server plans by the statistics its autovacuum gathers within a
        // minute or so of a bulk load; measured right away, the plans would be
        // those of a store it has never seen, which no shop runs on.
        if (core.exec_sql("ANALYZE") != 0) std::printf("  (ANALYZE refused: plans without statistics)\n");
    }
    std::vector<vorn::TRec> types(static_cast<size_t>(std::max(core.get_trec_count(nullptr), 0)));
    types.resize(static_cast<size_t>(std::max(core.select_trec(types.data(), nullptr), 0)));
    vorn::Journal journal(core);
    if (core.ensure_indexes() != 0 || journal.ensure_tables() != 0 || types.empty() ||
        !vorn::bench::restock(core, kCode1k, 1000) || !vorn::bench::restock(core, kCode10k, 10000)) {
        std::fprintf(stderr, "store not usable\n");
        return 1;
    }
    std::printf("shop: %d units (%d generated), %d in stock, %d journal sales, %d rounds\n",
                core.get_srec_count(nullptr), units, core.get_srec_count("FSi_Flag=0"), journal.count_sales({}),
                rounds);
    std::mt19937_64 rnd(11);
    const int codes = vorn::bench::code_count(units);

    // ---- The counter -----------------------------------------------------------
    {
        Samples scan, unknown, add1k, add10k, checkout;
        for (int round = 0; round < rounds; ++round) {
            // Scans into an empty list: a generated code (in stock or sold out,
            // as the shelf has it), and a code the store has never had.
            for (int i = 0; i < 10; ++i) {
                vorn::ui::SaleList list;
                const std::string code = vorn::bench::goods_code(static_cast<int>(rnd() % codes));
                const double c0 = cpu_ms();
                const auto t0 = Clock::now();
                vorn::ui::addToList(core, list, code, 1, -1, types);
                list.recount();
                scan.add(t0, c0);
            }
            {
                vorn::ui::SaleList list;
                const std::string code = "NO-SUCH-" + std::to_string(round);
                const double c0 = cpu_ms();
                const auto t0 = Clock::now();
                const vorn::ui::AddOutcome out = vorn::ui::addToList(core, list, code, 1, -1, types);
                unknown.add(t0, c0);
                if (out.status != vorn::ui::AddStatus::NoSuchCode) std::fprintf(stderr, "unknown code found\n");
            }
            vorn::ui::SaleList list;
            if (!fill_list(core, list, types, add1k, add10k)) {
                std::fprintf(stderr, "adding to the list failed\n");
                return 1;
            }
            vorn::ui::SaleParty party;
            party.cashier = "admin";
            party.payments = {{vorn::kPayCash, list.totals().amount}};
            std::vector<vorn::ui::ReceiptLine> lines;
            const double c0 = cpu_ms();
            const auto t0 = Clock::now();
            const vorn::ui::SaleWrite w = vorn::ui::writeSale(core, list, static_cast<int64_t>(std::time(nullptr)),
                                                              party, list.totals().amount, lines);
            checkout.add(t0, c0);
            if (w.sold != 100) {
                std::fprintf(stderr, "checkout failed: %d (rc %d)\n", w.sold, w.rc);
                return 1;
            }
        }
        report("counter scan of a code, empty list", scan, 20);
        report("counter scan of an unknown code", unknown, 20);
        report("add to list, code with 1,000 in stock", add1k, 20);
        report("add to list, code with 10,000 in stock", add10k, 20);
        report("checkout of 100 units (writeSale)", checkout, 100);
    }

    // ---- The charts --------------------------------------------------------------
    {
        vorn::SRec last;
        if (core.select_srec(&last, "FSi_Flag=1 AND FSt_SalT<'2026-12-01' ORDER BY FSt_SalT DESC LIMIT 1") != 1) {
            std::fprintf(stderr, "no sales in the store\n");
            return 1;
        }
        const QDate lastDay = QDateTime::fromSecsSinceEpoch(last.FSt_SalT).date();
        const std::vector<int> years = {lastDay.year() - 2, lastDay.year() - 1, lastDay.year()};
        std::vector<int> chartTypes;
        for (const vorn::TRec& t : types)
            if (t.FTi_Id != 1 && chartTypes.size() < static_cast<size_t>(vorn::ui::kMaxStatTypes))
                chartTypes.push_back(t.FTi_Id);
        const vorn::ui::StatPlan yearPlan = vorn::ui::yearPlan(years);
        const vorn::ui::StatPlan customPlan =
            vorn::ui::customPlan(lastDay.addDays(-(vorn::ui::kMaxSpanDays - 1)), lastDay, chartTypes);
        Samples year, custom;
        int failed = 0;
        for (int round = 0; round < std::max(3, rounds / 2); ++round) {
            double c0 = cpu_ms();
            auto t0 = Clock::now();
            failed += vorn::ui::runPlan(core, yearPlan, {}).failed;
            year.add(t0, c0);
            c0 = cpu_ms();
            t0 = Clock::now();
            failed += vorn::ui::runPlan(core, customPlan, {}).failed;
            custom.add(t0, c0);
        }
        if (failed) std::fprintf(stderr, "%d sums failed\n", failed);
        report("charts, year mode: 3 years, 36 sums", year, 1500);
        report("charts, custom mode: 93 days, 10 types, 103 sums", custom, 1500);
    }

    // ---- The journal day -----------------------------------------------------------
    {
        std::vector<vorn::SaleRecord> all;
        journal.select_sales({}, all);
        Samples day;
        size_t listed = 0;
        for (int round = 0; round < rounds && !all.empty(); ++round) {
            std::time_t tt = static_cast<std::time_t>(all[rnd() % all.size()].time);
            std::tm tm{};
            localtime_r(&tt, &tm);
            vorn::SaleFilter f;
            f.from = vorn::local_time_of(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, 0, 0, 0);
            f.to = vorn::local_time_of(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday + 1, 0, 0, 0);
            const double c0 = cpu_ms();
            const auto t0 = Clock::now();
            std::vector<vorn::SaleRecord> rows;
            vorn::SaleSums sums;
            if (journal.select_sales(f, rows) < 0 || journal.sum_sales(f, sums) != 1)
                std::fprintf(stderr, "journal search failed\n");
            day.add(t0, c0);
            listed += rows.size();
        }
        std::printf("  (%zu sales a day on average)\n", listed / static_cast<size_t>(std::max(1, rounds)));
        report("journal day: the day's sales list and footers", day, 200);
    }
    core.close();
    return 0;
}
