// vorn_journal_bench [--units N] [--sales S] [--rounds R]
// Measures the sale journal of vorncore on a generated shop of N goods units
// (default 1,000,000) and prints one line per figure:
//  - recovering the history of a store whose N units are all sold (in sales of
//    one to five units), once, as the first open with the journal does it;
//  - on a shop of N units whose sold units make about S journal sales (default
//    200,000): a checkout of 100 units, the search of one day (list and
//    footers), listing all sales (list and footers), opening one sale, and
//    the return of a 100-unit sale.
// The shops live in /tmp/vorn-journal-bench-N: generated once, the sold units
// grouped into sales, then copied for each run so that reruns measure the same
// data.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "benchclock.h"
#include "gen.h"
#include "vorn/journal.h"

namespace fs = std::filesystem;
using vornbench::Clock;
using vornbench::cpu_ms;
using vornbench::ms_since;

namespace {

std::string load_average() {
    std::ifstream in("/proc/loadavg");
    std::string one;
    in >> one;
    return one.empty() ? "?" : one;
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

void report(const char* what, double value, const char* unit, double target, double cpu) {
    std::printf("%-58s %10.1f %-2s target < %g %-2s %-6s (cpu %.1f %s)\n", what, value, unit, target, unit,
                value < target ? "ok" : "MISSED", cpu, unit);
    std::fflush(stdout);
}

bool open_in(vorn::Core& core, const fs::path& dir) {
    fs::current_path(dir);
    return core.open() == 0;
}

// Gives the sold units of the store sale times shared by 1 to 2g-1 units (g on
// average), the way checkouts leave them: each group takes the time of its
// first unit in time order. With all_sold, the units in stock are sold first,
// an hour after they were stocked.
bool group_sales(vorn::Core& core, int g, bool all_sold, std::mt19937_64& rnd) {
    if (all_sold && core.exec_sql("UPDATE Store SET FSi_Flag=1,FSd_ReaP=FSd_RetP,"
                                  "FSt_SalT=datetime(FSt_StoT,'+1 hour') WHERE FSi_Flag=0;") != 0)
        return false;
    return vorn::bench::group_sales(core, g, rnd);
}

void copy_shop(const fs::path& from, const fs::path& to) {
    fs::remove_all(to);
    fs::create_directories(to);
    fs::copy_file(from / "__vorn__", to / "__vorn__");
}

// The generated shop as it comes; made once.
bool ensure_base(const fs::path& dir, int units) {
    if (fs::exists(dir / "__vorn__")) return true;
    fs::create_directories(dir);
    vorn::Core core;
    if (!open_in(core, dir)) return false;
    vorn::bench::GenOptions opt;
    opt.units = units;
    opt.members = std::max(100, units / 20);
    opt.seed = 20261207;
    const auto t0 = Clock::now();
    const int rc = vorn::bench::generate(core, opt, [&](const char* stage, long done, long total) {
        std::printf("\rgenerating %-8s %ld/%ld  %.0f s", stage, done, total, ms_since(t0) / 1000);
        if (done >= total) std::printf("\n");
        std::fflush(stdout);
    });
    core.close();
    if (rc != 0) fs::remove_all(dir);
    return rc == 0;
}

// A copy of the base with its sold units grouped into about `sales` sales
// (all_sold: every unit sold first); made once.
bool ensure_shop(const fs::path& base, const fs::path& dir, int sales, bool all_sold) {
    if (fs::exists(dir / "__vorn__")) return true;
    copy_shop(base, dir);
    vorn::Core core;
    if (!open_in(core, dir)) return false;
    const auto t0 = Clock::now();
    std::mt19937_64 rnd(5);
    const int sold = all_sold ? core.get_srec_count(nullptr) : core.get_srec_count("FSi_Flag=1");
    const bool ok = group_sales(core, std::max(1, sold / std::max(1, sales)), all_sold, rnd);
    std::printf("made %s: %d units sold in %.0f s\n", dir.c_str(), core.get_srec_count("FSi_Flag=1"),
                ms_since(t0) / 1000);
    core.close();
    if (!ok) fs::remove_all(dir);
    return ok;
}

// Opens the copy as the program does: the indexes, then the journal's tables.
bool open_copy(vorn::Core& core, const fs::path& dir) {
    return open_in(core, dir) && core.ensure_indexes() == 0 && vorn::Journal(core).ensure_tables() == 0;
}

} // namespace

int main(int argc, char** argv) {
    int units = 1000000, sales = 200000, rounds = 10;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--units") && i + 1 < argc)
            units = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--sales") && i + 1 < argc)
            sales = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else {
            std::fprintf(stderr, "usage: vorn_journal_bench [--units N] [--sales S] [--rounds R]\n");
            return 2;
        }
    }
    units = std::max(units, 1000);
    const fs::path root = "/tmp/vorn-journal-bench-" + std::to_string(units);
    const fs::path base = root / "base", all_sold = root / "all-sold", shop = root / "shop",
                   scratch = root / "scratch";
    if (!ensure_base(base, units) || !ensure_shop(base, all_sold, units / 3, true) ||
        !ensure_shop(base, shop, sales, false)) {
        std::fprintf(stderr, "generating the shops failed\n");
        return 1;
    }
    std::printf("load average %s\n", load_average().c_str());

    // The history of a shop whose every unit is sold, recovered at first open.
    {
        copy_shop(all_sold, scratch);
        vorn::Core core;
        const auto i0 = Clock::now();
        if (!open_copy(core, scratch)) return 1;
        std::printf("  (indexes and journal tables at first open: %.1f s)\n", ms_since(i0) / 1000);
        vorn::Journal j(core);
        const int todo = j.unrecorded_units();
        int reports = 0;
        const double c0 = cpu_ms();
        const auto t0 = Clock::now();
        const int made = j.recover_history([&](int64_t, int64_t) { ++reports; });
        const double wall = ms_since(t0) / 1000, cpu = (cpu_ms() - c0) / 1000;
        // Every distinct sale time is one sale, and every sold unit is on one.
        const int times = core.get_srec_count(
            "FSi_Id IN (SELECT MIN(FSi_Id) FROM Store WHERE FSi_Flag=1 GROUP BY FSt_SalT)");
        std::printf("  (%d sold units made %d sales; %d distinct sale times; %d left; %d progress reports)\n",
                    todo, made, times, j.unrecorded_units(), reports);
        if (made != times || j.unrecorded_units() != 0) std::printf("  RECOVERY WRONG\n");
        report("recovery of the history: all units sold, once", wall, "s", 20, cpu);
        core.close();
    }

    // The shop with its journal: recovered once, reused by later runs.
    const fs::path journaled = root / "journaled";
    if (!fs::exists(journaled / "__vorn__")) {
        copy_shop(shop, journaled);
        vorn::Core core;
        if (!open_copy(core, journaled)) return 1;
        const auto t0 = Clock::now();
        const int made = vorn::Journal(core).recover_history();
        std::printf("  (journal of the shop: %d sales recovered in %.1f s)\n", made, ms_since(t0) / 1000);
        core.close();
        if (made < 0) return 1;
    }
    copy_shop(journaled, scratch);
    vorn::Core core;
    if (!open_copy(core, scratch)) return 1;
    vorn::Journal j(core);
    const int total_sales = j.count_sales({});
    std::printf("shop: %d units, %d in stock, %d journal sales\n", core.get_srec_count(nullptr),
                core.get_srec_count("FSi_Flag=0"), total_sales);
    {
        // What every start asks before offering the recovery, the store not yet
        // in the cache; then the full count a recovery on demand starts with.
        const auto t0 = Clock::now();
        const bool pending = j.history_pending();
        const double quick = ms_since(t0);
        const auto t1 = Clock::now();
        const int left = j.unrecorded_units();
        std::printf(
            "  (start's test: %s in %.1f ms; sold units without a journal entry: %d, counted in %.0f ms)\n",
            pending ? "pending" : "nothing pending", quick, left, ms_since(t1));
    }
    std::mt19937_64 rnd(11);
    const int codes = vorn::bench::code_count(units);

    // 100 units in stock of as many codes, set sold now at retail.
    auto hundred_units = [&] {
        std::vector<vorn::SRec> units;
        std::vector<int> taken; // a code once per sale, so no unit comes twice
        while (units.size() < 100) {
            const int k = static_cast<int>(rnd() % codes);
            if (std::find(taken.begin(), taken.end(), k) != taken.end()) continue;
            taken.push_back(k);
            const std::string cond = "FSi_Flag=0 AND FSs_Code='" + vorn::bench::goods_code(k) + "' LIMIT 5";
            vorn::SRec got[5];
            const int n = core.select_srec(got, cond.c_str());
            for (int i = 0; i < n && units.size() < 100; ++i)
                units.push_back(got[i]);
        }
        const int64_t now = static_cast<int64_t>(std::time(nullptr));
        for (vorn::SRec& u : units) {
            u.FSi_Flag = 1;
            u.FSt_SalT = now;
            u.FSd_ReaP = u.FSd_RetP;
        }
        return units;
    };
    {
        // The units' update alone, as checkout wrote before the journal: for comparison.
        std::vector<double> wall, cpu;
        for (int round = 0; round < rounds; ++round) {
            std::vector<vorn::SRec> units = hundred_units();
            const double c0 = cpu_ms();
            const auto t0 = Clock::now();
            if (core.update_srec(units.data(), 100) != 100) std::fprintf(stderr, "update failed\n");
            wall.push_back(ms_since(t0));
            cpu.push_back(cpu_ms() - c0);
        }
        std::printf("  (update_srec of 100 units alone, median: %.1f ms, cpu %.1f ms)\n", median(wall),
                    median(cpu));
    }
    {
        std::vector<double> wall, cpu;
        for (int round = 0; round < rounds; ++round) {
            vorn::CheckoutRequest r;
            r.units = hundred_units();
            int64_t due = 0;
            for (const vorn::SRec& u : r.units)
                due += std::llround(u.FSd_ReaP * 10);
            r.cashier = "admin";
            r.member_id = 1 + static_cast<int>(rnd() % 1000);
            r.member_code = "member";
            r.points = static_cast<int>(due / 10);
            r.payments = {{vorn::kPayWeChat, due / 2}, {vorn::kPayCash, due - due / 2 + 100}};
            const double c0 = cpu_ms();
            const auto t0 = Clock::now();
            const vorn::CheckoutResult res = j.checkout(r);
            wall.push_back(ms_since(t0));
            cpu.push_back(cpu_ms() - c0);
            if (res.status != vorn::CheckoutStatus::Done)
                std::fprintf(stderr, "checkout failed: %d\n", static_cast<int>(res.status));
        }
        report("checkout of 100 units with the journal, median", median(wall), "ms", 100, median(cpu));
    }
    {
        // A sale of 100 units returned whole, every other unit damaged: the
        // return alone is measured, then the counter's read of what is left.
        std::vector<double> wall, cpu, left_wall;
        for (int round = 0; round < rounds; ++round) {
            vorn::CheckoutRequest r;
            r.units = hundred_units();
            int64_t due = 0;
            for (const vorn::SRec& u : r.units)
                due += std::llround(u.FSd_ReaP * 10);
            r.cashier = "admin";
            // A member of the shop, so the return takes points off one.
            vorn::VIPRec m;
            const std::string which = "FVi_Id=" + std::to_string(1 + rnd() % 1000);
            if (core.select_viprec(&m, which.c_str()) == 1) r.member_code = m.FVs_Code;
            r.payments = {{vorn::kPayWeChat, due / 2}, {vorn::kPayCash, due - due / 2}};
            const vorn::CheckoutResult sold = j.checkout(r);
            if (sold.status != vorn::CheckoutStatus::Done) {
                std::fprintf(stderr, "checkout for the return failed\n");
                continue;
            }
            vorn::ReturnRequest back;
            back.sale_id = sold.sale_id;
            for (size_t i = 0; i < r.units.size(); ++i)
                back.units.push_back({r.units[i].FSi_Id, i % 2 == 1});
            back.time = static_cast<int64_t>(std::time(nullptr));
            back.cashier = "admin";
            const double c0 = cpu_ms();
            const auto t0 = Clock::now();
            const vorn::ReturnResult res = j.return_goods(back);
            wall.push_back(ms_since(t0));
            cpu.push_back(cpu_ms() - c0);
            if (res.status != vorn::ReturnStatus::Done || res.refund != due)
                std::fprintf(stderr, "return failed: %d\n", static_cast<int>(res.status));
            vorn::SaleDetail left;
            const auto l0 = Clock::now();
            if (j.open_returnable(sold.sale_id, left) != 1 || !left.lines.empty())
                std::fprintf(stderr, "returnable lines wrong\n");
            left_wall.push_back(ms_since(l0));
        }
        report("return of 100 units with the journal, median", median(wall), "ms", 100, median(cpu));
        std::printf("  (returnable lines of a 100-unit sale, median: %.1f ms)\n", median(left_wall));
    }

    // A day of the shop's history: the search of the journal page, list and footers.
    {
        std::vector<vorn::SaleRecord> some;
        vorn::SaleFilter none;
        j.select_sales(none, some);
        std::vector<double> wall, cpu;
        size_t listed = 0;
        for (int round = 0; round < rounds && !some.empty(); ++round) {
            const int64_t t = some[rnd() % some.size()].time;
            std::time_t tt = static_cast<std::time_t>(t);
            std::tm tm{};
            localtime_r(&tt, &tm);
            vorn::SaleFilter day;
            day.from = vorn::local_time_of(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, 0, 0, 0);
            day.to = vorn::local_time_of(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday + 1, 0, 0, 0);
            const double c0 = cpu_ms();
            const auto t0 = Clock::now();
            std::vector<vorn::SaleRecord> rows;
            vorn::SaleSums sums;
            j.select_sales(day, rows);
            j.sum_sales(day, sums);
            wall.push_back(ms_since(t0));
            cpu.push_back(cpu_ms() - c0);
            listed += rows.size();
        }
        std::printf("  (%zu sales a day on average)\n", listed / static_cast<size_t>(rounds));
        report("journal search of one day, list and footers, median", median(wall), "ms", 200, median(cpu));

        const double c0 = cpu_ms();
        const auto t0 = Clock::now();
        std::vector<vorn::SaleRecord> rows;
        vorn::SaleSums sums;
        j.select_sales(none, rows);
        j.sum_sales(none, sums);
        const double w = ms_since(t0), c = cpu_ms() - c0;
        std::printf("  (%zu sales listed, %lld units, %lld tenths due)\n", rows.size(),
                    static_cast<long long>(sums.units), static_cast<long long>(sums.due));
        report("listing all sales, list and footers", w / 1000, "s", 2, c / 1000);

        std::vector<double> open_wall, open_cpu;
        for (int round = 0; round < 5 * rounds && !rows.empty(); ++round) {
            vorn::SaleDetail d;
            const int64_t id = rows[rnd() % rows.size()].id;
            const double oc = cpu_ms();
            const auto o0 = Clock::now();
            if (j.open_sale(id, d) != 1)
                std::fprintf(stderr, "sale %lld not found\n", static_cast<long long>(id));
            open_wall.push_back(ms_since(o0));
            open_cpu.push_back(cpu_ms() - oc);
        }
        report("opening one sale with its lines, median", median(open_wall), "ms", 20, median(open_cpu));

        // Searches by the other conditions, for comparison; no targets.
        vorn::SaleFilter code, number, method;
        code.goods_code = vorn::bench::goods_code(static_cast<int>(rnd() % codes));
        number.number = rows.empty() ? std::string() : rows[rows.size() / 2].number;
        method.method = vorn::kPayWeChat;
        for (auto [what, f] : {std::make_pair("goods code", code), std::make_pair("number", number),
                               std::make_pair("payment method", method)}) {
            const auto s0 = Clock::now();
            std::vector<vorn::SaleRecord> found;
            j.select_sales(f, found);
            std::printf("  (search by %s: %zu sales in %.1f ms)\n", what, found.size(), ms_since(s0));
        }
    }
    core.close();
    fs::current_path(root);
    fs::remove_all(scratch);
    return 0;
}
